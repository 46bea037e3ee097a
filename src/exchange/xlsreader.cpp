// melbrin-xlsreader: reads the RECORDS sheet of one workbook (.xls, or .xlsx with --xlsx) and
// writes it to standard output in the reader's framed format. The program runs it as a child
// process under memory and time limits, so that a damaged or hostile file can only end this
// process, never the program.
#include "RecordsSheet.h"
#include "SheetWriter.h"
#include "XlsxSheet.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    const bool xlsx = argc == 3 && std::strcmp(argv[1], "--xlsx") == 0;
    if (argc != 2 && !xlsx) {
        std::fputs("usage: melbrin-xlsreader [--xlsx] WORKBOOK\n", stderr);
        return 2;
    }
    exchange::wire::SheetWriter out(stdout);
    if (xlsx)
        return exchange::writeXlsxRecordsSheet(argv[2], out);
    return exchange::writeRecordsSheet(argv[1], out);
}
