// Stored pictures: any bytes either decode or are refused with an error; what decodes
// encodes and decodes again at the same size.
#include "data/Error.h"
#include "imaging/Jpeg.h"
#include "imaging/Picture.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(bytes), qsizetype(size));
    try {
        const imaging::Picture p = imaging::decodeJpeg(input);
        if (p.width() * qint64(p.height()) > 4'000'000)
            return 0;
        const imaging::Picture again = imaging::decodeJpeg(imaging::encodeJpeg(p));
        if (again.width() != p.width() || again.height() != p.height())
            std::abort();
    } catch (const data::Error&) { }
    return 0;
}
