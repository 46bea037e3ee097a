#include "cards/LabelStream.h"

#include <cstdlib>

using cards::LabelProperties;
using cards::LabelStream;

// Any bytes: reading must stay inside the buffer, and what was read must write a stream that
// reads back whole and writes the same bytes again.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LabelProperties label;
    LabelStream::read(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)), label);

    const QByteArray first = LabelStream::write(label);
    LabelProperties again = LabelProperties::blank();
    if (!LabelStream::read(first, again))
        std::abort();
    if (LabelStream::write(again) != first)
        std::abort();
    return 0;
}
