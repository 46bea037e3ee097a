// Symbols of a column drawn as filled shapes: where they stand in their rectangle, their text,
// empty and refused values, and that they reach the paper as vectors, never as pictures.
#include "report/SymbolControl.h"

#include "ReportFixture.h"
#include "report/PagePainter.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fixture;
using report::LengthRect;
using report::SymbolControl;

namespace {

// Nine modules wide, four high: five bars one module wide with gaps between them, the value
// as its text. A value with "!" is refused.
report::Symbol bars(const QString& value)
{
    report::Symbol symbol;
    if (value.contains(u'!')) {
        symbol.refusal = QStringLiteral("cannot hold '!'");
        return symbol;
    }
    for (int k = 0; k < 5; ++k)
        symbol.modules.addRect(QRectF(2 * k, 0, 1, 4));
    symbol.size = QSizeF(9, 4);
    symbol.text = value;
    return symbol;
}

// Five by five modules, the corners dark; no text.
report::Symbol square(const QString&)
{
    report::Symbol symbol;
    for (QPointF corner : {QPointF(0, 0), QPointF(4, 0), QPointF(0, 4), QPointF(4, 4)})
        symbol.modules.addRect(QRectF(corner, QSizeF(1, 1)));
    symbol.size = QSizeF(5, 5);
    return symbol;
}

struct Refusal
{
    QString value;
    QString reason;
};

// One band per row holding one symbol control.
struct SymbolReport
{
    SymbolReport(std::vector<QStringList> values, SymbolControl::Encoder encoder,
                 SymbolControl::Fit fit, LengthRect rect)
        : source({QStringLiteral("code")}, std::move(values))
    {
        report.setDataSource(&source);
        // Bands from the paper's corner, so that the rectangles are where the page has them.
        report.page.topMargin = report.page.leftMargin = Length();
        report::Band& band = report.setDetailBand(mm(60), mm(20));
        control = &band.add<SymbolControl>(rect, QStringLiteral("code"), std::move(encoder));
        control->fit = fit;
        control->refused = [this](const QString& value, const QString& reason) {
            refusals.push_back({value, reason});
        };
    }

    report::Report report;
    report::TableSource source;
    SymbolControl* control = nullptr;
    std::vector<Refusal> refusals;
};

QRectF mmRect(const QRectF& micrometres)
{
    return QRectF(micrometres.topLeft() / 1000.0, micrometres.size() / 1000.0);
}

void expectNear(const QRectF& actual, const QRectF& expected)
{
    EXPECT_NEAR(actual.left(), expected.left(), 0.002);
    EXPECT_NEAR(actual.top(), expected.top(), 0.002);
    EXPECT_NEAR(actual.width(), expected.width(), 0.002);
    EXPECT_NEAR(actual.height(), expected.height(), 0.002);
}

} // namespace

TEST(SymbolControl, LinearSymbolFillsItsRectangleAboveItsTextAndSkipsEmptyAndRefusedValues)
{
    SymbolReport r({{QStringLiteral("A1")}, {QStringLiteral("  ")}, {QStringLiteral("no!")}}, bars,
                   SymbolControl::Fit::Stretch, {mm(10), mm(5), mm(40), mm(10)});
    const auto pages = layOut(r.report);
    ASSERT_EQ(pages.size(), 1u);
    const auto shapes = pages[0].all<report::ShapeItem>();
    ASSERT_EQ(shapes.size(), 1u);
    EXPECT_TRUE(pages[0].all<report::ImageItem>().empty());

    const auto texts = pages[0].all<report::TextItem>();
    ASSERT_EQ(texts.size(), 1u);
    const report::TextItem& text = texts[0];
    EXPECT_EQ(text.text, QStringLiteral("A1"));
    // The first band's box: 10..50 mm across, 5..15 mm down; the text at its foot, centred.
    const Length textTop = mm(15) - text.height;
    EXPECT_NEAR(text.top.toMm(), textTop.toMm(), 0.002);
    EXPECT_NEAR((text.left + text.width / 2).toMm(), 30, 0.002);
    EXPECT_GT(text.height, mm(1.5));
    EXPECT_LE(text.height, mm(2.5)); // about a fifth of the height
    expectNear(mmRect(shapes[0].path.boundingRect()), QRectF(10, 5, 40, textTop.toMm() - 5));
    EXPECT_EQ(shapes[0].color, QColor(Qt::black));

    // Blank values print nothing and are no refusal; the refused one is reported once.
    ASSERT_EQ(r.refusals.size(), 1u);
    EXPECT_EQ(r.refusals[0].value, QStringLiteral("no!"));
    EXPECT_EQ(r.refusals[0].reason, QStringLiteral("cannot hold '!'"));
}

TEST(SymbolControl, TextTooWideIsSmallerOrLeftOut)
{
    const struct
    {
        QString value;
        bool printed;
    } cases[] = {{QStringLiteral("1234567890"), true},
                 {QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"), false}};
    for (const auto& c : cases) {
        SymbolReport r({{c.value}}, bars, SymbolControl::Fit::Stretch,
                       {mm(10), mm(5), mm(12), mm(10)});
        const auto page = layOut(r.report).at(0);
        const auto texts = page.all<report::TextItem>();
        ASSERT_EQ(texts.size(), c.printed ? 1u : 0u) << c.value.toStdString();
        const QRectF symbol = mmRect(page.all<report::ShapeItem>().at(0).path.boundingRect());
        if (c.printed) {
            EXPECT_LE(texts[0].width, mm(12));
            EXPECT_GE(texts[0].font.pointSizeF(), 4.0);
            EXPECT_NEAR(symbol.bottom(), texts[0].top.toMm(), 0.002);
        } else {
            EXPECT_NEAR(symbol.bottom(), 15, 0.002); // the whole height
        }
    }
}

TEST(SymbolControl, SquareSymbolIsAsLargeAsFitsAndCentred)
{
    SymbolReport r({{QStringLiteral("x")}}, square, SymbolControl::Fit::KeepAspect,
                   {mm(10), mm(5), mm(30), mm(10)});
    const auto page = layOut(r.report).at(0);
    const auto shapes = page.all<report::ShapeItem>();
    ASSERT_EQ(shapes.size(), 1u);
    expectNear(mmRect(shapes[0].path.boundingRect()), QRectF(20, 5, 10, 10));
    EXPECT_TRUE(page.all<report::TextItem>().empty());
}

TEST(SymbolControl, NothingPrintsWithoutARowOrTheColumn)
{
    SymbolReport noRows({}, bars, SymbolControl::Fit::Stretch, {mm(0), mm(0), mm(40), mm(10)});
    noRows.report.page.printIfEmpty = true;
    EXPECT_TRUE(layOut(noRows.report).at(0).all<report::ShapeItem>().empty());

    SymbolReport otherColumn({{QStringLiteral("A1")}}, bars, SymbolControl::Fit::Stretch,
                             {mm(0), mm(0), mm(40), mm(10)});
    otherColumn.control->column = QStringLiteral("missing");
    EXPECT_TRUE(layOut(otherColumn.report).at(0).all<report::ShapeItem>().empty());
    EXPECT_TRUE(otherColumn.refusals.empty());
}

// The bars are painted dark and the gaps left light; in a PDF they are paths, no picture.
TEST(SymbolControl, PaintsAsVectorsOnImagesAndInPdf)
{
    SymbolReport r({{QStringLiteral("A1")}}, bars, SymbolControl::Fit::Stretch,
                   {mm(10), mm(5), mm(36), mm(10)});
    const auto pages = layOut(r.report);

    // At 254 dots per inch a pixel is a tenth of a millimetre: bars 4 mm wide, 4 mm apart.
    QImage image(600, 200, QImage::Format_RGB32);
    image.setDotsPerMeterX(10000);
    image.setDotsPerMeterY(10000);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        report::PagePainter::paint(pages[0], painter);
    }
    for (int k = 0; k < 5; ++k) {
        EXPECT_LT(qGray(image.pixel(100 + 80 * k + 20, 80)), 60) << "bar " << k;
        if (k < 4) {
            EXPECT_GT(qGray(image.pixel(100 + 80 * k + 60, 80)), 200) << "gap " << k;
        }
    }

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("symbol.pdf"));
    {
        QPdfWriter writer(pdf);
        QPainter painter(&writer);
        report::PagePainter::paint(pages[0], painter);
    }
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.count("/Subtype /Image"), 0);
    EXPECT_GT(bytes.size(), 0);
}
