#include "CsvDates.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTimeZone>

namespace exchange {
namespace {

// The short date format of the locale with every numeric day and month field made to take
// one or two digits, in its four-digit year form and, if it has one, its two-digit form.
QStringList shortDateFormats(const QLocale& locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QString loose;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == u'\'')
            quoted = !quoted;
        qsizetype run = 1;
        while (i + run < format.size() && format.at(i + run) == c)
            ++run;
        if (!quoted && (c == u'd' || c == u'M') && run <= 2) {
            loose += c;
        } else if (!quoted && c == u'y') {
            loose += QStringLiteral("yy");
        } else {
            loose += format.mid(i, run);
        }
        i += run - 1;
    }
    QString fourDigits = loose;
    fourDigits.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    if (!format.contains(u'y'))
        return {loose};
    return {fourDigits, loose};
}

std::optional<QDate> readDate(const QString& text)
{
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    if (const auto m = iso.match(text); m.hasMatch()) {
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        return date.isValid() ? std::optional(date) : std::nullopt;
    }
    const QLocale locale;
    for (const QString& format : shortDateFormats(locale)) {
        QDate date = locale.toDate(text, format);
        if (!date.isValid())
            continue;
        if (!format.contains(QStringLiteral("yyyy"))) {
            const int thisYear = QDate::currentDate().year();
            while (date.year() <= thisYear - 50)
                date = date.addYears(100);
        }
        return date;
    }
    return std::nullopt;
}

std::optional<QTime> readTime(const QString& text)
{
    static const QRegularExpression clock(
        QStringLiteral("^(\\d{1,2}):(\\d{2})(?::(\\d{2})(?:[.,](\\d{1,3})\\d*)?)?"
                       "(?:\\s*([ap])\\.?m\\.?)?$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = clock.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    int hour = m.captured(1).toInt();
    const QString half = m.captured(5).toLower();
    if (!half.isEmpty()) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        hour = hour % 12 + (half == u"p" ? 12 : 0);
    }
    const QString fraction = m.captured(4);
    const int milliseconds = fraction.isEmpty() ? 0
                                                : fraction.toInt()
            * (fraction.size() == 1       ? 100
                   : fraction.size() == 2 ? 10
                                          : 1);
    const QTime time(hour, m.captured(2).toInt(), m.captured(3).toInt(), milliseconds);
    return time.isValid() ? std::optional(time) : std::nullopt;
}

} // namespace

std::optional<QDateTime> readCsvDate(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 64)
        return std::nullopt;
    const auto inUtc = [](const QDate& date, const QTime& time) {
        return QDateTime(date, time, QTimeZone::utc());
    };
    if (const std::optional<QDate> date = readDate(trimmed))
        return inUtc(*date, QTime(0, 0));
    // A time of day after the date: after a blank, or after the "T" of the ISO form.
    static const QRegularExpression withTime(
        QStringLiteral("^(.+?)(?:\\s+|(?<=\\d)T)(\\d{1,2}:\\d{2}\\S*(?:\\s*[ap]\\.?m\\.?)?)$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = withTime.match(trimmed);
    if (!m.hasMatch())
        return std::nullopt;
    const std::optional<QDate> date = readDate(m.captured(1));
    const std::optional<QTime> time = date ? readTime(m.captured(2)) : std::nullopt;
    if (!time)
        return std::nullopt;
    return inUtc(*date, *time);
}

} // namespace exchange
