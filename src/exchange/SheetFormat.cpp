#include "SheetFormat.h"

#include "CompoundFile.h"
#include "data/Error.h"

#include <QDir>
#include <QFileInfo>

namespace exchange {
namespace {

constexpr char zipSignature[4] = {'P', 'K', 3, 4};

} // namespace

std::optional<SheetFormat> sheetFormatOfName(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"xls")
        return SheetFormat::Xls;
    if (suffix == u"xlsx")
        return SheetFormat::Xlsx;
    if (suffix == u"csv" || suffix == u"txt")
        return SheetFormat::Csv;
    return std::nullopt;
}

namespace {

QString describe(SheetFormat format)
{
    switch (format) {
    case SheetFormat::Xls:
        return QStringLiteral("an Excel 97-2003 workbook (.xls)");
    case SheetFormat::Xlsx:
        return QStringLiteral("an Excel workbook (.xlsx)");
    case SheetFormat::Csv:
        break;
    }
    return QStringLiteral("separated text (.csv)");
}

} // namespace

SheetFormat sheetFormatOfContent(const QByteArray& head)
{
    if (hasCompoundSignature(head.constData(), size_t(head.size())))
        return SheetFormat::Xls;
    if (head.startsWith(QByteArray(zipSignature, sizeof zipSignature)))
        return SheetFormat::Xlsx;
    return SheetFormat::Csv;
}

SheetFormat sheetFormatOf(const QString& path, const QByteArray& head)
{
    if (head.isEmpty())
        throw data::Error(
            QStringLiteral("Cannot import '%1': it is empty").arg(QDir::toNativeSeparators(path)));
    const SheetFormat content = sheetFormatOfContent(head);
    const std::optional<SheetFormat> named = sheetFormatOfName(path);
    if (named && *named != content)
        throw data::Error(
            QStringLiteral("Cannot import '%1': its name says %2, but it holds %3")
                .arg(QDir::toNativeSeparators(path), describe(*named), describe(content)));
    return content;
}

} // namespace exchange
