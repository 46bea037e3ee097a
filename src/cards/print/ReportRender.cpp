#include "ReportRender.h"

#include "data/Error.h"
#include "report/PagePainter.h"
#include "report/PaperLayout.h"
#include "report/Report.h"
#include "report/ReportLayout.h"
#include "report/ReportPrinter.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPrinter>

namespace cards {

int printReport(report::Report& report, QPagedPaintDevice& device,
                const report::TextMetrics& metrics)
{
    auto* printer = dynamic_cast<QPrinter*>(&device);
    if (!printer || printer->printRange() != QPrinter::PageRange || printer->fromPage() < 1)
        return report::ReportPrinter::print(report, device, metrics);

    const int from = printer->fromPage();
    const int to = printer->toPage() < from ? from : printer->toPage();
    report::setPaper(*printer, report.page.paperWidth, report.page.paperHeight);
    QPainter painter;
    if (!painter.begin(printer))
        throw data::Error(QCoreApplication::translate("cards", "The printer could not be started"));
    int drawn = 0;
    report::ReportLayout(metrics).run(report, [&](report::Page&& page) {
        if (page.number < from || page.number > to)
            return;
        if (drawn++ > 0)
            printer->newPage();
        report::PagePainter::paint(page, painter);
    });
    painter.end();
    return drawn;
}

} // namespace cards
