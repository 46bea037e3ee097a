#include "cards/LabelStream.h"

#include "cards/LabelNames.h"

#include <functional>
#include <gtest/gtest.h>

using cards::LabelFont;
using cards::LabelNames;
using cards::LabelProperties;
using cards::LabelStream;

namespace {

// The 223-byte stream of the form design, record by record.
const QByteArray designStream
    = QByteArray::fromHex("54504630"
                          "06544c6162656c"
                          "066c62466f6e74"
                          "044c656674 0208"
                          "03546f70 0210"
                          "055769647468 039100"
                          "06486569676874 021d"
                          "09416c69676e6d656e74 0708746143656e746572"
                          "084175746f53697a65 08"
                          "0743617074696f6e 060944656d6f2054657874"
                          "0c466f6e742e43686172736574 070f44454641554c545f43484152534554"
                          "0a466f6e742e436f6c6f72 0707636c426c61636b"
                          "0b466f6e742e486569676874 02f3"
                          "09466f6e742e4e616d65 0605417269616c"
                          "0a466f6e742e5374796c65 0b00"
                          "0a506172656e74466f6e74 08"
                          "064c61796f7574 0708746c43656e746572"
                          "0000");

} // namespace

namespace cards {

// Readable failure messages.
void PrintTo(const LabelProperties& l, std::ostream* os)
{
    *os << LabelStream::write(l).toHex(' ').toStdString();
}

} // namespace cards

namespace {

QByteArray shortString(const QByteArray& text)
{
    return char(text.size()) + text;
}

// The tag byte of a property's value, -1 when the property has no record.
int tagOf(const QByteArray& stream, const QByteArray& property)
{
    const QByteArray key = shortString(property);
    const qsizetype at = stream.indexOf(key);
    return at < 0 ? -1 : quint8(stream[at + key.size()]);
}

LabelProperties readInto(const QByteArray& stream, LabelProperties label, bool* complete = nullptr)
{
    const bool whole = LabelStream::read(stream, label);
    if (complete)
        *complete = whole;
    return label;
}

TEST(LabelStream, DesignLabelWritesTheDesignStreamByteForByte)
{
    const QByteArray written = LabelStream::write(LabelProperties {});
    EXPECT_EQ(written.size(), 223);
    EXPECT_EQ(written.toHex(' '), designStream.toHex(' '));

    bool complete = false;
    EXPECT_EQ(readInto(designStream, LabelProperties::blank(), &complete), LabelProperties {});
    EXPECT_TRUE(complete);
}

struct RoundTrip
{
    const char* name;
    std::function<void(LabelProperties&)> change;
    QByteArray property; // whose tag is checked
    int tag;
};

void PrintTo(const RoundTrip& c, std::ostream* os)
{
    *os << c.name;
}

class LabelStreamRoundTrip : public ::testing::TestWithParam<RoundTrip>
{
};

// Write, read into a blank label, compare, write again and compare the bytes.
TEST_P(LabelStreamRoundTrip, ReadsBackWhatItWrote)
{
    LabelProperties label;
    GetParam().change(label);
    const QByteArray written = LabelStream::write(label);
    EXPECT_EQ(tagOf(written, GetParam().property), GetParam().tag);

    bool complete = false;
    const LabelProperties back = readInto(written, LabelProperties::blank(), &complete);
    EXPECT_TRUE(complete);
    EXPECT_EQ(back, label);
    EXPECT_EQ(LabelStream::write(back), written);
}

using S = LabelFont::Style;
INSTANTIATE_TEST_SUITE_P(
    Cases, LabelStreamRoundTrip,
    ::testing::Values(
        RoundTrip {"Bold", [](auto& l) { l.font.style = S::Bold; }, "Font.Style", 0x0B},
        RoundTrip {"Italic", [](auto& l) { l.font.style = S::Italic; }, "Font.Style", 0x0B},
        RoundTrip {"Underline", [](auto& l) { l.font.style = S::Underline; }, "Font.Style", 0x0B},
        RoundTrip {"StrikeOut", [](auto& l) { l.font.style = S::StrikeOut; }, "Font.Style", 0x0B},
        RoundTrip {
            "AllStyles",
            [](auto& l) { l.font.style = S::Bold | S::Italic | S::Underline | S::StrikeOut; },
            "Font.Style", 0x0B},
        RoundTrip {"UnnamedColor", [](auto& l) { l.font.color = 0x123456; }, "Font.Color", 0x04},
        RoundTrip {"SmallUnnamedColor", [](auto& l) { l.font.color = 0x7F; }, "Font.Color", 0x02},
        RoundTrip {"UnnamedCharset", [](auto& l) { l.font.charset = 163; }, "Font.Charset", 0x03},
        RoundTrip {"ChineseFace", [](auto& l) { l.font.name = QStringLiteral("微软雅黑"); },
                   "Font.Name", 0x12},
        RoundTrip {"AccentedFace", [](auto& l) { l.font.name = QStringLiteral("Café Grotesk"); },
                   "Font.Name", 0x14},
        RoundTrip {"LongFace", [](auto& l) { l.font.name = QString(300, u'x'); }, "Font.Name",
                   0x0C},
        RoundTrip {"FaceOf255", [](auto& l) { l.font.name = QString(255, u'y'); }, "Font.Name",
                   0x06},
        RoundTrip {"EmptyFace", [](auto& l) { l.font.name.clear(); }, "Font.Name", -1},
        RoundTrip {"EmptyCaption", [](auto& l) { l.caption.clear(); }, "Caption", -1},
        RoundTrip {"ChineseCaption", [](auto& l) { l.caption = QStringLiteral("張三 李四"); },
                   "Caption", 0x12},
        RoundTrip {"SixteenBitHeight", [](auto& l) { l.font.height = -200; }, "Font.Height", 0x03},
        RoundTrip {"ThirtyTwoBitHeight", [](auto& l) { l.font.height = 40000; }, "Font.Height",
                   0x04},
        RoundTrip {"FixedPitch", [](auto& l) { l.font.pitch = LabelFont::Pitch::Fixed; },
                   "Font.Pitch", 0x07},
        RoundTrip {"VariablePitch", [](auto& l) { l.font.pitch = LabelFont::Pitch::Variable; },
                   "Font.Pitch", 0x07},
        RoundTrip {"DefaultPitch", [](auto&) {}, "Font.Pitch", -1},
        RoundTrip {"LeftJustified",
                   [](auto& l) { l.alignment = LabelProperties::Alignment::LeftJustify; },
                   "Alignment", -1},
        RoundTrip {"RightJustified",
                   [](auto& l) { l.alignment = LabelProperties::Alignment::RightJustify; },
                   "Alignment", 0x07},
        RoundTrip {"AutoSize", [](auto& l) { l.autoSize = true; }, "AutoSize", -1},
        RoundTrip {"ParentFont", [](auto& l) { l.parentFont = true; }, "ParentFont", -1},
        RoundTrip {"LayoutTop", [](auto& l) { l.layout = LabelProperties::Layout::Top; }, "Layout",
                   -1},
        RoundTrip {"LayoutBottom", [](auto& l) { l.layout = LabelProperties::Layout::Bottom; },
                   "Layout", 0x07}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LabelStream, EveryNamedColourAndCharsetIsWrittenByNameAndReadBack)
{
    for (const auto& entry : LabelNames::colors()) {
        LabelProperties label;
        label.font.color = entry.value;
        const QByteArray written = LabelStream::write(label);
        EXPECT_TRUE(written.contains(QByteArray("\x07") + shortString(entry.name))) << entry.name;
        EXPECT_EQ(readInto(written, LabelProperties::blank()), label) << entry.name;
    }
    for (const auto& entry : LabelNames::charsets()) {
        LabelProperties label;
        label.font.charset = entry.value;
        const QByteArray written = LabelStream::write(label);
        EXPECT_TRUE(written.contains(QByteArray("\x07") + shortString(entry.name))) << entry.name;
        EXPECT_EQ(readInto(written, LabelProperties::blank()), label) << entry.name;
    }
}

TEST(LabelStream, StyleMembersAreWrittenInTheirFixedOrder)
{
    LabelProperties label;
    label.font.style = S::StrikeOut | S::Bold | S::Underline | S::Italic;
    const QByteArray expected = "\x0B" + shortString("fsBold") + shortString("fsItalic")
        + shortString("fsUnderline") + shortString("fsStrikeOut") + '\0';
    EXPECT_TRUE(LabelStream::write(label).contains(shortString("Font.Style") + expected));
}

// Each prefix of the design stream applies exactly the records it holds whole.
TEST(LabelStream, TruncatedStreamKeepsTheRecordsReadBeforeTheCut)
{
    const LabelProperties design;
    struct Record
    {
        int end;
        std::function<void(LabelProperties&)> apply;
    };
    const std::vector<Record> records = {
        {18, [&](auto& l) { l.name = design.name; }},
        {25, [&](auto& l) { l.left = design.left; }},
        {31, [&](auto& l) { l.top = design.top; }},
        {40, [&](auto& l) { l.width = design.width; }},
        {49, [&](auto& l) { l.height = design.height; }},
        {69, [&](auto& l) { l.alignment = design.alignment; }},
        {79, [&](auto& l) { l.autoSize = design.autoSize; }},
        {98, [&](auto& l) { l.caption = design.caption; }},
        {128, [&](auto& l) { l.font.charset = design.font.charset; }},
        {148, [&](auto& l) { l.font.color = design.font.color; }},
        {162, [&](auto& l) { l.font.height = design.font.height; }},
        {179, [&](auto& l) { l.font.name = design.font.name; }},
        {192, [&](auto& l) { l.font.style = design.font.style; }},
        {204, [&](auto& l) { l.parentFont = design.parentFont; }},
        {221, [&](auto& l) { l.layout = design.layout; }},
    };
    // A base whose every value differs from the design.
    LabelProperties base = LabelProperties::blank();
    base.font.charset = 0;
    base.font.color = 0xFFFFFF;
    base.font.style = S::Italic;

    for (int size = 0; size < designStream.size(); ++size) {
        LabelProperties expected = base;
        for (const auto& record : records) {
            if (record.end <= size)
                record.apply(expected);
        }
        bool complete = true;
        EXPECT_EQ(readInto(designStream.left(size), base, &complete), expected) << size;
        EXPECT_FALSE(complete) << size;
    }
}

struct BadStream
{
    const char* name;
    QByteArray bytes;
    // Fields the reading reaches before it stops, applied to a blank label.
    std::function<void(LabelProperties&)> applied;
};

void PrintTo(const BadStream& c, std::ostream* os)
{
    *os << c.name;
}

class LabelStreamBadInput : public ::testing::TestWithParam<BadStream>
{
};

TEST_P(LabelStreamBadInput, StopsAtTheFaultKeepingWhatWasApplied)
{
    LabelProperties expected = LabelProperties::blank();
    GetParam().applied(expected);
    bool complete = true;
    EXPECT_EQ(readInto(GetParam().bytes, LabelProperties::blank(), &complete), expected);
    EXPECT_FALSE(complete);
}

// The design stream with its records after the header replaced by the given ones.
QByteArray header()
{
    return designStream.left(18);
}
QByteArray record(const char* name, const QByteArray& value)
{
    return shortString(name) + value;
}
QByteArray hexBytes(const char* text)
{
    return QByteArray::fromHex(text);
}
void named(LabelProperties& l)
{
    l.name = QStringLiteral("lbFont");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LabelStreamBadInput,
    ::testing::Values(
        BadStream {"Empty", QByteArray(), [](auto&) {}},
        BadStream {"ShortSignature", "TPF", [](auto&) {}},
        BadStream {"ForeignSignature", "PK\x03\x04" + designStream.mid(4), [](auto&) {}},
        BadStream {"UnknownProperty",
                   header() + record("Left", hexBytes("0208"))
                       + record("Transparent", hexBytes("09")) + record("Top", hexBytes("0210"))
                       + QByteArray(2, '\0'),
                   [](auto& l) {
                       named(l);
                       l.left = 8;
                   }},
        BadStream {"UnknownColourName",
                   header() + record("Font.Charset", hexBytes("03 8600"))
                       + record("Font.Color", "\x07" + shortString("clPlaid"))
                       + record("Font.Height", hexBytes("02f3")),
                   [](auto& l) {
                       named(l);
                       l.font.charset = 134;
                   }},
        BadStream {"CharsetOutOfRange", header() + record("Font.Charset", hexBytes("03 2c01")),
                   named},
        BadStream {"TextWithIntegerTag",
                   header() + record("Caption", hexBytes("0205"))
                       + record("Left", hexBytes("0208")),
                   named},
        BadStream {"IntegerWithTextTag", header() + record("Left", "\x06" + shortString("8")),
                   named},
        BadStream {"BooleanAsIdentifier",
                   header() + record("AutoSize", "\x07" + shortString("False")), named},
        BadStream {"UnknownStyleMember",
                   header()
                       + record("Font.Style",
                                "\x0B" + shortString("fsBold") + shortString("fsShadow") + '\0'),
                   named},
        BadStream {"UnendedStyleSet",
                   header() + record("Font.Style", "\x0B" + shortString("fsBold")), named},
        BadStream {"UnknownAlignment",
                   header() + record("Alignment", "\x07" + shortString("taJustify")), named},
        BadStream {"HugeWideText", header() + record("Font.Name", hexBytes("12 ffffff7f 4100")),
                   named},
        BadStream {"NegativeLongText", header() + record("Font.Name", hexBytes("0c feffffff 41")),
                   named},
        BadStream {"UnknownTag", header() + record("Left", hexBytes("05 0000000000000000 0000")),
                   named},
        BadStream {"ChildComponent",
                   header() + record("Top", hexBytes("0201")) + '\0' + designStream.mid(4),
                   [](auto& l) {
                       named(l);
                       l.top = 1;
                   }},
        BadStream {"FlagsWithoutPosition", designStream.left(4) + "\xF2", [](auto&) {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Records this program never writes in that form but the format allows.
TEST(LabelStream, ReadsEveryIntegerTextAndFlagForm)
{
    const QByteArray wide = hexBytes("12 02000000 355f094e"); // 張三 as UTF-16LE
    const QByteArray stream = designStream.left(4) + hexBytes("f2 0203") + designStream.mid(4, 14)
        + record("Left", hexBytes("04 08000000")) + record("Top", hexBytes("03 1000"))
        + record("Caption", hexBytes("0c 03000000 414243")) + record("Font.Name", wide)
        + record("Font.Charset", hexBytes("02 00")) + record("Font.Color", hexBytes("04 ff000000"))
        + record("Layout", "\x07" + shortString("tlBottom"))
        + record("Alignment", "\x07" + shortString("taRightJustify"))
        + record("Font.Pitch", "\x07" + shortString("fpFixed")) + record("AutoSize", hexBytes("09"))
        + QByteArray(2, '\0');

    LabelProperties expected = LabelProperties::blank();
    expected.name = QStringLiteral("lbFont");
    expected.left = 8;
    expected.top = 16;
    expected.caption = QStringLiteral("ABC");
    expected.font.name = QStringLiteral("張三");
    expected.font.charset = 0;
    expected.font.color = 0xFF;
    expected.layout = LabelProperties::Layout::Bottom;
    expected.alignment = LabelProperties::Alignment::RightJustify;
    expected.font.pitch = LabelFont::Pitch::Fixed;
    expected.autoSize = true;

    bool complete = false;
    EXPECT_EQ(readInto(stream, LabelProperties::blank(), &complete), expected);
    EXPECT_TRUE(complete);

    const QByteArray utf8 = record("Font.Name", hexBytes("14 05000000 436166c3a9"));
    EXPECT_EQ(readInto(header() + utf8 + QByteArray(2, '\0'), {}).font.name,
              QStringLiteral("Café"));
}

} // namespace
