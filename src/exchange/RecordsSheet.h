#pragma once

namespace exchange {

namespace wire {
class SheetWriter;
}

// The name of the worksheet the staff import reads, compared without letter case.
inline constexpr const char* recordsSheetName = "RECORDS";

// The work of the workbook reader process: opens the .xls file at path with libfreexl and
// writes its RECORDS sheet, or why it cannot, to out. Columns to the right of the last
// heading are left out, since nothing can name them. Returns the process's exit code: 0 for
// a sheet, 1 for a failure that was written, 2 when writing failed.
int writeRecordsSheet(const char* path, wire::SheetWriter& out);

} // namespace exchange
