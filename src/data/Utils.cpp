#include "Utils.h"

#include "Answers.h"
#include "Query.h"

#include <QDateTime>
#include <QLocale>
#include <algorithm>
#include <cmath>

namespace data {

bool LocateInt(Query& query, const QString& value, const QString& keyColumn,
               const QString& resultColumn, qint32& result)
{
    result = 0;
    if (!query.locate(keyColumn, value))
        return false;
    result = query.asInt(resultColumn);
    return true;
}

bool LocateStr(Query& query, qint32 value, const QString& keyColumn, const QString& resultColumn,
               QString& result)
{
    result.clear();
    if (!query.locate(keyColumn, value))
        return false;
    result = query.asString(resultColumn);
    return true;
}

namespace {

// The long time format less its time zone field: a time of day read from a file belongs
// to no zone, and the name of the computer's own would be wrong.
QString longTimeWithoutZone(const QLocale& locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        out += c;
    }
    return out.trimmed();
}

// Fifteen significant digits in plain decimal form, never with an exponent: whole numbers
// read without a fraction, as a spreadsheet shows them.
QString plainNumber(double value)
{
    QString text = QString::number(value, 'g', 15);
    const qsizetype e = text.indexOf(u'e');
    if (e < 0 || !std::isfinite(value))
        return text;
    const int exponent = text.mid(e + 1).toInt();
    text = QString::number(value, 'f', std::max(0, 14 - exponent));
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text;
}

} // namespace

bool FieldAsString(const std::optional<QVariant>& field, QString& result)
{
    result.clear();
    if (!field)
        return false;
    const QVariant& v = *field;
    if (v.isNull())
        return true;
    const QLocale locale;
    switch (v.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        if (!dt.isValid())
            return false;
        result = locale.toString(dt.date(), QLocale::ShortFormat);
        if (dt.time() != QTime(0, 0))
            result += u' ' + locale.toString(dt.time(), longTimeWithoutZone(locale));
        return true;
    }
    case QMetaType::QDate:
        result = locale.toString(v.toDate(), QLocale::ShortFormat);
        return true;
    case QMetaType::Double: {
        result = plainNumber(v.toDouble());
        return true;
    }
    default:
        if (!v.canConvert<QString>())
            return false;
        result = v.toString();
        return true;
    }
}

void ShowPostError(const QString& reason)
{
    showError(QStringLiteral("Unable to post the data."), reason);
}

void ShowCreateError(const QString& reason)
{
    showError(QStringLiteral("Unable to create the new object."), reason);
}

void ShowSettingsSaved()
{
    showInformation(QStringLiteral("Settings are saved."));
}

bool ConfirmDelete()
{
    return confirmBox(QStringLiteral("Delete the record?"));
}

bool ConfirmOverwrite()
{
    return confirmBox(QStringLiteral("Overwrite the record?"));
}

} // namespace data
