#include "PageCapture.h"

#include "data/Error.h"
#include "report/PagePainter.h"
#include "report/PaperLayout.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPrinter>

namespace report {

PageCapture::PageCapture()
    : QPdfWriter(&sink)
{ }

std::vector<Page> capturePages(const std::function<void(QPagedPaintDevice*)>& render)
{
    PageCapture capture;
    render(&capture);
    return std::move(capture.pages);
}

int printPages(const std::vector<Page>& pages, QPagedPaintDevice& device)
{
    if (pages.empty())
        return 0;
    int from = 1;
    int to = std::numeric_limits<int>::max();
    auto* printer = dynamic_cast<QPrinter*>(&device);
    if (printer && printer->printRange() == QPrinter::PageRange && printer->fromPage() >= 1) {
        from = printer->fromPage();
        to = std::max(from, printer->toPage());
    }
    setPaper(device, pages.front().width, pages.front().height);
    QPainter painter;
    if (!painter.begin(&device))
        throw data::Error(
            QCoreApplication::translate("report", "The printer could not be started"));
    int drawn = 0;
    for (const Page& page : pages) {
        if (page.number < from || page.number > to)
            continue;
        if (drawn++ > 0)
            device.newPage();
        PagePainter::paint(page, painter);
    }
    painter.end();
    return drawn;
}

} // namespace report
