// Any bytes read as separated text give a sheet or a data::Error, never more: no crash, no
// read past the input, no runaway memory.
#include "data/Error.h"
#include "exchange/CsvSheet.h"

#include <QLocale>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static const bool localeSet = [] {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::Australia));
        return true;
    }();
    (void)localeSet;
    try {
        const exchange::SheetTable sheet = exchange::readCsvSheet(
            QByteArray(reinterpret_cast<const char*>(bytes), qsizetype(size)),
            QStringLiteral("fuzz.csv"));
        for (int r = 0; r < sheet.rowCount(); ++r) {
            for (int c = 0; c <= sheet.headings().size(); ++c)
                (void)sheet.cell(r, c);
        }
    } catch (const data::Error&) { }
    return 0;
}
