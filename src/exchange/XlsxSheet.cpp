#include "XlsxSheet.h"

#include "SheetWriter.h"

namespace exchange {

int writeXlsxRecordsSheet(const char* path, wire::SheetWriter& out)
{
    (void)path;
    out.failure("Excel workbooks (.xlsx) cannot be read yet");
    return out.ok() ? 1 : 2;
}

} // namespace exchange
