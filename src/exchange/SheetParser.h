#pragma once

#include "SheetWire.h"

namespace exchange::wire {

// Receives the sheet a stream holds, cell by cell in row order.
class SheetSink
{
public:
    virtual ~SheetSink() = default;
    virtual void begin(std::uint32_t rows, std::uint32_t columns) = 0;
    virtual void cell(const Cell& cell) = 0;
};

// Reads the framed stream of SheetWire.h. Every length and count is checked against the bytes
// that are there and against the largest sheet a workbook can hold, so that no input can
// make it read out of bounds or allocate more than its own size.
class SheetParser
{
public:
    enum class Outcome { Sheet, Failure, Malformed };

    explicit SheetParser(SheetSink& sink)
        : m_sink(sink)
    { }

    Outcome parse(const char* data, std::size_t size);
    // The failure's text, or what is wrong with a malformed stream.
    const std::string& message() const { return m_message; }

private:
    bool take(std::size_t count);
    bool readTag(char& tag);
    bool readU32(std::uint32_t& value);
    bool readString(std::string& text);
    bool readCell(Cell& cell);
    Outcome malformed(const char* what);

    SheetSink& m_sink;
    const char* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_at = 0;
    std::string m_message;
};

} // namespace exchange::wire
