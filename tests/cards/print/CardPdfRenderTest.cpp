// Card pages of every style and the check list, written by the PDF writer, look as the
// preview draws them: photo, background, code, texts and frames alike.
#include "PdfPictures.h"
#include "PrintFixture.h"
#include "cards/print/TqrMemList.h"
#include "imaging/Jpeg.h"
#include "report/PageCapture.h"
#include "report/PdfWriter.h"
#include "report/ReportLayout.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace printfixture;

namespace {

constexpr double dpi = 200;

// A picture with shades and edges, so that a moved, stretched or recoded one shows.
QImage shaded(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixelColor(x, y,
                                QColor((x * 255 / width + seed) % 256, y * 255 / height,
                                       ((x / 16 + y / 16) % 2) * 200));
        }
    }
    return image;
}

} // namespace

TEST(CardPdf, LooksAsThePreviewForEveryStyleAndTheCheckList)
{
    if (!pdfpictures::haveTools())
        GTEST_SKIP() << "poppler's tools are not installed";
    PrintDatabase base;
    base.add(0, QStringLiteral("Ann Lee"), QStringLiteral("李安"),
             imaging::encodeJpeg(imaging::Picture::fromImage(shaded(480, 640, 0))));
    base.add(0, QStringLiteral("Bob Ng"), {},
             imaging::encodeJpeg(imaging::Picture::fromImage(shaded(480, 640, 90))));

    std::vector<std::pair<QString, std::vector<report::Page>>> cases;
    for (int style = 0; style < 3; ++style) {
        cards::CardOptions options = PrintDatabase::starterOptions();
        options.style = style;
        options.output = cards::CardOutput::CardPrinter;
        options.code.kind = cards::CodeElement::Kind::Qr;
        options.printBack = true;
        options.background = imaging::Picture::fromImage(shaded(856, 540, 40));
        cases.emplace_back(QStringLiteral("style%1").arg(style + 1), base.cards(options));
    }
    {
        cards::TqrMemList memList(base.dsrc.src);
        cases.emplace_back(QStringLiteral("checklist"),
                           report::ReportLayout(metrics()).pages(memList.report));
    }

    QTemporaryDir dir;
    for (const auto& [name, pages] : cases) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_FALSE(pages.empty());
        const QString pdf = dir.filePath(name + QStringLiteral(".pdf"));
        report::writePdf(pdf,
                         [&](QPagedPaintDevice* device) { report::printPages(pages, *device); });
        const QImage expected = paintedPage(pages[0], dpi);
        const QImage written = pdfpictures::pageImage(pdf, 1, dpi);
        if (qEnvironmentVariableIsSet("MELBRIN_KEEP_PICTURES")) {
            const QString keep = qEnvironmentVariable("MELBRIN_KEEP_PICTURES") + u'/' + name;
            expected.save(keep + QStringLiteral("-painter.png"));
            written.save(keep + QStringLiteral("-pdf.png"));
        }
        // Compared where the page has anything on it, so that a few cards on a sheet of
        // paper weigh as much as a card of its own.
        const QRect ink = pdfpictures::inkBox(expected);
        EXPECT_LT(pdfpictures::visibleDifference(expected.copy(ink), written.copy(ink)),
                  ink.width() * ink.height() / 1000);
        EXPECT_TRUE(pdfpictures::text(pdf).contains(QStringLiteral("Ann Lee")));
    }
}
