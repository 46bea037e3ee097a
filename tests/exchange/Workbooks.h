#pragma once

#include "exchange/WorkbookReader.h"

#include <QString>

// Writes an .xls workbook at path from a JSON description (see make_workbook.py) and
// returns the path; throws data::Error when the script fails.
QString makeWorkbook(const QString& path, const QString& description);
// Writes bytes to a file and returns its path.
QString writeFile(const QString& path, const QByteArray& bytes);
// The reader of this build, and one that misbehaves as its input file says (see
// MisbehavingReader.cpp).
exchange::WorkbookReader buildReader(exchange::ReaderLimits limits = {});
exchange::WorkbookReader misbehavingReader(exchange::ReaderLimits limits);
