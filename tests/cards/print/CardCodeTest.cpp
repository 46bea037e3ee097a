// The card's code element: one code per member in vectors, where it stands on each style, what
// it refuses, and the place checks that keep it on the card.
#include "cards/print/CardCode.h"

#include "PrintFixture.h"
#include "ScriptedAnswers.h"
#include "cards/CardPreview.h"
#include "cards/print/CardCommands.h"
#include "cards/print/CardReport.h"
#include "cards/print/CodeSymbol.h"
#include "data/Error.h"
#include "report/PageCapture.h"
#include "report/ReportLayout.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace printfixture;
using Kind = cards::CodeElement::Kind;

namespace {

QRectF mmRect(const report::LengthRect& r)
{
    return QRectF(r.left.toMm(), r.top.toMm(), r.width.toMm(), r.height.toMm());
}

QRectF placeOf(const cards::CodeElement& code)
{
    return QRectF(code.x, code.y, code.width, code.height);
}

cards::CardOptions withCode(int style, Kind kind)
{
    cards::CardOptions options = PrintDatabase::starterOptions();
    options.style = style;
    options.code.kind = kind;
    return options;
}

// The refusal of makeCardReport for the options, "(made)" when it made the report.
QString refusal(PrintDatabase& base, const cards::CardOptions& options)
{
    base.dsrc.QList.setSql(QStringLiteral("select * from stafftbl"));
    base.dsrc.QList.open();
    try {
        cards::makeCardReport(options, base.fields, base.dsrc.QList);
    } catch (const data::Error& e) {
        return e.message();
    }
    return QStringLiteral("(made)");
}

} // namespace

// Wherever the text position puts the texts (they may run across the whole card), the default
// place covers neither the photo nor any slot's text, caption or line, and lies on the card.
TEST(CardCode, DefaultPlaceCoversNeitherThePhotoNorTheSlotsOfAnyStyle)
{
    PrintDatabase base;
    for (int style = 0; style < 3; ++style) {
        for (Kind kind : {Kind::Code128, Kind::Qr}) {
            const cards::CardOptions options = withCode(style, kind);
            const auto card = cards::makeCardReport(options, base.fields, base.dsrc.QList);
            ASSERT_TRUE(card);
            const QRectF cardRect = mmRect(card->QRImage1->rect);
            EXPECT_EQ(cardRect.size(), cards::cardSize(style)) << "style " << style;

            const QRectF code = placeOf(cards::placedCode(options));
            const QString what = QStringLiteral("style %1, %2")
                                     .arg(style + 1)
                                     .arg(kind == Kind::Qr ? "QR" : "Code 128");
            EXPECT_TRUE(cardRect.contains(code)) << what.toStdString();
            EXPECT_FALSE(code.intersects(mmRect(card->qrPhoto->rect))) << what.toStdString();
            for (int k = 0; k < cards::CardReport::slotCount; ++k) {
                for (const report::Control* control :
                     {static_cast<const report::Control*>(card->QRDBText[std::size_t(k)]),
                      static_cast<const report::Control*>(card->QRLabel[std::size_t(k)]),
                      static_cast<const report::Control*>(card->QRShape[std::size_t(k)])}) {
                    QRectF row = mmRect(control->rect);
                    row.setLeft(0);
                    row.setRight(cardRect.right());
                    EXPECT_FALSE(code.intersects(row)) << what.toStdString() << ", slot " << k;
                }
            }
        }
    }
}

// One code per member with a value, as filled shapes: the pictures on the cards stay the
// background and the photos; an empty value prints none and a value the kind cannot hold
// none, and names its member.
TEST(CardCode, EveryMemberWithAValueGetsOneVectorCode)
{
    PrintDatabase base;
    base.add(0, QStringLiteral("Ann"), {}, photoBlob(6, 8));
    addMember(base.db, 0, QStringLiteral("Bob"), {}, QString(), photoBlob(6, 8));
    addMember(base.db, 0, QStringLiteral("Wang"), {}, QStringLiteral("王01"), photoBlob(6, 8));
    const struct
    {
        Kind kind;
        int codes;
        QStringList refused;
    } cases[] = {{Kind::None, 0, {}}, {Kind::Qr, 2, {}}, {Kind::Code128, 1, {"Wang"}}};
    for (const auto& c : cases) {
        cards::CardOptions options = withCode(0, c.kind);
        options.printBack = true;
        options.background = imaging::Picture(4, 3);
        base.dsrc.QList.setSql(QStringLiteral("select * from stafftbl"));
        base.dsrc.QList.open();
        const auto card = cards::makeCardReport(options, base.fields, base.dsrc.QList);
        const auto pages = report::ReportLayout(metrics()).pages(card->report);
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_EQ(pages[0].all<report::ShapeItem>().size(), std::size_t(c.codes));
        EXPECT_EQ(pages[0].all<report::ImageItem>().size(), 2u * 3u);
        ASSERT_EQ(card->codeRefusals.size(), c.refused.size());
        for (qsizetype i = 0; i < c.refused.size(); ++i) {
            EXPECT_TRUE(card->codeRefusals[i].startsWith(c.refused[i] + QStringLiteral(" (")))
                << card->codeRefusals[i].toStdString();
        }
        // A Code 128 barcode carries its value as text under its bars.
        if (c.kind == Kind::Code128) {
            EXPECT_EQ(texts(pages[0]).count(QStringLiteral("S-Ann")), 2); // the slot and the code
        }
    }
    EXPECT_EQ(cards::codeStatus({}), QString());
    EXPECT_EQ(cards::codeStatus({"A (x)"}), QStringLiteral("No code printed for 1 member: A (x)"));
    EXPECT_EQ(cards::codeStatus({"A", "B", "C", "D", "E"}),
              QStringLiteral("No code printed for 5 members: A; B; C and 2 more"));
}

TEST(CardCode, SymbolsRefuseWhatTheirKindCannotHold)
{
    const struct
    {
        Kind kind;
        QString value;
        QString refusal; // the start of it; empty for none
    } cases[] = {
        {Kind::Code128, QStringLiteral("S-0042 ab"), {}},
        {Kind::Code128, QStringLiteral("Zoë"), {}}, // Latin-1
        {Kind::Code128, QStringLiteral("王01"),
         QStringLiteral("A Code 128 barcode cannot hold it: ")},
        {Kind::Code128, QString(200, u'7') + u'x', QStringLiteral("A Code 128 barcode cannot")},
        {Kind::Qr, QStringLiteral("王01"), {}},
        {Kind::Qr, QString(3000, u'x'), QStringLiteral("A QR code cannot hold it: ")},
        {Kind::None, QStringLiteral("1"), QStringLiteral("No code kind is chosen")},
    };
    for (const auto& c : cases) {
        const report::Symbol symbol = cards::codeSymbol(c.kind, c.value);
        const std::string what = c.value.left(12).toStdString();
        if (c.refusal.isEmpty()) {
            EXPECT_TRUE(symbol.refusal.isEmpty()) << what << ": " << symbol.refusal.toStdString();
            EXPECT_FALSE(symbol.modules.isEmpty()) << what;
            EXPECT_FALSE(symbol.size.isEmpty()) << what;
            // The modules lie within the symbol, quiet zones left clear around them.
            const QRectF bounds = symbol.modules.boundingRect();
            EXPECT_GT(bounds.left(), 0) << what;
            EXPECT_LT(bounds.right(), symbol.size.width()) << what;
            EXPECT_EQ(symbol.text.isEmpty(), c.kind == Kind::Qr) << what;
        } else {
            EXPECT_TRUE(symbol.refusal.startsWith(c.refusal))
                << what << ": " << symbol.refusal.toStdString();
            EXPECT_FALSE(symbol.refusal.contains(QStringLiteral("Error "))) << what;
        }
    }
}

// A code that would fall off the card, or is too small to read, stops the cards before any
// page is made; one that touches the card's edges is fine.
TEST(CardCode, PlaceOffTheCardIsRefusedBeforeAnythingPrints)
{
    PrintDatabase base;
    base.add(0, QStringLiteral("Ann"));
    const QString off = QStringLiteral("would fall off the card");
    const QString small = QStringLiteral("is too small to be read");
    const struct
    {
        int style;
        double x, y, width, height;
        QString refusal;
    } cases[] = {
        {0, 0, 0, 85.5, 54, {}},   {0, 70, 40, 15.5, 14, {}},   {0, 70, 40, 15.6, 14, off},
        {1, 10, 45, 20, 9.1, off}, {0, -0.1, 2, 12, 12, off},   {2, 40, 2, 12, 12, {}},
        {2, 44, 2, 12, 12, off}, // fits a landscape card, not the portrait one
        {2, 2, 80, 40, 5.6, off},  {0, 10, 10, 4.9, 12, small}, {0, 10, 10, 12, 4.9, small},
    };
    for (const auto& c : cases) {
        cards::CardOptions options = withCode(c.style, Kind::Qr);
        options.code.placed = true;
        options.code.x = c.x;
        options.code.y = c.y;
        options.code.width = c.width;
        options.code.height = c.height;
        const QString got = refusal(base, options);
        const std::string what = QStringLiteral("style %1 at %2, %3 size %4 x %5")
                                     .arg(c.style + 1)
                                     .arg(c.x)
                                     .arg(c.y)
                                     .arg(c.width)
                                     .arg(c.height)
                                     .toStdString();
        if (c.refusal.isEmpty())
            EXPECT_EQ(got, QStringLiteral("(made)")) << what;
        else
            EXPECT_TRUE(got.contains(c.refusal)) << what << ": " << got.toStdString();
        // Kind None prints nothing and so checks nothing.
        options.code.kind = Kind::None;
        EXPECT_EQ(refusal(base, options), QStringLiteral("(made)")) << what;
    }

    // A field that is no column of the members is refused too.
    cards::CardOptions options = withCode(0, Kind::Code128);
    options.code.field = QStringLiteral("nosuchcolumn");
    EXPECT_TRUE(refusal(base, options).contains(QStringLiteral("\"nosuchcolumn\"")));
}

// The preview's status names the members left without a code, once each however often the
// pages are drawn; with a code for everyone it says nothing.
TEST(CardCode, PreviewStatusNamesTheMembersWithoutACode)
{
    PrintDatabase base;
    base.add(0, QStringLiteral("Ann"));
    addMember(base.db, 0, QStringLiteral("Wang"), {}, QStringLiteral("王01"));
    for (Kind kind : {Kind::Code128, Kind::Qr}) {
        ScriptedAnswers answers;
        answers.onPreview = [](const data::Answers::Render& render) {
            for (int i = 0; i < 2; ++i)
                report::capturePages(render);
        };
        cards::previewAllStaff(nullptr, base.dsrc, withCode(1, kind), base.fields);
        EXPECT_EQ(answers.previews, 1);
        if (kind == Kind::Qr) {
            EXPECT_EQ(answers.lastStatus, QString());
        } else {
            EXPECT_TRUE(answers.lastStatus.startsWith(
                QStringLiteral("No code printed for 1 member: Wang (A Code 128 barcode cannot "
                               "hold it: ")))
                << answers.lastStatus.toStdString();
            EXPECT_EQ(answers.lastStatus.count(QStringLiteral("Wang")), 1);
        }
    }
}
