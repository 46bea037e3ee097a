#include "ReportPrinter.h"

#include "data/Error.h"
#include "report/PagePainter.h"
#include "report/PaperLayout.h"
#include "report/Report.h"
#include "report/ReportLayout.h"

#include <QCoreApplication>
#include <QPagedPaintDevice>
#include <QPainter>

namespace report {

int ReportPrinter::print(Report& report, QPagedPaintDevice& device, const TextMetrics& metrics)
{
    setPaper(device, report.page.paperWidth, report.page.paperHeight);

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
