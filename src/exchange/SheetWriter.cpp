#include "SheetWriter.h"

#include <cstring>
#include <limits>

namespace exchange::wire {

SheetWriter::SheetWriter(std::FILE* out)
    : m_out(out)
{
    put(magic, sizeof magic);
}

void SheetWriter::put(const void* bytes, std::size_t length)
{
    if (m_ok && length > 0 && std::fwrite(bytes, 1, length, m_out) != length)
        m_ok = false;
}

void SheetWriter::putU32(std::uint32_t value)
{
    const unsigned char bytes[4]
        = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
           static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    put(bytes, sizeof bytes);
}

void SheetWriter::putString(char tag, const char* bytes, std::size_t length)
{
    if (length > std::numeric_limits<std::uint32_t>::max())
        length = std::numeric_limits<std::uint32_t>::max();
    putTag(tag);
    putU32(static_cast<std::uint32_t>(length));
    put(bytes, length);
}

void SheetWriter::failure(const std::string& message)
{
    putString(failureTag, message.data(), message.size());
    if (m_ok && std::fflush(m_out) != 0)
        m_ok = false;
}

void SheetWriter::begin(std::uint32_t rows, std::uint32_t columns)
{
    putTag(sheetTag);
    putU32(rows);
    putU32(columns);
}

void SheetWriter::empty()
{
    putTag(static_cast<char>(CellKind::Empty));
}

void SheetWriter::number(double value)
{
    static_assert(sizeof(double) == 8 && std::numeric_limits<double>::is_iec559);
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    putTag(static_cast<char>(CellKind::Number));
    putU32(static_cast<std::uint32_t>(bits));
    putU32(static_cast<std::uint32_t>(bits >> 32));
}

void SheetWriter::text(const char* utf8, std::size_t length)
{
    putString(static_cast<char>(CellKind::Text), utf8, length);
}

void SheetWriter::dateTime(const char* text, std::size_t length)
{
    putString(static_cast<char>(CellKind::DateTime), text, length);
}

void SheetWriter::end()
{
    putTag(endTag);
    if (m_ok && std::fflush(m_out) != 0)
        m_ok = false;
}

} // namespace exchange::wire
