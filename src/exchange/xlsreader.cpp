// melbrin-xlsreader: reads the RECORDS sheet of one workbook and writes it to standard output
// in the reader's framed format. The program runs it as a child process under memory and
// time limits, so that a damaged or hostile file can only end this process, never the
// program.
#include "RecordsSheet.h"
#include "SheetWriter.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: melbrin-xlsreader WORKBOOK.xls\n", stderr);
        return 2;
    }
    exchange::wire::SheetWriter out(stdout);
    return exchange::writeRecordsSheet(argv[1], out);
}
