#include "DatabaseOptions.h"

#include "data/DatabaseSettings.h"

namespace cards {
namespace {

const QString watermarkKey = QStringLiteral("card.watermark");
const QString outputKey = QStringLiteral("card.output");
const QString codeKindKey = QStringLiteral("card.code.kind");
const QString codeFieldKey = QStringLiteral("card.code.field");
const QString codeXKey = QStringLiteral("card.code.x");
const QString codeYKey = QStringLiteral("card.code.y");
const QString codeWidthKey = QStringLiteral("card.code.width");
const QString codeHeightKey = QStringLiteral("card.code.height");
const QString shrinkKey = QStringLiteral("card.shrinktext");

QString onOff(bool on)
{
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

void readOnOff(const data::DatabaseSettings& settings, const QString& key, bool& value)
{
    const QString text = settings.value(key);
    if (text == u"on")
        value = true;
    else if (text == u"off")
        value = false;
}

// Millimetres in the C locale's form, whatever the desktop's.
QString millimetres(double value)
{
    return QString::number(value, 'f', 1);
}

bool readMillimetres(const data::DatabaseSettings& settings, const QString& key, double& value)
{
    bool ok = false;
    const double read = settings.value(key).toDouble(&ok);
    if (ok)
        value = read;
    return ok;
}

} // namespace

QString outputName(CardOutput output)
{
    return output == CardOutput::CardPrinter ? QStringLiteral("card") : QStringLiteral("a4");
}

bool outputFromName(const QString& name, CardOutput& output)
{
    if (name == u"a4")
        output = CardOutput::Sheet;
    else if (name == u"card")
        output = CardOutput::CardPrinter;
    else
        return false;
    return true;
}

QString codeKindName(CodeElement::Kind kind)
{
    switch (kind) {
    case CodeElement::Kind::Code128:
        return QStringLiteral("code128");
    case CodeElement::Kind::Qr:
        return QStringLiteral("qr");
    case CodeElement::Kind::None:
        break;
    }
    return QStringLiteral("none");
}

bool codeKindFromName(const QString& name, CodeElement::Kind& kind)
{
    if (name == u"none")
        kind = CodeElement::Kind::None;
    else if (name == u"code128")
        kind = CodeElement::Kind::Code128;
    else if (name == u"qr")
        kind = CodeElement::Kind::Qr;
    else
        return false;
    return true;
}

void readDatabaseOptions(const data::DatabaseSettings& settings, CardOptions& options)
{
    readOnOff(settings, watermarkKey, options.watermark);
    outputFromName(settings.value(outputKey), options.output);
    codeKindFromName(settings.value(codeKindKey), options.code.kind);
    const QString field = settings.value(codeFieldKey);
    if (!field.isEmpty())
        options.code.field = field;
    CodeElement place = options.code;
    if (readMillimetres(settings, codeXKey, place.x) && readMillimetres(settings, codeYKey, place.y)
        && readMillimetres(settings, codeWidthKey, place.width)
        && readMillimetres(settings, codeHeightKey, place.height)) {
        place.placed = true;
        options.code = place;
    }
    readOnOff(settings, shrinkKey, options.shrinkText);
}

void writeDatabaseOptions(data::DatabaseSettings& settings, const CardOptions& options)
{
    QHash<QString, QString> values {
        {watermarkKey, onOff(options.watermark)},       {outputKey, outputName(options.output)},
        {codeKindKey, codeKindName(options.code.kind)}, {codeFieldKey, options.code.field},
        {shrinkKey, onOff(options.shrinkText)},
    };
    if (options.code.placed) {
        values.insert(codeXKey, millimetres(options.code.x));
        values.insert(codeYKey, millimetres(options.code.y));
        values.insert(codeWidthKey, millimetres(options.code.width));
        values.insert(codeHeightKey, millimetres(options.code.height));
    }
    settings.setValues(values);
}

} // namespace cards
