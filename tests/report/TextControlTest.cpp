#include "ReportFixture.h"
#include "report/DataTextControl.h"
#include "report/ImageControl.h"
#include "report/LabelControl.h"
#include "report/LineControl.h"

#include <QFontInfo>
#include <QTextLayout>
#include <gtest/gtest.h>

using namespace fixture;
using report::LengthRect;
using report::TextControl;
using report::TextItem;
using Align = TextControl::Alignment;

namespace {

// One band of 85.5 mm at (10, 10) holding the control under test.
class BandFixture : public ::testing::Test
{
protected:
    BandFixture() { band = &report.setDetailBand(mm(85.5), mm(54)); }

    std::vector<report::Page> run(report::DataSource* source = nullptr)
    {
        report.setDataSource(source);
        return layOut(report);
    }
    std::vector<TextItem> texts()
    {
        auto pages = run();
        return pages.at(0).all<TextItem>();
    }
    Length width(const QString& text, const QFont& font) const
    {
        return metrics().width(font, text);
    }

    report::Report report;
    report::Band* band = nullptr;
};

struct Placement
{
    const char* name;
    Align alignment;
    bool alignToBand;
    // Expected left edge, in mm from the band's left, given the text width w.
    std::function<double(double w)> left;
};

void PrintTo(const Placement& c, std::ostream* os)
{
    *os << c.name;
}

class AutoSize : public BandFixture, public ::testing::WithParamInterface<Placement>
{
};

// A caption designed at left 30, width 12.92 (right edge 42.92, centre 36.46), holding a
// text wider than the space to the band's left edge.
TEST_P(AutoSize, KeepsTheEdgeItsAlignmentNames)
{
    const QString caption = QStringLiteral("A caption much longer than its design box");
    auto& label = band->add<report::LabelControl>(
        LengthRect {mm(30), mm(16.46), mm(12.92), mm(3.82)}, caption);
    label.font = QFont(QStringLiteral("Arial"), 7);
    label.font.setItalic(true);
    label.alignment = GetParam().alignment;
    label.alignToBand = GetParam().alignToBand;

    const auto items = texts();
    ASSERT_EQ(items.size(), 1u);
    const double w = width(caption, label.font).toMm();
    EXPECT_GT(w, 42.92); // runs off the band to the left when right-justified
    EXPECT_NEAR(items[0].width.toMm(), w, 0.001);
    EXPECT_NEAR(items[0].left.toMm() - 10, GetParam().left(w), 0.002);
    EXPECT_EQ(items[0].top, mm(26.46));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AutoSize,
    ::testing::Values(
        Placement {"Left", Align::Left, false, [](double) { return 30.0; }},
        Placement {"Right", Align::Right, false, [](double w) { return 42.92 - w; }},
        Placement {"Centre", Align::Center, false, [](double w) { return 36.46 - w / 2; }},
        Placement {"LeftToBand", Align::Left, true, [](double) { return 0.0; }},
        Placement {"RightToBand", Align::Right, true, [](double w) { return 85.5 - w; }},
        Placement {"CentreToBand", Align::Center, true, [](double w) { return 42.75 - w / 2; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BandFixture, LinesSplitAtCarriageReturnsAndAlignWithinTheWidestLine)
{
    auto& label = band->add<report::LabelControl>(LengthRect {mm(10), mm(5), mm(40), mm(5)},
                                                  QStringLiteral("Wide first line\r\nab"));
    label.alignment = Align::Right;
    label.autoSize = false;
    label.transparent = false;
    label.color = Qt::yellow;

    const auto pages = run();
    const auto items = pages[0].all<TextItem>();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].text, QStringLiteral("ab")); // line feed dropped
    const Length height = metrics().lineHeight(label.font);
    EXPECT_EQ(items[1].top - items[0].top, height);
    EXPECT_EQ(items[0].left + items[0].width, mm(60)); // right edge of the fixed box
    EXPECT_EQ(items[1].left + items[1].width, mm(60));

    const auto fills = pages[0].all<report::FillItem>();
    ASSERT_EQ(fills.size(), 2u); // the band, then the opaque label
    EXPECT_EQ(fills[1].color, QColor(Qt::yellow));
    EXPECT_EQ(fills[1].rect, (LengthRect {mm(20), mm(15), mm(40), mm(5)}));
}

TEST_F(BandFixture, DisabledAndTransparentControlsDrawNothingOfTheirOwn)
{
    band->add<report::LabelControl>(LengthRect {mm(1), mm(1), mm(5), mm(5)}, QStringLiteral("off"))
        .enabled
        = false;
    band->add<report::LineControl>(LengthRect {mm(1), mm(1), mm(5), mm(1)}).enabled = false;
    band->add<report::ImageControl>(LengthRect {mm(1), mm(1), mm(5), mm(5)}); // no picture
    band->add<report::LabelControl>(LengthRect {mm(1), mm(1), mm(5), mm(5)}, QString());
    const auto pages = run();
    ASSERT_EQ(pages[0].items.size(), 1u); // the band's fill alone
}

TEST_F(BandFixture, LineRunsAcrossTheMiddleOfItsRectangle)
{
    auto& line
        = band->add<report::LineControl>(LengthRect {mm(44.10), mm(19.40), mm(39.54), mm(1.32)});
    line.penColor = Qt::red;
    const auto lines = run()[0].all<report::LineItem>();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].x1, mm(54.10));
    EXPECT_EQ(lines[0].x2, mm(93.64));
    EXPECT_EQ(lines[0].y1, mm(30.06));
    EXPECT_EQ(lines[0].y2, mm(30.06));
    EXPECT_EQ(lines[0].color, QColor(Qt::red));
    EXPECT_EQ(lines[0].width, Length()); // one device pixel
}

TEST_F(BandFixture, ImageStretchesToItsRectangleWithItsFrame)
{
    auto& image
        = band->add<report::ImageControl>(LengthRect {mm(0.53), mm(0.53), mm(20.9), mm(28.05)});
    image.picture = QImage(120, 160, QImage::Format_RGB32);
    image.frame = report::Frame::all(Qt::black, Length::points(1));
    const auto pages = run();
    const auto images = pages[0].all<report::ImageItem>();
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].rect, (LengthRect {mm(10.53), mm(10.53), mm(20.9), mm(28.05)}));
    EXPECT_EQ(images[0].image.cacheKey(), image.picture.cacheKey()); // shared, not copied
    ASSERT_EQ(pages[0].all<report::FrameItem>().size(), 1u);
}

struct DataCase
{
    const char* name;
    QString column;
    int rows;
    QString value;
    std::optional<QString> printed; // none: no text item at all
    int handlerCalls;
};

void PrintTo(const DataCase& c, std::ostream* os)
{
    *os << c.name;
}

class DataText : public BandFixture, public ::testing::WithParamInterface<DataCase>
{
};

// The handler upper-cases; it must only ever see non-empty texts.
TEST_P(DataText, PrintsTheColumnThroughItsHandler)
{
    const DataCase& c = GetParam();
    auto& text = band->add<report::DataTextControl>(LengthRect {mm(45), mm(15), mm(5), mm(4.26)},
                                                    c.column);
    int calls = 0;
    text.printHandler = [&](const QString& value) {
        ++calls;
        EXPECT_FALSE(value.isEmpty());
        return value.toUpper();
    };
    std::vector<QStringList> data(std::size_t(c.rows), QStringList {c.value});
    report::TableSource source({QStringLiteral("datejoin")}, data);
    const auto items = run(&source)[0].all<TextItem>();
    if (c.printed) {
        ASSERT_EQ(items.size(), std::size_t(c.rows));
        EXPECT_EQ(items[0].text, *c.printed);
    } else {
        EXPECT_TRUE(items.empty());
    }
    EXPECT_EQ(calls, c.handlerCalls);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataText,
    ::testing::Values(DataCase {"Value", "datejoin", 2, "5/03/2004", "5/03/2004", 2},
                      DataCase {"HandlerResult", "datejoin", 1, "mar", "MAR", 1},
                      DataCase {"EmptyValueSkipsHandler", "datejoin", 1, "", std::nullopt, 0},
                      DataCase {"NoColumnSet", "", 1, "x", std::nullopt, 0},
                      DataCase {"MissingColumn", "Datejoin", 1, "x", std::nullopt, 0},
                      DataCase {"NoRows", "datejoin", 0, "x", std::nullopt, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Fonts, ArialIsServedByAMetricCompatibleFaceAndChineseByACjkFace)
{
    const QFont arial = report::TextMetrics::printFont(QFont(QStringLiteral("Arial"), 10));
    EXPECT_EQ(QFontInfo(arial).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(arial.hintingPreference(), QFont::PreferNoHinting);

    QTextLayout layout(QStringLiteral("張三 Lee"), arial);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QStringList faces;
    for (const QGlyphRun& run : layout.glyphRuns())
        faces << run.rawFont().familyName();
    EXPECT_TRUE(faces.contains(QStringLiteral("WenQuanYi Micro Hei"), Qt::CaseInsensitive))
        << faces.join(", ").toStdString();
    EXPECT_TRUE(faces.contains(QStringLiteral("Liberation Sans"), Qt::CaseInsensitive))
        << faces.join(", ").toStdString();
}

} // namespace
