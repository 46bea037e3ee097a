#include "ReportFixture.h"
#include "report/DataTextControl.h"
#include "report/ImageControl.h"
#include "report/LabelControl.h"
#include "report/LineControl.h"

#include <gtest/gtest.h>

using namespace fixture;
using report::Band;
using report::Report;
using Points = std::vector<std::pair<double, double>>;

namespace {

struct CardFlow
{
    const char* name;
    int columns;
    double width;
    double height;
    int rows;
    std::vector<Points> pages; // band corners per page, in tenths
};

void PrintTo(const CardFlow& c, std::ostream* os)
{
    *os << c.name;
}

class ReportFlow : public ::testing::TestWithParam<CardFlow>
{
};

// Cards flow down each column, then across, then onto the next page.
TEST_P(ReportFlow, PlacesEveryBandOnItsPageAndColumn)
{
    const CardFlow& c = GetParam();
    Report report;
    report.page.columns = c.columns;
    report.page.columnSpace = mm(10);
    report.setDetailBand(mm(c.width), mm(c.height));
    auto source = rows(c.rows);
    report.setDataSource(&source);

    const auto pages = layOut(report);
    ASSERT_EQ(pages.size(), c.pages.size());
    for (std::size_t i = 0; i < pages.size(); ++i) {
        EXPECT_EQ(pages[i].number, int(i + 1));
        EXPECT_EQ(bandsOf(pages[i], mm(c.width), mm(c.height)), c.pages[i]) << "page " << i + 1;
    }
}

const Points twoAcross = {{100, 100},  {100, 640},  {100, 1180},  {100, 1720},  {100, 2260},
                          {1100, 100}, {1100, 640}, {1100, 1180}, {1100, 1720}, {1100, 2260}};
const Points twoAcrossShort = {{100, 100},  {100, 639},  {100, 1178},  {100, 1717},  {100, 2256},
                               {1100, 100}, {1100, 639}, {1100, 1178}, {1100, 1717}, {1100, 2256}};
const Points threeAcross = {{100, 100},  {100, 960},  {100, 1820}, {766, 100},  {766, 960},
                            {766, 1820}, {1432, 100}, {1432, 960}, {1432, 1820}};

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportFlow,
    ::testing::Values(
        CardFlow {"EleventhCardStartsPageTwo", 2, 89.958, 53.950, 11, {twoAcross, {{100, 100}}}},
        CardFlow {"TenCardsFillOnePage", 2, 89.958, 53.950, 10, {twoAcross}},
        CardFlow {"HeightRoundsDown", 2, 89.958, 53.946, 10, {twoAcrossShort}},
        CardFlow {
            "TenthPortraitCardStartsPageTwo", 3, 56.621, 85.990, 10, {threeAcross, {{100, 100}}}},
        CardFlow {"NineteenPortraitCards",
                  3,
                  56.621,
                  85.990,
                  19,
                  {threeAcross, threeAcross, {{100, 100}}}},
        CardFlow {"EmptyDataSetPrintsOneCard", 2, 89.958, 53.950, 0, {{{100, 100}}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReportFlow, WithoutPrintIfEmptyNoRowsGiveOneBlankPage)
{
    Report report;
    report.page.printIfEmpty = false;
    report.setDetailBand(mm(50), mm(50));
    const auto pages = layOut(report); // no data source at all
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(pages[0].items.empty());
}

TEST(ReportFlow, BandTallerThanThePagePrintsWhereItStands)
{
    Report report;
    report.page.columns = 2;
    Band& band = report.setDetailBand(mm(80), mm(20));
    auto source = rows(2);
    report.setDataSource(&source);
    band.beforePrint
        = [&](report::Band& b, bool&) { b.height = source.currentRow() == 0 ? mm(300) : mm(20); };
    const auto pages = layOut(report);
    ASSERT_EQ(pages.size(), 1u);
    const auto fills = pages[0].all<report::FillItem>();
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].rect.left, mm(10));
    EXPECT_EQ(fills[0].rect.top, mm(10));
    EXPECT_EQ(fills[1].rect.left, mm(90)); // the next column, a band's width across
    EXPECT_EQ(fills[1].rect.top, mm(10));
}

TEST(ReportFlow, ColumnStepWithoutDetailBandIsAnEqualShareRoundedDown)
{
    Report report;
    report.page.columns = 3;
    report.page.columnSpace = mm(3);
    report.setSubDetailBand(mm(61.35), mm(29.27));
    EXPECT_EQ(report::ReportLayout::columnStep(report), mm(64.3));
    report.setDetailBand(mm(56.66), mm(10));
    EXPECT_EQ(report::ReportLayout::columnStep(report), mm(59.7));
}

// Box and gap of the member check list: three columns, 27 boxes a page, page controls.
class CheckListFlow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        report.page.columns = 3;
        report.page.columnSpace = mm(3);
        report.title = QStringLiteral("Member List");
        report::Band& box = report.setSubDetailBand(mm(61.35), mm(29.27));
        box.frame = report::Frame::all(Qt::black, Length::points(1));
        box.add<report::DataTextControl>(report::LengthRect {mm(22.32), mm(5.29), mm(10), mm(4.3)},
                                         QStringLiteral("name"));
        box.setChild(mm(61.35), mm(1.32));
        report.addPageControl({mm(9.92), mm(3.97), mm(19.02), mm(4.30)},
                              report::SystemDataControl::Kind::Title);
        report.addPageControl({mm(195.96), mm(288.40), mm(3.97), mm(4.30)},
                              report::SystemDataControl::Kind::PageNumber);
    }

    Points boxes(const report::Page& page) const { return bandsOf(page, mm(61.35), mm(29.27)); }
    Points gaps(const report::Page& page) const { return bandsOf(page, mm(61.35), mm(1.32)); }

    Report report;
};

TEST_F(CheckListFlow, TwentyEightMembersMakeTwoPagesOfThreeColumns)
{
    auto source = rows(28);
    report.setDataSource(&source);
    const auto pages = layOut(report);
    ASSERT_EQ(pages.size(), 2u);

    const Points first = boxes(pages[0]);
    ASSERT_EQ(first.size(), 27u);
    for (int i = 0; i < 27; ++i) {
        const double x = (std::array {100.0, 743.0, 1386.0})[i / 9];
        EXPECT_EQ(first[i], std::make_pair(x, 100.0 + 306.0 * (i % 9))) << i;
    }
    EXPECT_EQ(gaps(pages[0])[8], std::make_pair(100.0, 2841.0)); // ninth gap ends at 285.4
    EXPECT_EQ(boxes(pages[1]), (Points {{100, 100}}));

    // Page controls come last, centred on their design boxes.
    for (int p = 0; p < 2; ++p) {
        const auto texts = pages[p].all<report::TextItem>();
        ASSERT_GE(texts.size(), 2u);
        const auto& title = texts[texts.size() - 2];
        const auto& number = texts.back();
        EXPECT_EQ(title.text, QStringLiteral("Member List"));
        EXPECT_EQ(number.text, QString::number(p + 1));
        EXPECT_NEAR((title.left + title.width / 2).toMm(), 19.43, 0.001);
        EXPECT_NEAR((number.left + number.width / 2).toMm(), 197.945, 0.001);
        EXPECT_EQ(number.top, mm(288.40));
    }
    // The member's name of the 28th row is on page 2.
    EXPECT_EQ(pages[1].all<report::TextItem>().front().text, QStringLiteral("row 28"));
}

TEST_F(CheckListFlow, GapThatDoesNotFitStandsAloneAtTheTopOfTheNextColumn)
{
    report.page.paperHeight = mm(80); // room down to 70.0: box 2 ends at 69.9
    auto source = rows(3);
    report.setDataSource(&source);
    const auto pages = layOut(report);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(boxes(pages[0]), (Points {{100, 100}, {100, 406}, {743, 113}}));
    EXPECT_EQ(gaps(pages[0]), (Points {{100, 393}, {743, 100}, {743, 406}}));
}

TEST_F(CheckListFlow, NoMembersPrintOneEmptyBoxOnPageOne)
{
    const auto pages = layOut(report);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(boxes(pages[0]), (Points {{100, 100}}));
    const auto texts = pages[0].all<report::TextItem>();
    ASSERT_EQ(texts.size(), 2u); // only the page controls
    EXPECT_EQ(texts[1].text, QStringLiteral("1"));
    ASSERT_EQ(pages[0].all<report::FrameItem>().size(), 1u);
    EXPECT_EQ(pages[0].all<report::FrameItem>()[0].rect.top, mm(10));
}

TEST(ReportFlow, BeforePrintSeesEachRowAndCanSkipABandWithItsChild)
{
    Report report;
    Band& band = report.setSubDetailBand(mm(50), mm(20));
    band.setChild(mm(50), mm(5));
    auto source = rows(3);
    report.setDataSource(&source);
    auto& photo = band.add<report::ImageControl>(report::LengthRect {mm(1), mm(1), mm(10), mm(10)});
    QStringList seen;
    band.beforePrint = [&](report::Band&, bool& print) {
        seen << source.displayText(QStringLiteral("name"));
        print = source.currentRow() != 1;
        photo.picture = QImage(4, 4, QImage::Format_RGB32);
    };
    const auto pages = layOut(report);
    EXPECT_EQ(seen, (QStringList {"row 1", "row 2", "row 3"}));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(bandsOf(pages[0], mm(50), mm(20)), (Points {{100, 100}, {100, 350}}));
    EXPECT_EQ(bandsOf(pages[0], mm(50), mm(5)), (Points {{100, 300}, {100, 550}}));
    const auto images = pages[0].all<report::ImageItem>();
    ASSERT_EQ(images.size(), 2u);
    EXPECT_NE(images[0].image.cacheKey(), images[1].image.cacheKey());
    EXPECT_EQ(images[1].rect.top, mm(36));
}

} // namespace

namespace {

// Fitted bands: each on its own page, scaled by the larger factor so that it covers the paper,
// centred; what it holds scales with it.
TEST(ReportFlow, FittedBandsCoverTheirOwnPageCentredAndScaled)
{
    Report report;
    report.page.paperWidth = mm(100);
    report.page.paperHeight = mm(40);
    report.page.fitBands = true;
    report::Band& band = report.setDetailBand(mm(40), mm(20)); // factor max(2.5, 2) = 2.5
    band.add<report::LineControl>(report::LengthRect {mm(4), mm(2), mm(8), mm(2)});
    auto& text = band.add<report::LabelControl>(report::LengthRect {mm(10), mm(10), mm(0), mm(4)},
                                                QStringLiteral("text"));
    text.font = QFont(QStringLiteral("Arial"), 8);
    auto source = rows(3);
    report.setDataSource(&source);

    const auto pages = layOut(report);
    ASSERT_EQ(pages.size(), 3u);
    for (const report::Page& page : pages) {
        EXPECT_EQ(page.width, mm(100));
        const auto fills = page.all<report::FillItem>();
        ASSERT_EQ(fills.size(), 1u);
        EXPECT_EQ(fills[0].rect, (report::LengthRect {mm(0), mm(-5), mm(100), mm(50)}));
        const auto lines = page.all<report::LineItem>();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].x1, mm(10));
        EXPECT_EQ(lines[0].x2, mm(30));
        EXPECT_EQ(lines[0].y1, mm(2.5)); // the middle of 2..4 mm, times 2.5, less 5
        const auto texts = page.all<report::TextItem>();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].left, mm(25));
        EXPECT_EQ(texts[0].top, mm(20));
        EXPECT_DOUBLE_EQ(texts[0].font.pointSizeF(), 20.0);
    }

    // A fitted area of the band covers the paper in its place: 4..24 mm across, 0..20 down,
    // factor max(5, 2) = 5, the area's left edge on the paper's.
    report.page.fitArea = report::LengthRect {mm(4), mm(0), mm(20), mm(20)};
    const auto line = layOut(report).at(0).all<report::LineItem>().at(0);
    EXPECT_EQ(line.x1, mm(0));
    EXPECT_EQ(line.x2, mm(40));
    EXPECT_EQ(line.y1, mm(-15)); // the middle of 2..4 mm, times 5, less 30
}

} // namespace
