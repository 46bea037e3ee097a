#include "DateText.h"

#include <QLocale>
#include <QRegularExpression>

namespace data {

QChar dateSeparator()
{
    // The first character after the first field of the short format: "d/M/yy" gives "/".
    // Where that is no punctuation mark ("d MMM yyyy" of the C locale, a letter, a blank)
    // "/" stands in, so that a stored date always reads back as one text of three numbers.
    const QString format = QLocale().dateFormat(QLocale::ShortFormat);
    bool inField = false;
    for (const QChar c : format) {
        if (c == u'd' || c == u'M' || c == u'y')
            inField = true;
        else if (inField && c != u'\'')
            return c.isPunct() ? c : QChar(u'/');
    }
    return u'/';
}

QString dateToText(const QDate& date)
{
    const QChar sep = dateSeparator();
    return QStringLiteral("%1%2%3%2%4")
        .arg(date.day())
        .arg(sep)
        .arg(date.month(), 2, 10, QChar(u'0'))
        .arg(date.year(), 4, 10, QChar(u'0'));
}

QDate textToDate(const QString& text)
{
    static const QRegularExpression stored(
        QStringLiteral("^\\s*(\\d{1,2})(\\D)(\\d{1,2})\\2(\\d{4})\\s*$"));
    const auto m = stored.match(text);
    if (m.hasMatch()) {
        const QDate d(m.captured(4).toInt(), m.captured(3).toInt(), m.captured(1).toInt());
        if (d.isValid())
            return d;
    }
    const QLocale locale;
    const QString shortFormat = locale.dateFormat(QLocale::ShortFormat);
    QDate d = locale.toDate(text.trimmed(), shortFormat);
    if (d.isValid() && !shortFormat.contains(QStringLiteral("yyy"))) {
        // A two-digit year means the one within fifty years of today.
        const int thisYear = QDate::currentDate().year();
        while (d.year() <= thisYear - 50)
            d = d.addYears(100);
    }
    if (!d.isValid())
        d = locale.toDate(text.trimmed(), QLocale::LongFormat);
    return d;
}

} // namespace data
