#include "Utils.h"

#include "Answers.h"
#include "Query.h"

#include <QDateTime>
#include <QLocale>

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
            result += u' ' + locale.toString(dt.time(), QLocale::LongFormat);
        return true;
    }
    case QMetaType::QDate:
        result = locale.toString(v.toDate(), QLocale::ShortFormat);
        return true;
    case QMetaType::Double: {
        // Whole numbers read without a fraction, as a spreadsheet shows them.
        result = QString::number(v.toDouble(), 'g', 15);
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
