// Fitting a text control into a limit: smaller fonts on the same baseline down to the minimum,
// then a clip; keep-out rectangles narrow the room on their side of the anchor while they
// reach the lines' height.
#include "ReportFixture.h"
#include "report/LabelControl.h"

#include <gtest/gtest.h>

using namespace fixture;
using report::LengthRect;
using report::TextControl;
using report::TextItem;
using Align = TextControl::Alignment;

namespace {

const QString mediumText = QStringLiteral("Somewhat longer text");
const QString longText
    = QStringLiteral("A text so much longer than all of the room that even the smallest font "
                     "allowed will not make it fit there at all");

struct FitCase
{
    const char* name;
    Align alignment;
    QString text;
    std::vector<LengthRect> keepOut;
    double roomLeft, roomRight; // the room expected, in mm from the band's left
    bool cut;
};

void PrintTo(const FitCase& c, std::ostream* os)
{
    *os << c.name;
}

class TextFit : public ::testing::TestWithParam<FitCase>
{
};

// A label designed at 30..42.92 (centre 36.46) on a band of 85.5 by 54 at (10, 10), fitted
// into the band between 2 and 80 mm, in Arial 12.
TEST_P(TextFit, ShrinksIntoItsRoomThenCuts)
{
    const FitCase& c = GetParam();
    report::Report report;
    report::Band& band = report.setDetailBand(mm(85.5), mm(54));
    auto& label
        = band.add<report::LabelControl>(LengthRect {mm(30), mm(5), mm(12.92), mm(5)}, c.text);
    label.font = QFont(QStringLiteral("Arial"), 12);
    label.alignment = c.alignment;
    label.fit = TextControl::Fit {{mm(2), Length(), mm(78), mm(54)}, c.keepOut, 6};

    const auto items = layOut(report).at(0).all<TextItem>();
    ASSERT_EQ(items.size(), 1u);
    const TextItem& t = items[0];
    EXPECT_LT(t.font.pointSizeF(), 12.0);
    EXPECT_GE(t.font.pointSizeF(), 6.0);
    EXPECT_EQ(t.font.family(), QStringLiteral("Arial"));
    EXPECT_EQ(t.width, metrics().width(t.font, c.text));
    EXPECT_EQ(t.height, metrics().lineHeight(t.font));
    EXPECT_EQ(t.top + metrics().ascent(t.font), mm(15) + metrics().ascent(label.font));
    const Length roomLeft = mm(10 + c.roomLeft);
    const Length roomRight = mm(10 + c.roomRight);
    if (c.cut) {
        EXPECT_EQ(t.font.pointSizeF(), 6.0);
        ASSERT_TRUE(t.clip);
        EXPECT_EQ(t.clip->left, roomLeft);
        EXPECT_EQ(t.clip->right(), roomRight);
        EXPECT_EQ(t.clip->top, mm(10));
        EXPECT_EQ(t.clip->bottom(), mm(64));
    } else {
        EXPECT_FALSE(t.clip);
        EXPECT_GE(t.left, roomLeft);
        EXPECT_LE(t.left + t.width, roomRight);
        // Shrunk no further than needed: a tenth of a point more would not fit.
        QFont larger = t.font;
        larger.setPointSizeF(t.font.pointSizeF() + 0.1);
        const Length wider = metrics().width(larger, c.text);
        switch (c.alignment) {
        case Align::Left:
            EXPECT_GT(t.left + wider, roomRight);
            break;
        case Align::Right:
            EXPECT_LT(t.left + t.width - wider, roomLeft);
            break;
        case Align::Center:
            EXPECT_GT(wider / 2, std::min(mm(10 + 36.46) - roomLeft, roomRight - mm(10 + 36.46)));
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextFit,
    ::testing::Values(FitCase {"LeftBeforeAKeepOut",
                               Align::Left,
                               mediumText,
                               {{mm(60), Length(), mm(5), mm(54)}},
                               2,
                               60,
                               false},
                      FitCase {"LeftPastAKeepOutBelowTheLines",
                               Align::Left,
                               longText,
                               {{mm(60), mm(20), mm(5), mm(10)}},
                               2,
                               80,
                               true},
                      FitCase {"RightAfterAKeepOut",
                               Align::Right,
                               mediumText,
                               {{mm(5), mm(4), mm(5), mm(2)}},
                               10,
                               80,
                               false},
                      FitCase {"RightIgnoringAKeepOutOverItsAnchor",
                               Align::Right,
                               longText,
                               {{mm(40), mm(0), mm(5), mm(54)}},
                               2,
                               80,
                               true},
                      FitCase {"CentreBetweenKeepOuts",
                               Align::Center,
                               mediumText,
                               {{mm(24), mm(0), mm(1), mm(54)}, {mm(70), mm(0), mm(1), mm(54)}},
                               25,
                               70,
                               false},
                      FitCase {"LeftCutAtTheLimit", Align::Left, longText, {}, 2, 80, true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
