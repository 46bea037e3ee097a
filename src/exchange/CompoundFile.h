#pragma once

#include <cstddef>

namespace exchange {

// Excel 97 and later keep a workbook inside a compound document, whose first eight bytes are
// this signature. Older workbooks, zipped .xlsx files and text files do not start with it.
inline constexpr unsigned char compoundSignature[8]
    = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

bool hasCompoundSignature(const char* bytes, std::size_t size);
// Reads the first bytes of the file; false when it cannot be read.
bool fileHasCompoundSignature(const char* path);

} // namespace exchange
