#include "CardFlags.h"

#include "cards/DatabaseOptions.h"

#include <QCommandLineParser>

namespace app::cli {
namespace {

const QString sheetName = QStringLiteral("sheet");
const QString codeName = QStringLiteral("code");
const QString watermarkName = QStringLiteral("watermark");

QString badValue(const QString& option, const QString& value, const QString& choices)
{
    return QStringLiteral("--%1 takes %2, not '%3'").arg(option, choices, value);
}

} // namespace

void CardFlags::applyTo(cards::CardOptions& options) const
{
    if (output)
        options.output = *output;
    if (code)
        options.code.kind = *code;
    if (watermark)
        options.watermark = *watermark;
}

QList<QCommandLineOption> cardFlagOptions()
{
    return {
        {sheetName, QStringLiteral("a4: A4 sheets; card: one card per page of a card printer."),
         QStringLiteral("a4|card")},
        {codeName, QStringLiteral("The barcode or QR code on each card."),
         QStringLiteral("none|code128|qr")},
        {watermarkName, QStringLiteral("Print the SAMPLE watermark and the maker's address."),
         QStringLiteral("on|off")},
    };
}

QString readCardFlags(const QCommandLineParser& parser, CardFlags& flags)
{
    if (parser.isSet(sheetName)) {
        const QString value = parser.value(sheetName);
        cards::CardOutput output {};
        if (!cards::outputFromName(value, output))
            return badValue(sheetName, value, QStringLiteral("a4 or card"));
        flags.output = output;
    }
    if (parser.isSet(codeName)) {
        const QString value = parser.value(codeName);
        cards::CodeElement::Kind kind {};
        if (!cards::codeKindFromName(value, kind))
            return badValue(codeName, value, QStringLiteral("none, code128 or qr"));
        flags.code = kind;
    }
    if (parser.isSet(watermarkName)) {
        const QString value = parser.value(watermarkName);
        if (value != u"on" && value != u"off")
            return badValue(watermarkName, value, QStringLiteral("on or off"));
        flags.watermark = value == u"on";
    }
    return {};
}

} // namespace app::cli
