#pragma once

#include <QDate>
#include <QString>

namespace data {

// The date separator of the default locale's short date format: a punctuation mark, "/"
// when the format has none there.
QChar dateSeparator();

// Dates are stored as text: day without a leading zero, two-digit month, four-digit year,
// joined by the date separator (5/03/2004).
QString dateToText(const QDate& date);

// Reads a stored date text: the stored form day first (any single separator, a blank too)
// whatever the locale, then the locale's short date format; an invalid date when neither
// reads.
QDate textToDate(const QString& text);

} // namespace data
