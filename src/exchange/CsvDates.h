#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace exchange {

// A date as separated text writes it, read as the date a workbook's date cell would hold:
// the ISO form (2004-03-05) or the default locale's short date, with a two- or four-digit
// year and one- or two-digit day and month, each optionally followed by a time of day
// (10:30, 10:30:15, 10:30 pm). A two-digit year means the one within fifty years of today.
// The result is in UTC, as the workbook reader gives dates; nullopt when the text reads as
// no date.
std::optional<QDateTime> readCsvDate(const QString& text);

} // namespace exchange
