#pragma once

namespace exchange {

namespace wire {
class SheetWriter;
}

// The work of the reader process for an Office Open XML workbook: opens the .xlsx package at
// path and writes its RECORDS sheet (or its only sheet), or why it cannot, to out. Returns
// the process's exit code as writeRecordsSheet does.
int writeXlsxRecordsSheet(const char* path, wire::SheetWriter& out);

} // namespace exchange
