#include "PaperLayout.h"

#include "data/Error.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QPrinter>

namespace report {

void setPaper(QPagedPaintDevice& device, Length width, Length height)
{
    auto* printer = dynamic_cast<QPrinter*>(&device);
    if (printer)
        printer->setFullPage(true);
    const bool landscape = width > height;
    const QSizeF upright
        = landscape ? QSizeF(height.toMm(), width.toMm()) : QSizeF(width.toMm(), height.toMm());
    const QPageLayout layout(QPageSize(upright, QPageSize::Millimeter),
                             landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                             QMarginsF(0, 0, 0, 0));
    if (!device.setPageLayout(layout)) {
        const QString name = printer ? printer->printerName() : QString();
        throw data::Error(
            QCoreApplication::translate("report",
                                        "The printer %1 does not take paper of %2 by %3 mm; "
                                        "nothing was printed.")
                .arg(name.isEmpty() ? QStringLiteral("chosen") : name)
                .arg(width.toMm(), 0, 'f', 2)
                .arg(height.toMm(), 0, 'f', 2));
    }
}

} // namespace report
