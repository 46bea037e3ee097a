#include "SheetParser.h"

#include <cstring>

namespace exchange::wire {

bool SheetParser::take(std::size_t count)
{
    if (count > m_size - m_at)
        return false;
    m_at += count;
    return true;
}

bool SheetParser::readTag(char& tag)
{
    if (!take(1))
        return false;
    tag = m_data[m_at - 1];
    return true;
}

bool SheetParser::readU32(std::uint32_t& value)
{
    if (!take(4))
        return false;
    const auto* b = reinterpret_cast<const unsigned char*>(m_data + m_at - 4);
    value = std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16
        | std::uint32_t(b[3]) << 24;
    return true;
}

bool SheetParser::readString(std::string& text)
{
    std::uint32_t length = 0;
    if (!readU32(length) || !take(length))
        return false;
    text.assign(m_data + m_at - length, length);
    return true;
}

bool SheetParser::readCell(Cell& cell)
{
    char tag = 0;
    if (!readTag(tag))
        return false;
    switch (static_cast<CellKind>(tag)) {
    case CellKind::Empty:
        cell.kind = CellKind::Empty;
        cell.text.clear();
        return true;
    case CellKind::Number: {
        std::uint32_t low = 0;
        std::uint32_t high = 0;
        if (!readU32(low) || !readU32(high))
            return false;
        const std::uint64_t bits = std::uint64_t(high) << 32 | low;
        std::memcpy(&cell.number, &bits, sizeof bits);
        cell.kind = CellKind::Number;
        cell.text.clear();
        return true;
    }
    case CellKind::Text:
    case CellKind::DateTime:
        cell.kind = static_cast<CellKind>(tag);
        return readString(cell.text);
    }
    return false;
}

SheetParser::Outcome SheetParser::malformed(const char* what)
{
    m_message = what;
    return Outcome::Malformed;
}

SheetParser::Outcome SheetParser::parse(const char* data, std::size_t size)
{
    m_data = data;
    m_size = size;
    m_at = 0;
    m_message.clear();
    if (!take(sizeof magic) || std::memcmp(data, magic, sizeof magic) != 0)
        return malformed("it does not start with the reader's mark");
    char tag = 0;
    if (!readTag(tag))
        return malformed("it ends after its mark");
    if (tag == failureTag) {
        std::string text;
        if (!readString(text))
            return malformed("its failure message is cut short");
        if (m_at != m_size)
            return malformed("bytes follow its failure message");
        m_message = text.empty() ? std::string("unknown failure") : text;
        return Outcome::Failure;
    }
    if (tag != sheetTag)
        return malformed("it holds an unknown frame");
    std::uint32_t rows = 0;
    std::uint32_t columns = 0;
    if (!readU32(rows) || !readU32(columns))
        return malformed("its sheet header is cut short");
    if (rows > maxRows || columns > maxColumns)
        return malformed("its sheet is larger than a workbook can hold");
    // Every cell takes at least one byte: a count the bytes cannot hold is refused before
    // the sink allocates anything for it.
    const std::uint64_t cells = std::uint64_t(rows) * columns;
    if (cells > m_size - m_at)
        return malformed("it holds fewer cells than its sheet header says");
    m_sink.begin(rows, columns);
    Cell cell;
    for (std::uint64_t i = 0; i < cells; ++i) {
        if (!readCell(cell))
            return malformed("a cell is cut short or of an unknown kind");
        m_sink.cell(cell);
    }
    if (!readTag(tag) || tag != endTag)
        return malformed("its end mark is missing");
    if (m_at != m_size)
        return malformed("bytes follow its end mark");
    return Outcome::Sheet;
}

} // namespace exchange::wire
