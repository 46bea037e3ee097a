#include "ReportPrinter.h"

#include "data/Error.h"
#include "report/PagePainter.h"
#include "report/Report.h"
#include "report/ReportLayout.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

namespace report {

int ReportPrinter::print(Report& report, QPagedPaintDevice& device, const TextMetrics& metrics)
{
    const QSizeF paper(report.page.paperWidth.toMm(), report.page.paperHeight.toMm());
    if (auto* printer = dynamic_cast<QPrinter*>(&device))
        printer->setFullPage(true);
    device.setPageLayout(QPageLayout(QPageSize(paper, QPageSize::Millimeter), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0)));

    QPainter painter;
    if (!painter.begin(&device))
        throw data::Error(
            QCoreApplication::translate("report", "The printer could not be started"));
    int printed = 0;
    ReportLayout(metrics).run(report, [&](Page&& page) {
        if (printed++ > 0)
            device.newPage();
        PagePainter::paint(page, painter);
    });
    painter.end();
    return printed;
}

} // namespace report
