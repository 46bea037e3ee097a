// The reader process's own look into a workbook file: any bytes give a compound document
// without the stream, or a stream whose cells, formats and formula results are read without
// leaving it; every date serial found converts to a date text or to nothing.
#include "exchange/BiffCells.h"
#include "exchange/CompoundFile.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const std::string file(reinterpret_cast<const char*>(bytes), size);
    std::string stream;
    // A seed that is no compound document is taken as the workbook stream itself.
    if (!exchange::readCompoundStream(file, "Workbook", stream))
        stream = file;
    const exchange::biff::Sheet sheet = exchange::biff::readSheet(stream, "RECORDS");
    for (const auto& [at, cell] : sheet.cells) {
        if (cell.kind == exchange::biff::RawCell::Kind::Number)
            (void)exchange::biff::serialText(cell.number, sheet.date1904, cell.shown);
    }
    return 0;
}
