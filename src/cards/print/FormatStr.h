#pragma once

#include <QString>

namespace cards {

// The print handler of the date slots: a text that reads as a date (optionally followed by a
// time) or as a time alone is shown as "d/MMM, yyyy" with the locale's date separator and
// abbreviated month name (5/Mar, 2004); a time alone is the day 30/12/1899. Any other text
// is returned unchanged.
QString FormatStr(const QString& text);

} // namespace cards
