#include "SettingsStore.h"

#include "Error.h"

#include <QRegularExpression>
#include <QSettings>

namespace data {
namespace {

void write(const QString& name, const QString& text)
{
    QSettings s(QStringLiteral("Tavrik"), QStringLiteral("Melbrin"));
    s.setValue(name, text);
    s.sync();
    if (s.status() != QSettings::NoError)
        throw Error(QStringLiteral("Failed to set data for '%1'").arg(name));
}

} // namespace

int ReadRegInt(const QString& name, int defaultValue)
{
    const QSettings s(QStringLiteral("Tavrik"), QStringLiteral("Melbrin"));
    const QVariant v = s.value(name);
    if (!v.isValid())
        return defaultValue;
    if (v.typeId() != QMetaType::QString)
        throw Error(QStringLiteral("Invalid data type for '%1'").arg(name));
    static const QRegularExpression decimal(QStringLiteral("^[+-]?[0-9]+$"));
    const QString text = v.toString();
    if (!decimal.match(text).hasMatch())
        return defaultValue;
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok ? n : defaultValue;
}

void WriteRegInt(const QString& name, int value)
{
    write(name, QString::number(value));
}

bool ReadRegBool(const QString& name, bool defaultValue)
{
    return ReadRegInt(name, defaultValue ? 1 : 0) != 0;
}

void WriteRegBool(const QString& name, bool value)
{
    write(name, value ? QStringLiteral("1") : QStringLiteral("0"));
}

int defaultColumnWidth(const QString& declaredType)
{
    const QString type = declaredType.toUpper();
    if (type.contains(u"BOOL"))
        return 50;
    if (type == u"DATETIME" || type == u"TIMESTAMP")
        return 150;
    return 100; // text (always Unicode here), numbers, dates alone, times alone
}

} // namespace data
