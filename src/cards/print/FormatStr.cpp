#include "FormatStr.h"

#include "data/DateText.h"

#include <QDate>
#include <QLocale>
#include <QTime>

namespace cards {
namespace {

QTime readTime(const QString& text)
{
    const QLocale locale;
    for (const auto format : {QLocale::ShortFormat, QLocale::LongFormat}) {
        const QTime time = locale.toTime(text, format);
        if (time.isValid())
            return time;
    }
    for (const auto* pattern : {"H:mm", "H:mm:ss"}) {
        const QTime time = QTime::fromString(text, QString::fromLatin1(pattern));
        if (time.isValid())
            return time;
    }
    return {};
}

QDate readDate(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {};
    QDate date = data::textToDate(trimmed);
    if (date.isValid())
        return date;
    // A date followed by a time of day.
    const qsizetype blank = trimmed.indexOf(u' ');
    if (blank > 0) {
        date = data::textToDate(trimmed.left(blank));
        if (date.isValid() && readTime(trimmed.mid(blank + 1).trimmed()).isValid())
            return date;
    }
    if (readTime(trimmed).isValid())
        return QDate(1899, 12, 30);
    return {};
}

} // namespace

QString FormatStr(const QString& text)
{
    const QDate date = readDate(text);
    if (!date.isValid())
        return text;
    return QStringLiteral("%1%2%3, %4")
        .arg(date.day())
        .arg(data::dateSeparator())
        .arg(QLocale().monthName(date.month(), QLocale::ShortFormat))
        .arg(date.year(), 4, 10, QChar(u'0'));
}

} // namespace cards
