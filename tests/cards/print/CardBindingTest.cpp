// How the layout settings bind the seven slots of a card.

#include "PrintFixture.h"
#include "cards/CardPreview.h"

#include <gtest/gtest.h>

using namespace printfixture;

namespace {

class CardBinding : public ::testing::Test
{
protected:
    void SetUp() override
    {
        base.add(0, QStringLiteral("Alice"), QStringLiteral("Chen"));
        options = PrintDatabase::starterOptions();
        options.font = QFont(QStringLiteral("Times New Roman"), 12, QFont::Normal, true);
        options.font.setUnderline(true);
        options.fontColor = Qt::red;
        options.position = 0;
    }

    report::Page page()
    {
        const auto pages = base.cards(options);
        EXPECT_EQ(pages.size(), 1u);
        return pages.at(0);
    }

    PrintDatabase base;
    cards::CardOptions options;
};

// Without custom options the stored position, font, lines and captions settings do nothing.
TEST_F(CardBinding, WithoutCustomOptionsSlotsKeepTheirDesign)
{
    options.lines = false;
    options.captions = false;
    const report::Page card = page();
    const report::TextItem* value = findText(card, QStringLiteral("Alice"));
    ASSERT_TRUE(value);
    EXPECT_EQ(value->left, mm(10 + 45.27));
    EXPECT_EQ(value->font.family(), QStringLiteral("Arial"));
    EXPECT_EQ(value->color, QColor(Qt::black));
    ASSERT_TRUE(findText(card, QStringLiteral("Name")));
    EXPECT_EQ(card.all<report::LineItem>().size(), 6u);
}

TEST_F(CardBinding, CustomOptionsMoveTextsAndSetFontCaptionsAndLines)
{
    options.custom = true;
    options.position = 0;
    options.lines = false;
    options.captions = true;
    const report::Page card = page();

    // Data texts start at the card's left edge, over the captions, in the whole custom font.
    const report::TextItem* value = findText(card, QStringLiteral("Chen"));
    ASSERT_TRUE(value);
    EXPECT_EQ(value->left, mm(10));
    EXPECT_EQ(value->top, mm(10 + 15.29) + report::Length::mm(5.2917));
    EXPECT_EQ(value->font.family(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(value->font.pointSize(), 12);
    EXPECT_TRUE(value->font.italic() && value->font.underline());
    EXPECT_EQ(value->color, QColor(Qt::red));

    // Captions: the font's face and colour at 7 points, bold alone; right edges as designed.
    const report::TextItem* caption = findText(card, QStringLiteral("Chinese"));
    ASSERT_TRUE(caption);
    EXPECT_EQ(caption->font.family(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(caption->font.pointSize(), 7);
    EXPECT_TRUE(caption->font.bold());
    EXPECT_FALSE(caption->font.italic() || caption->font.underline());
    EXPECT_EQ(caption->color, QColor(Qt::red));
    EXPECT_EQ(caption->left + caption->width, mm(10 + 42.92));

    EXPECT_TRUE(card.all<report::LineItem>().empty());
}

TEST_F(CardBinding, CustomLinesPrintOnlyForUsedSlotsInTheFontColour)
{
    options.custom = true;
    options.lines = true;
    options.captions = false;
    options.slotChoices[2].fieldIndex = -1; // nothing selected
    const report::Page card = page();
    const auto lines = card.all<report::LineItem>();
    ASSERT_EQ(lines.size(), 5u); // slots 3 and 7 are not used
    for (const auto& line : lines)
        EXPECT_EQ(line.color, QColor(Qt::red));
    EXPECT_EQ(texts(card),
              (QStringList {"www.tavrik.example.com", "SAMPLE", "Alice", "Chen", "DEFAULT",
                            "5/Mar, 2009"}));
}

// "datejoin" and "expiry", spelled exactly so, print as dates; other spellings as stored. A
// slot whose index names no field takes the field found last; an unused slot prints nothing
// but its caption.
TEST_F(CardBinding, DateFieldsAreFormattedAndUnknownIndexesTakeTheCurrentField)
{
    base.db.exec(QStringLiteral("update fields set fname='Datejoin' where seq=7"));
    base.fields.close();
    base.fields.open();
    options.slotChoices = {cards::SlotChoice {6, QStringLiteral("Joined")},
                           {7, QStringLiteral("Since")},
                           {3, QStringLiteral("No")},
                           {99, QStringLiteral("Again")},
                           {0, QStringLiteral("Unused")},
                           {-1, {}},
                           {1, {}}};
    const report::Page card = page();
    EXPECT_EQ(
        texts(card),
        (QStringList {"www.tavrik.example.com", "SAMPLE", "5/Mar, 2004", "Joined", "5/03/2004",
                      "Since", "S-Alice", "No", "S-Alice", "Again", "Unused", "Alice"}));
    EXPECT_EQ(card.all<report::LineItem>().size(), 5u);
}

// A style that no radio button stands for makes no report.
TEST_F(CardBinding, UnknownStyleMakesNoCards)
{
    options.style = 3;
    EXPECT_TRUE(base.cards(options).empty());
}

} // namespace
