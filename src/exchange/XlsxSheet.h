#pragma once

namespace exchange {

class ZipPackage;

namespace wire {
class SheetWriter;
}

// The work of the reader process for an Office Open XML workbook: opens the .xlsx package at
// path and writes its RECORDS sheet (or its only sheet), or why it cannot, to out, as
// writeRecordsSheet does for an .xls workbook: the same cells for the same data, columns
// right of the last heading left out. Returns the process's exit code as writeRecordsSheet
// does.
int writeXlsxRecordsSheet(const char* path, wire::SheetWriter& out);
// The same for a package already open.
int writeXlsxRecordsSheet(ZipPackage& package, wire::SheetWriter& out);

} // namespace exchange
