#pragma once

#include "SheetTable.h"

#include <QByteArray>
#include <QString>

namespace exchange {

// Reads a staff list saved as separated text: UTF-8 with or without byte order mark, or
// UTF-16 with one; comma, semicolon or tab separators, found from the heading line; quoted
// fields as RFC 4180 has them. The first line holds the headings. Throws data::Error naming
// the file (fileName, as the user chose it) and the line when the text cannot be read.
SheetTable readCsvSheet(const QByteArray& bytes, const QString& fileName);

} // namespace exchange
