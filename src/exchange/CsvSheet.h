#pragma once

#include "SheetTable.h"

#include <QByteArray>
#include <QString>

namespace exchange {

// Reads a staff list saved as separated text: UTF-8 with or without byte order mark, or
// UTF-16 with one; comma, semicolon or tab separators, found from the heading line; quoted
// fields as RFC 4180 has them. The first line holds the headings. Empty fields are Null and
// the others text as it stands (a staff number 00123 keeps its zeros), except that a text in
// the DATE_JOIN column that readCsvDate reads becomes that date, as a workbook's date cell
// would be. A record with fewer fields than headings is Null in the rest; an empty line at
// the end is no record. Throws data::Error naming the file (fileName, as the user chose it)
// and the line when the text cannot be read (not UTF-8 nor UTF-16 with its byte order mark,
// a quote left open, more fields than headings); nothing is returned then.
SheetTable readCsvSheet(const QByteArray& bytes, const QString& fileName);

} // namespace exchange
