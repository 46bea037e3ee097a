#include "exchange/SheetParser.h"
#include "exchange/SheetWriter.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <vector>

using namespace exchange::wire;

namespace {

struct Collected final : SheetSink
{
    void begin(std::uint32_t r, std::uint32_t c) override
    {
        began = true;
        rows = r;
        columns = c;
    }
    void cell(const Cell& cell) override { cells.push_back(cell); }

    bool began = false;
    std::uint32_t rows = 0;
    std::uint32_t columns = 0;
    std::vector<Cell> cells;
};

template<typename Write> std::string written(Write write)
{
    std::FILE* file = std::tmpfile();
    {
        SheetWriter writer(file);
        write(writer);
        EXPECT_TRUE(writer.ok());
    }
    std::string bytes(size_t(std::ftell(file)), '\0');
    std::rewind(file);
    EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::fclose(file);
    return bytes;
}

TEST(SheetWire, CellsOfEveryKindComeBackAsWritten)
{
    const std::string chinese = "\xe9\x99\x88\xe5\xa4\xa7\xe6\x96\x87"; // three Han characters
    const std::string bytes = written([&](SheetWriter& w) {
        w.begin(2, 3);
        w.text(chinese.data(), chinese.size());
        w.number(-1234.5);
        w.dateTime("2004-03-05", 10);
        w.empty();
        w.text("", 0);
        w.number(std::nan(""));
        w.end();
    });
    Collected sheet;
    SheetParser parser(sheet);
    ASSERT_EQ(parser.parse(bytes.data(), bytes.size()), SheetParser::Outcome::Sheet)
        << parser.message();
    EXPECT_EQ(sheet.rows, 2u);
    EXPECT_EQ(sheet.columns, 3u);
    ASSERT_EQ(sheet.cells.size(), 6u);
    EXPECT_EQ(sheet.cells[0].kind, CellKind::Text);
    EXPECT_EQ(sheet.cells[0].text, chinese);
    EXPECT_EQ(sheet.cells[1].number, -1234.5);
    EXPECT_EQ(sheet.cells[2].kind, CellKind::DateTime);
    EXPECT_EQ(sheet.cells[2].text, "2004-03-05");
    EXPECT_EQ(sheet.cells[3].kind, CellKind::Empty);
    EXPECT_EQ(sheet.cells[4].kind, CellKind::Text);
    EXPECT_TRUE(sheet.cells[4].text.empty());
    EXPECT_TRUE(std::isnan(sheet.cells[5].number));
}

TEST(SheetWire, FailureCarriesItsMessage)
{
    const std::string bytes
        = written([](SheetWriter& w) { w.failure("it has no worksheet named RECORDS"); });
    Collected sheet;
    SheetParser parser(sheet);
    EXPECT_EQ(parser.parse(bytes.data(), bytes.size()), SheetParser::Outcome::Failure);
    EXPECT_EQ(parser.message(), "it has no worksheet named RECORDS");
    EXPECT_FALSE(sheet.began);
}

struct Malformed
{
    const char* name;
    std::string bytes;
};

void PrintTo(const Malformed& c, std::ostream* os)
{
    *os << c.name;
}

class SheetWireMalformed : public testing::TestWithParam<Malformed>
{
};

TEST_P(SheetWireMalformed, IsRefusedWithoutAllocatingForIt)
{
    Collected sheet;
    SheetParser parser(sheet);
    const std::string& bytes = GetParam().bytes;
    EXPECT_EQ(parser.parse(bytes.data(), bytes.size()), SheetParser::Outcome::Malformed);
    EXPECT_FALSE(parser.message().empty());
    EXPECT_LE(sheet.cells.size(), 1u);
}

using namespace std::string_literals;
INSTANTIATE_TEST_SUITE_P(
    Streams, SheetWireMalformed,
    testing::Values(Malformed {"Empty", ""s}, Malformed {"WrongMark", "MXR0S\0\0\0\0\0\0\0\0E"s},
                    Malformed {"MarkOnly", "MXR1"s}, Malformed {"UnknownFrame", "MXR1Q"s},
                    Malformed {"HeaderCut", "MXR1S\1\0\0"s},
                    // 1,048,577 rows; 16,385 columns: one more than an .xlsx sheet holds.
                    Malformed {"TooManyRows", "MXR1S\1\0\x10\0\1\0\0\0N"s},
                    Malformed {"TooManyColumns", "MXR1S\1\0\0\0\1\x40\0\0N"s},
                    // 1,048,576 x 16,384 cells claimed by a stream of a few bytes.
                    Malformed {"CellsClaimedNotThere", "MXR1S\0\0\x10\0\0\x40\0\0NNE"s},
                    Malformed {"UnknownCellKind", "MXR1S\1\0\0\0\1\0\0\0XE"s},
                    Malformed {"TextLongerThanStream",
                               "MXR1S\1\0\0\0\1\0\0\0T\xff\xff\xff\x7f"
                               "abcE"s},
                    Malformed {"NumberCut", "MXR1S\1\0\0\0\1\0\0\0D\0\0\0"s},
                    Malformed {"EndMissing", "MXR1S\1\0\0\0\1\0\0\0N"s},
                    Malformed {"BytesAfterEnd", "MXR1S\1\0\0\0\1\0\0\0NE!"s},
                    Malformed {"FailureCut", "MXR1F\x09\0\0\0abc"s},
                    Malformed {"BytesAfterFailure", "MXR1F\3\0\0\0abcE"s}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
