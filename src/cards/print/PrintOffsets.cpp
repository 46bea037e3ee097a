#include "PrintOffsets.h"

#include "data/Error.h"
#include "data/SettingsStore.h"
#include "report/DeviceOffset.h"

#include <QCoreApplication>
#include <QPagedPaintDevice>
#include <QUrl>
#include <cstdlib>

namespace cards {
namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("cards", text);
}

// One group of settings per printer; the name is percent-encoded so that no character of it
// reads as a group separator.
QString settingName(const QString& printer, const char* axis)
{
    const QString group = printer.isEmpty()
        ? QStringLiteral("pdf")
        : QStringLiteral("printer-") + QString::fromLatin1(QUrl::toPercentEncoding(printer));
    return QStringLiteral("PrintOffset/%1/%2").arg(group, QLatin1String(axis));
}

void checkAxis(const char* axis, int tenths)
{
    if (std::abs(tenths) > maxOffsetTenths)
        throw data::Error(tr("The %1 offset %2 mm lies outside the range from -10.0 to +10.0 mm.")
                              .arg(QLatin1String(axis), offsetText(tenths)));
}

} // namespace

QString printerTitle(const QString& printer)
{
    return printer.isEmpty() ? tr("PDF file") : printer;
}

QString offsetText(int tenths)
{
    const QString digits
        = QStringLiteral("%1.%2").arg(std::abs(tenths) / 10).arg(std::abs(tenths) % 10);
    return tenths > 0 ? QStringLiteral("+") + digits
        : tenths < 0  ? QStringLiteral("-") + digits
                      : digits;
}

void checkPrintOffset(const PrintOffset& offset)
{
    checkAxis("x", offset.x);
    checkAxis("y", offset.y);
}

PrintOffset readPrintOffset(const QString& printer)
{
    const PrintOffset offset {data::ReadRegInt(settingName(printer, "x"), 0),
                              data::ReadRegInt(settingName(printer, "y"), 0)};
    try {
        checkPrintOffset(offset);
    } catch (const data::Error& e) {
        throw data::Error(tr("The offset kept for %1 cannot be used: %2")
                              .arg(printerTitle(printer), e.message()));
    }
    return offset;
}

void writePrintOffset(const QString& printer, const PrintOffset& offset)
{
    checkPrintOffset(offset);
    data::WriteRegInt(settingName(printer, "x"), offset.x);
    data::WriteRegInt(settingName(printer, "y"), offset.y);
}

data::Answers::Render shiftedRender(const data::Answers::Render& render, const PrintOffset& offset)
{
    if (offset == PrintOffset())
        return render;
    return [render, offset](QPagedPaintDevice* device) {
        const report::DeviceOffset shift(device, report::Length::tenths(offset.x),
                                         report::Length::tenths(offset.y));
        render(device);
    };
}

data::Answers::Render shiftedForPrinter(const data::Answers::Render& render, const QString& printer)
{
    return shiftedRender(render, readPrintOffset(printer));
}

} // namespace cards
