// Where the three card designs put their cards on A4 and their controls on a card.

#include "PrintFixture.h"
#include "cards/CardPreview.h"
#include "imaging/Picture.h"

#include <gtest/gtest.h>

using namespace printfixture;
using Points = std::vector<std::pair<double, double>>;

namespace {

// Top left corners, in tenths of a millimetre, of the white card cells on a page.
Points cells(const report::Page& page)
{
    Points result;
    for (const auto& fill : page.all<report::FillItem>())
        result.emplace_back(fill.rect.left.toTenths(), fill.rect.top.toTenths());
    return result;
}

struct SheetCase
{
    int style;
    int members;
    Points firstPage;
    Points secondPage;
};

void PrintTo(const SheetCase& c, std::ostream* os)
{
    *os << "style " << c.style + 1 << ", " << c.members << " members";
}

class CardSheets : public ::testing::TestWithParam<SheetCase>
{
};

// Down the left column first; one card more than a page holds starts page 2 at its top left.
TEST_P(CardSheets, FillPagesDownEachColumnThenOntoTheNextPage)
{
    const SheetCase& c = GetParam();
    PrintDatabase base;
    for (int i = 1; i <= c.members; ++i)
        base.add(0, QStringLiteral("Member %1").arg(i, 2, 10, QChar(u'0')));
    cards::CardOptions options = PrintDatabase::starterOptions();
    options.style = c.style;

    const auto pages = base.cards(options);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(cells(pages[0]), c.firstPage);
    EXPECT_EQ(cells(pages[1]), c.secondPage);
    EXPECT_EQ(texts(pages[1]).count(QStringLiteral("Member %1").arg(c.members)), 1);
}

INSTANTIATE_TEST_SUITE_P(Styles, CardSheets,
                         ::testing::Values(SheetCase {0,
                                                      11,
                                                      {{100, 100},
                                                       {100, 640},
                                                       {100, 1180},
                                                       {100, 1720},
                                                       {100, 2260},
                                                       {1100, 100},
                                                       {1100, 640},
                                                       {1100, 1180},
                                                       {1100, 1720},
                                                       {1100, 2260}},
                                                      {{100, 100}}},
                                           SheetCase {1,
                                                      11,
                                                      {{100, 100},
                                                       {100, 639},
                                                       {100, 1178},
                                                       {100, 1717},
                                                       {100, 2256},
                                                       {1100, 100},
                                                       {1100, 639},
                                                       {1100, 1178},
                                                       {1100, 1717},
                                                       {1100, 2256}},
                                                      {{100, 100}}},
                                           SheetCase {2,
                                                      10,
                                                      {{100, 100},
                                                       {100, 960},
                                                       {100, 1820},
                                                       {766, 100},
                                                       {766, 960},
                                                       {766, 1820},
                                                       {1432, 100},
                                                       {1432, 960},
                                                       {1432, 1820}},
                                                      {{100, 100}}}));

struct DesignCase
{
    int style;
    report::LengthRect background;
    report::LengthRect photo;
    double lineLeft, lineY, lineWidth; // slot 1's line
    double valueLeft, valueTop; // slot 1's data text
    double captionRight, captionTop; // slot 1's caption
};

void PrintTo(const DesignCase& c, std::ostream* os)
{
    *os << "style " << c.style + 1;
}

class CardDesigns : public ::testing::TestWithParam<DesignCase>
{
};

// The first card stands at 10, 10; every position below is the design's plus that.
TEST_P(CardDesigns, PlaceBackgroundPhotoAndSlotsAsDesigned)
{
    const DesignCase& c = GetParam();
    PrintDatabase base;
    base.add(0, QStringLiteral("Alice"), {}, photoBlob(48, 64));
    cards::CardOptions options = PrintDatabase::starterOptions();
    options.style = c.style;
    options.slotChoices[6]
        = {1, QStringLiteral("A caption far longer than all the room there is to the left of it")};
    options.printBack = true;
    options.background = imaging::Picture(30, 20);

    const auto pages = base.cards(options);
    ASSERT_EQ(pages.size(), 1u);
    const report::Page& page = pages[0];
    const auto at = [](double value) { return mm(10 + value); };

    const auto images = page.all<report::ImageItem>();
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0].rect, c.background.translated(mm(10), mm(10)));
    EXPECT_EQ(images[1].rect, c.photo.translated(mm(10), mm(10)));
    EXPECT_EQ(images[1].pixels().size(), QSize(48, 64));

    const auto lines = page.all<report::LineItem>();
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0].x1, at(c.lineLeft));
    EXPECT_EQ(lines[0].x2, at(c.lineLeft + c.lineWidth));
    EXPECT_EQ(lines[0].y1, at(c.lineY));
    EXPECT_EQ(lines[0].color, QColor(Qt::black));
    EXPECT_NEAR((lines[6].y1 - lines[0].y1).toMm(), 6 * 5.2917, 0.001);

    const auto texts = page.all<report::TextItem>();
    std::vector<report::TextItem> values;
    std::copy_if(texts.begin(), texts.end(), std::back_inserter(values),
                 [](const auto& t) { return t.text == u"Alice"; });
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].left, at(c.valueLeft));
    EXPECT_EQ(values[0].top, at(c.valueTop));
    EXPECT_EQ(values[0].font.pointSize(), 10);
    EXPECT_NEAR((values[1].top - values[0].top).toMm(), 6 * 5.2917, 0.001);

    const report::TextItem* caption = findText(page, QStringLiteral("Name"));
    ASSERT_TRUE(caption);
    EXPECT_EQ(caption->left + caption->width, at(c.captionRight));
    EXPECT_EQ(caption->top, at(c.captionTop));
    EXPECT_EQ(caption->font.pointSize(), 7);
    EXPECT_TRUE(caption->font.italic());

    // A caption too long for the room keeps its right edge and runs off the card's left.
    const report::TextItem* longCaption = findText(
        page, QStringLiteral("A caption far longer than all the room there is to the left of it"));
    ASSERT_TRUE(longCaption);
    EXPECT_EQ(longCaption->left + longCaption->width, at(c.captionRight));
    EXPECT_LT(longCaption->left, mm(10));
}

INSTANTIATE_TEST_SUITE_P(Styles, CardDesigns,
                         ::testing::Values(DesignCase {0,
                                                       {mm(0), mm(0), mm(85.5), mm(54)},
                                                       {mm(3.53), mm(21.17), mm(21.02), mm(27.93)},
                                                       44.10,
                                                       20.06,
                                                       39.54,
                                                       45.27,
                                                       15.29,
                                                       42.92,
                                                       16.46},
                                           DesignCase {1,
                                                       {mm(0), mm(0), mm(85.5), mm(54)},
                                                       {mm(61.74), mm(19.99), mm(21.02), mm(27.93)},
                                                       18.81,
                                                       20.06,
                                                       39.54,
                                                       19.99,
                                                       15.29,
                                                       17.64,
                                                       16.46},
                                           DesignCase {2,
                                                       {mm(0), mm(0), mm(54), mm(85.5)},
                                                       {mm(16.50), mm(15.29), mm(21.00), mm(27.93)},
                                                       17.05,
                                                       50.64,
                                                       34.00,
                                                       17.99,
                                                       45.77,
                                                       15.88,
                                                       47.10}));

// Watermarks are centred across the card cell whatever their width, in their design fonts.
TEST(CardDesigns, CentreSampleAndAddressOnEveryCard)
{
    struct Expect
    {
        int style;
        double cellWidth;
        int samplePoints;
        int addressPoints;
    };
    for (const Expect e :
         {Expect {0, 89.958, 48, 28}, Expect {1, 89.958, 48, 28}, Expect {2, 56.621, 32, 22}}) {
        PrintDatabase base;
        base.add(0, QStringLiteral("Alice"));
        base.add(0, QStringLiteral("Bob"));
        cards::CardOptions options = PrintDatabase::starterOptions();
        options.style = e.style;
        const auto pages = base.cards(options);
        ASSERT_EQ(pages.size(), 1u);
        const auto fills = pages[0].all<report::FillItem>();
        ASSERT_EQ(fills.size(), 2u);
        int found = 0;
        for (const auto& t : pages[0].all<report::TextItem>()) {
            if (t.text != u"SAMPLE" && t.text != u"www.tavrik.example.com")
                continue;
            const auto& cell = fills[std::size_t(found / 2)].rect;
            EXPECT_NEAR((t.left + t.width / 2 - cell.left).toMm(), e.cellWidth / 2, 0.001)
                << t.text.toStdString() << " style " << e.style + 1;
            EXPECT_EQ(t.font.pointSize(), t.text == u"SAMPLE" ? e.samplePoints : e.addressPoints);
            EXPECT_TRUE(t.font.bold() && t.font.italic());
            EXPECT_EQ(t.color, QColor(0xC0, 0xC0, 0xC0));
            ++found;
        }
        EXPECT_EQ(found, 4);
    }
}

// No member: one card with the background, the watermarks, the captions and the lines of the
// used slots, and no data texts or photo.
TEST(CardDesigns, EmptyDataSetPrintsOneCardWithoutDataOrPhoto)
{
    PrintDatabase base;
    cards::CardOptions options = PrintDatabase::starterOptions();
    options.printBack = true;
    options.background = imaging::Picture(30, 20);
    const auto pages = base.cards(options);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(cells(pages[0]), (Points {{100, 100}}));
    const auto images = pages[0].all<report::ImageItem>();
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].image.size(), QSize(30, 20));
    EXPECT_EQ(texts(pages[0]),
              (QStringList {"www.tavrik.example.com", "SAMPLE", "Name", "Chinese", "Staff No",
                            "Post", "Dept", "Expiry"}));
    EXPECT_EQ(pages[0].all<report::LineItem>().size(), 6u);
}

// A background goes to the painter as the same image on every card, so a PDF holds it once;
// a member without a photo gets none, also after one with a photo, and a photo that cannot be
// decoded prints as the blank picture.
TEST(CardDesigns, ShareTheBackgroundAndLoadEachMembersPhoto)
{
    PrintDatabase base;
    base.add(0, QStringLiteral("A"), {}, photoBlob(40, 50));
    base.add(0, QStringLiteral("B"));
    base.add(0, QStringLiteral("C"), {}, QByteArray("not a picture"));
    cards::CardOptions options = PrintDatabase::starterOptions();
    options.printBack = true;
    options.background = imaging::Picture(300, 200);
    const auto pages = base.cards(options);
    ASSERT_EQ(pages.size(), 1u);
    const auto images = pages[0].all<report::ImageItem>();
    ASSERT_EQ(images.size(), 5u); // A: background and photo; B: background; C: both
    for (const std::size_t background : {0u, 2u, 3u})
        EXPECT_EQ(images[background].image.cacheKey(), images[0].image.cacheKey());
    EXPECT_EQ(images[1].pixels().size(), QSize(40, 50));
    EXPECT_EQ(images[4].pixels().size(), QSize(120, 160));
    EXPECT_EQ(images[4].pixels().pixelColor(60, 80), QColor(Qt::white));
}

// Painted, a card without a photo shows its background where the photo goes, not a white box.
TEST(CardDesigns, MemberWithoutPhotoPrintsTheBackgroundInItsPlace)
{
    const QColor backColour(40, 90, 160);
    PrintDatabase base;
    base.add(0, QStringLiteral("A"), {}, photoBlob(48, 64, Qt::darkRed));
    base.add(0, QStringLiteral("B"));
    for (int style = 0; style < 3; ++style) {
        cards::CardOptions options = PrintDatabase::starterOptions();
        options.style = style;
        options.printBack = true;
        QImage back(40, 40, QImage::Format_RGB888);
        back.fill(backColour);
        options.background = imaging::Picture::fromImage(back);
        const auto pages = base.cards(options);
        ASSERT_EQ(pages.size(), 1u);
        const auto images = pages[0].all<report::ImageItem>();
        ASSERT_EQ(images.size(), 3u) << "style " << style + 1;

        // At 254 dots per inch one pixel is a tenth of a millimetre.
        const report::Page& page = pages[0];
        const QImage paper = paintedPage(page, 254);
        // B's photo place: A's, moved as far as B's card is from A's.
        const report::LengthRect& photoA = images[1].rect;
        const QPoint centreA(int(photoA.centreX().toTenths()),
                             int((photoA.top + photoA.height / 2).toTenths()));
        const QPoint offset(int((images[2].rect.left - images[0].rect.left).toTenths()),
                            int((images[2].rect.top - images[0].rect.top).toTenths()));
        const QColor atA = paper.pixelColor(centreA);
        EXPECT_GT(atA.red(), atA.blue() + 60) << "style " << style + 1; // A's dark red photo
        EXPECT_EQ(paper.pixelColor(centreA + offset), backColour) << "style " << style + 1;
    }
}

} // namespace
