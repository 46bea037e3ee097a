// The reader process's work on an .xlsx workbook: any bytes, taken as a zip package, give a
// sheet or a failure written to the reader's stream, within the package's limits, and never
// a fault.
#include "exchange/SheetWriter.h"
#include "exchange/XlsxSheet.h"
#include "exchange/ZipPackage.h"

#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static std::FILE* sink = std::fopen("/dev/null", "wb");
    exchange::wire::SheetWriter out(sink);
    // Limits far below the real ones keep each run short; the checks are the same.
    exchange::ZipLimits limits;
    limits.maxEntryBytes = 8u << 20;
    limits.maxTotalBytes = 16u << 20;
    try {
        exchange::ZipPackage package(bytes, size, limits);
        exchange::writeXlsxRecordsSheet(package, out);
    } catch (const exchange::PackageError&) { }
    return 0;
}
