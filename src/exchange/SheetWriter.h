#pragma once

#include "SheetWire.h"

#include <cstdio>

namespace exchange::wire {

// Writes the framed stream of SheetWire.h to a file; used by the workbook reader process.
// The caller writes either one failure or one sheet header, its cells and the end mark.
class SheetWriter
{
public:
    explicit SheetWriter(std::FILE* out);

    void failure(const std::string& message);
    // Writes the failure and gives the reader process's exit code for it: 1, or 2 when the
    // writing failed.
    int fail(const std::string& message)
    {
        failure(message);
        return m_ok ? 1 : 2;
    }
    void begin(std::uint32_t rows, std::uint32_t columns);
    void empty();
    void number(double value);
    void text(const char* utf8, std::size_t length);
    void dateTime(const char* text, std::size_t length);
    void end();
    // False once any write failed.
    bool ok() const { return m_ok; }

private:
    void put(const void* bytes, std::size_t length);
    void putTag(char tag) { put(&tag, 1); }
    void putU32(std::uint32_t value);
    void putString(char tag, const char* bytes, std::size_t length);

    std::FILE* m_out;
    bool m_ok = true;
};

} // namespace exchange::wire
