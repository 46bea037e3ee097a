#pragma once

#include <cstddef>
#include <string>

namespace exchange {

// Excel 97 and later keep a workbook inside a compound document, whose first eight bytes are
// this signature. Older workbooks, zipped .xlsx files and text files do not start with it.
inline constexpr unsigned char compoundSignature[8]
    = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

bool hasCompoundSignature(const char* bytes, std::size_t size);
// Reads the first bytes of the file; false when it cannot be read.
bool fileHasCompoundSignature(const char* path);

// Reads the whole of a file of at most maxBytes into bytes; false when it cannot be read
// or is larger.
bool readWholeFile(const char* path, std::size_t maxBytes, std::string& bytes);

// Copies the stream of that name (ASCII, compared without letter case) out of the compound
// document held in file. Every sector number, chain and length is checked against the
// document's size; false when the document is damaged or has no such stream.
bool readCompoundStream(const std::string& file, const char* name, std::string& stream);

} // namespace exchange
