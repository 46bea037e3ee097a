#pragma once

#include "exchange/WorkbookReader.h"

#include <QDateTime>
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
// The message with which the reader of this build refuses path; "(no error)" when it reads.
QString readerErrorOf(const QString& path);
// A date and time in UTC, as the reader gives workbook dates.
QDateTime utc(int y, int m, int d, int h = 0, int min = 0);
