// "Shrink long text to fit": long data texts and captions keep within the card and off the
// photo, and the check list's texts within their boxes, smaller down to 6 points and then
// cut; without the setting every page is drawn as before.

#include "cards/print/FitText.h"

#include "PrintFixture.h"
#include "ScriptedAnswers.h"
#include "cards/print/CardCommands.h"
#include "cards/print/CheckList.h"
#include "cards/print/TqrMemList.h"
#include "data/DatabaseSettings.h"
#include "imaging/Picture.h"
#include "report/PageCapture.h"
#include "report/PreparedReportFile.h"
#include "report/ReportLayout.h"

#include <QDir>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace printfixture;

namespace {

const QString longName = QStringLiteral("Maximilian Alexander Bartholomew-Fitzgerald of Thornbury");
const QString longPost = QStringLiteral("Senior Deputy Assistant Coordinator of Facilities");
const QString longCaption = QStringLiteral("A caption far longer than the room to the left of it");

struct Extent
{
    double left, top, right, bottom;
};

// What of a text can be seen: its line box cut by its clip.
Extent visible(const report::TextItem& t)
{
    Extent e {t.left.toMm(), t.top.toMm(), (t.left + t.width).toMm(), (t.top + t.height).toMm()};
    if (t.clip) {
        e.left = std::max(e.left, t.clip->left.toMm());
        e.top = std::max(e.top, t.clip->top.toMm());
        e.right = std::min(e.right, t.clip->right().toMm());
        e.bottom = std::min(e.bottom, t.clip->bottom().toMm());
    }
    return e;
}

bool within(const Extent& e, const report::LengthRect& r)
{
    constexpr double slack = 0.0005;
    return e.left >= r.left.toMm() - slack && e.right <= r.right().toMm() + slack
        && e.top >= r.top.toMm() - slack && e.bottom <= r.bottom().toMm() + slack;
}

bool overlaps(const Extent& e, const report::LengthRect& r)
{
    return e.left < r.right().toMm() && e.right > r.left.toMm() && e.top < r.bottom().toMm()
        && e.bottom > r.top.toMm();
}

bool isWatermark(const report::TextItem& t)
{
    return t.text == u"SAMPLE" || t.text == u"www.tavrik.example.com";
}

struct FitCase
{
    int style;
    bool custom;
};

void PrintTo(const FitCase& c, std::ostream* os)
{
    *os << "style " << c.style + 1 << (c.custom ? ", custom at 45 mm" : "");
}

class FitCardText : public ::testing::TestWithParam<FitCase>
{
protected:
    // One card of a member with a long name and post, and a long caption on slot 7.
    std::vector<report::Page> card(bool shrink)
    {
        if (!m_added) {
            m_base.add(0, longName, QStringLiteral("陈大文"), photoBlob(48, 64));
            m_base.db.exec(QStringLiteral("update stafftbl set post = '%1'").arg(longPost));
            m_added = true;
        }
        cards::CardOptions options = PrintDatabase::starterOptions();
        options.style = GetParam().style;
        options.slotChoices[6] = {4, longCaption};
        options.printBack = true;
        options.background = imaging::Picture(30, 20);
        options.custom = GetParam().custom;
        options.captions = true;
        options.lines = true;
        options.position = 45;
        options.font = QFont(QStringLiteral("Arial"), 10);
        options.shrinkText = shrink;
        return m_base.cards(options);
    }

private:
    PrintDatabase m_base;
    bool m_added = false;
};

// Every text keeps to the card and off the photo, at 6 points or more; cut only at 6 points.
TEST_P(FitCardText, LongTextsStayOnTheCardAndOffThePhoto)
{
    const auto pages = card(true);
    ASSERT_EQ(pages.size(), 1u);
    const auto images = pages[0].all<report::ImageItem>();
    ASSERT_EQ(images.size(), 2u);
    const report::LengthRect edge = images[0].rect;
    const report::LengthRect photo = images[1].rect;

    int smaller = 0;
    int cut = 0;
    for (const report::TextItem& t : pages[0].all<report::TextItem>()) {
        if (isWatermark(t))
            continue;
        const Extent e = visible(t);
        EXPECT_TRUE(within(e, edge)) << t.text.toStdString();
        EXPECT_FALSE(overlaps(e, photo)) << t.text.toStdString();
        EXPECT_GE(t.font.pointSizeF(), 6.0) << t.text.toStdString();
        if (t.clip) {
            EXPECT_EQ(t.font.pointSizeF(), 6.0) << t.text.toStdString();
        }
        smaller += t.font.pointSizeF() < (t.font.italic() || t.font.bold() ? 7 : 10);
        cut += t.clip.has_value();
    }
    EXPECT_GE(smaller, 3); // the name twice, the post and the long caption
    EXPECT_GE(cut, 1);

    // The same card without the setting runs past the edge or into the photo.
    int crossing = 0;
    for (const report::TextItem& t : card(false)[0].all<report::TextItem>()) {
        EXPECT_FALSE(t.clip);
        crossing += !isWatermark(t) && (!within(visible(t), edge) || overlaps(visible(t), photo));
    }
    EXPECT_GE(crossing, 3);
}

INSTANTIATE_TEST_SUITE_P(Styles, FitCardText,
                         ::testing::Values(FitCase {0, false}, FitCase {1, false},
                                           FitCase {2, false}, FitCase {0, true}, FitCase {1, true},
                                           FitCase {2, true}));

// A name a little too long is drawn smaller until it ends just inside the card, not cut.
TEST(FitCardText, SlightlyLongNameShrinksToTheEdgeWithoutACut)
{
    PrintDatabase base;
    const QString name = QStringLiteral("Alexandra Konstantinopoulou-Smithson");
    base.add(0, name);
    cards::CardOptions options = PrintDatabase::starterOptions();
    options.shrinkText = true;
    const auto pages = base.cards(options);
    const report::TextItem* value = findText(pages.at(0), name);
    ASSERT_TRUE(value);
    EXPECT_FALSE(value->clip);
    EXPECT_GT(value->font.pointSizeF(), 6.0);
    EXPECT_LT(value->font.pointSizeF(), 10.0);
    const double cardRight = 10 + 85.5;
    const double right = (value->left + value->width).toMm();
    EXPECT_LE(right, cardRight);
    EXPECT_GT(right, cardRight - 1.5);
}

// Texts that fit are drawn exactly as without the setting, byte for byte in the saved report.
TEST(FitCardText, TextsThatFitAreUnchanged)
{
    PrintDatabase base;
    base.add(0, QStringLiteral("Alice"), QStringLiteral("张三"), photoBlob(48, 64));
    base.add(0, QStringLiteral("Bob"));
    for (int style = 0; style < 3; ++style) {
        cards::CardOptions options = PrintDatabase::starterOptions();
        options.style = style;
        const QByteArray before = report::encodePreparedReport(base.cards(options));
        options.shrinkText = true;
        EXPECT_EQ(report::encodePreparedReport(base.cards(options)), before) << style;
    }
}

// The clip keeps the painted name out of the gap between the card and the next card cell.
TEST(FitCardText, CutTextPaintsNothingPastTheCardEdge)
{
    PrintDatabase base;
    base.add(0, longName);
    cards::CardOptions options = PrintDatabase::starterOptions();
    const auto darkPastTheEdge = [&](bool shrink) {
        options.shrinkText = shrink;
        const QImage image = paintedPage(base.cards(options).at(0), 300);
        int dark = 0;
        const auto px = [](double mm) { return qRound(mm * 300 / 25.4); };
        for (int x = px(10 + 85.5) + 1; x < px(10 + 89.9); ++x) {
            for (int y = px(10); y < px(10 + 54); ++y)
                dark += qGray(image.pixel(x, y)) < 128;
        }
        return dark;
    };
    EXPECT_GT(darkPastTheEdge(false), 20);
    EXPECT_EQ(darkPastTheEdge(true), 0);
}

struct CheckListPages
{
    std::vector<report::Page> pages;
    std::vector<report::LengthRect> boxes;
};

// The check list as its command prints it, captured from the preview.
CheckListPages printedCheckList(PrintDatabase& base)
{
    ScriptedAnswers answers;
    CheckListPages result;
    answers.onPreview
        = [&](const data::Answers::Render& render) { result.pages = report::capturePages(render); };
    cards::actCheckListExecute(nullptr, base.dsrc);
    for (const auto& frame : result.pages.at(0).all<report::FrameItem>()) {
        if (frame.rect.width == mm(61.35))
            result.boxes.push_back(frame.rect);
    }
    return result;
}

// With the database's setting on, each box's texts stay inside its frame and right of the
// photo, at 6 points or more; without it (or with it off) they run out as they always did.
TEST(FitCheckListText, BoxTextsStayInsideTheirFrames)
{
    PrintDatabase base;
    base.add(0, longName, QStringLiteral("陈大文"), photoBlob(48, 64));
    base.add(0, QStringLiteral("Bob"));
    base.db.exec(QStringLiteral("update stafftbl set post = '%1'").arg(longPost));
    const auto inside = [](const report::TextItem& t, const report::LengthRect& box) {
        const report::Length frame = report::Length::points(1);
        const report::LengthRect inner {box.left + frame, box.top + frame, box.width - frame * 2,
                                        box.height - frame * 2};
        return within(visible(t), inner);
    };
    const auto outside = [&](const CheckListPages& list) {
        int count = 0;
        for (const report::TextItem& t : list.pages.at(0).all<report::TextItem>()) {
            const auto box = std::find_if(list.boxes.begin(), list.boxes.end(), [&](auto& b) {
                return t.top >= b.top && t.top < b.bottom() && t.left >= b.left
                    && t.left < b.right();
            });
            if (box == list.boxes.end() || t.text == u"Check List"
                || t.text == u"www.tavrik.example.com")
                continue;
            EXPECT_GE(t.font.pointSizeF(), 6.0) << t.text.toStdString();
            EXPECT_GE(t.left, box->left + mm(22.32)) << t.text.toStdString();
            count += !inside(t, *box);
        }
        return count;
    };

    const CheckListPages before = printedCheckList(base);
    ASSERT_EQ(before.boxes.size(), 2u);
    EXPECT_GE(outside(before), 2);
    data::DatabaseSettings settings(base.dsrc.src);
    settings.setValue(QStringLiteral("card.shrinktext"), QStringLiteral("off"));
    EXPECT_EQ(report::encodePreparedReport(printedCheckList(base).pages),
              report::encodePreparedReport(before.pages));

    settings.setValue(QStringLiteral("card.shrinktext"), QStringLiteral("on"));
    const CheckListPages fitted = printedCheckList(base);
    EXPECT_EQ(outside(fitted), 0);
    const report::TextItem* bob = findText(fitted.pages.at(0), QStringLiteral("Bob"));
    ASSERT_TRUE(bob);
    EXPECT_EQ(bob->font.pointSizeF(), 8.0);
    EXPECT_FALSE(bob->clip);
}

// The PDF as printed, looked at as pdftoppm draws it: in the gap between the first card of
// the sheet and the one beside it, the long name shows without the setting and not with it.
// With MELBRIN_KEEP_RENDERS naming a folder, the PDFs and their pictures are kept there.
TEST(FitCardText, PrintedPdfCutsAtTheCardEdge)
{
    PrintDatabase base;
    base.add(0, longName, QStringLiteral("陈大文"), photoBlob(48, 64, Qt::darkRed));
    base.add(0, QStringLiteral("Bob Short"), {}, photoBlob(48, 64));
    base.db.exec(QStringLiteral("update stafftbl set post = '%1'").arg(longPost));
    QTemporaryDir temp;
    const QString keep = qEnvironmentVariable("MELBRIN_KEEP_RENDERS");
    const QDir dir(keep.isEmpty() ? temp.path() : keep);
    ScriptedAnswers answers;
    QString target;
    answers.onPreview = [&](const data::Answers::Render& render) {
        QPdfWriter writer(target);
        render(&writer);
    };
    const int dpi = 150;
    const auto darkInTheGap = [&](const QString& name, int style, bool shrink) {
        cards::CardOptions options = PrintDatabase::starterOptions();
        options.style = style;
        options.slotChoices[6] = {4, longCaption};
        options.custom = style == 1;
        options.captions = true;
        options.position = 45;
        options.font = QFont(QStringLiteral("Arial"), 10);
        options.shrinkText = shrink;
        target = dir.filePath(name + QStringLiteral(".pdf"));
        cards::previewAllStaff(nullptr, base.dsrc, options, base.fields);
        QProcess tool;
        tool.start(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                    QStringLiteral("-singlefile"), target, dir.filePath(name)});
        tool.waitForFinished(60000);
        const QImage page(dir.filePath(name + QStringLiteral(".png")));
        EXPECT_FALSE(page.isNull()) << name.toStdString();
        const auto px = [&](double mm) { return qRound(mm * dpi / 25.4); };
        const double cardWidth = style == 2 ? 54 : 85.5;
        const double cellWidth = style == 2 ? 56.621 : 89.958;
        const double cardHeight = style == 2 ? 85.5 : 54;
        int dark = 0;
        for (int x = px(10 + cardWidth) + 1; x < px(10 + cellWidth) - 1; ++x) {
            for (int y = px(10); y < px(10 + cardHeight); ++y)
                dark += !page.isNull() && qGray(page.pixel(x, y)) < 160;
        }
        return dark;
    };
    for (int style = 0; style < 3; ++style) {
        const QString name = QStringLiteral("long-style%1").arg(style + 1);
        EXPECT_GT(darkInTheGap(name + QStringLiteral("-off"), style, false), 10) << style;
        EXPECT_EQ(darkInTheGap(name + QStringLiteral("-on"), style, true), 0) << style;
    }
    target = dir.filePath(QStringLiteral("long-checklist.pdf"));
    data::DatabaseSettings(base.dsrc.src)
        .setValue(QStringLiteral("card.shrinktext"), QStringLiteral("on"));
    cards::actCheckListExecute(nullptr, base.dsrc);
    EXPECT_EQ(answers.previews, 7);
}

} // namespace
