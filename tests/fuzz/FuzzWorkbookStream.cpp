// What the workbook reader process sends back is checked before any of it is used: any bytes
// parse to a sheet, a reported failure or a malformed stream, never more.
#include "exchange/SheetDecoder.h"
#include "exchange/SheetParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    exchange::SheetDecoder decoder;
    exchange::wire::SheetParser parser(decoder);
    if (parser.parse(reinterpret_cast<const char*>(bytes), size)
        == exchange::wire::SheetParser::Outcome::Sheet)
        decoder.take();
    return 0;
}
