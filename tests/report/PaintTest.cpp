#include "ReportFixture.h"
#include "report/DataTextControl.h"
#include "report/ImageControl.h"
#include "report/ImageSource.h"
#include "report/LabelControl.h"
#include "report/LineControl.h"
#include "report/PagePainter.h"
#include "report/ReportPrinter.h"

#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace fixture;
using report::LengthRect;

namespace {

// At 254 dots per inch one pixel is a tenth of a millimetre.
QImage tenthsImage(const report::Page& page)
{
    QImage image(int(page.width.toTenths()), int(page.height.toTenths()), QImage::Format_RGB32);
    image.setDotsPerMeterX(10000);
    image.setDotsPerMeterY(10000);
    image.fill(Qt::gray);
    QPainter painter(&image);
    report::PagePainter::paint(page, painter);
    return image;
}

bool anyDark(const QImage& image, QRect area)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 100)
                return true;
        }
    }
    return false;
}

TEST(PagePainter, DrawsFillsPicturesLinesAndTextWhereTheLayoutPutThem)
{
    report::Report report;
    report::Band& band = report.setDetailBand(mm(85.5), mm(54));
    auto& photo
        = band.add<report::ImageControl>(LengthRect {mm(3.53), mm(21.17), mm(21.02), mm(27.93)});
    photo.picture = QImage(3, 4, QImage::Format_RGB32);
    photo.picture.fill(Qt::blue);
    band.add<report::LineControl>(LengthRect {mm(44.1), mm(19.4), mm(39.54), mm(1.32)});
    band.add<report::LabelControl>(LengthRect {mm(45), mm(5), mm(1), mm(4)},
                                   QStringLiteral("HHHH"));

    const auto pages = layOut(report);
    const QImage image = tenthsImage(pages[0]);

    EXPECT_EQ(image.pixel(5, 5), QColor(Qt::gray).rgb()); // outside the band
    EXPECT_EQ(image.pixel(120, 120), QColor(Qt::white).rgb()); // band fill
    EXPECT_EQ(image.pixel(240, 420), QColor(Qt::blue).rgb()); // stretched photo
    EXPECT_TRUE(anyDark(image, QRect(600, 299, 300, 3))); // line at y 30.06
    EXPECT_FALSE(anyDark(image, QRect(600, 310, 300, 30)));

    const auto text = pages[0].all<report::TextItem>().at(0);
    const QRect box(int(text.left.toTenths()), int(text.top.toTenths()), int(text.width.toTenths()),
                    int(text.height.toTenths()));
    EXPECT_TRUE(anyDark(image, box));
    EXPECT_TRUE(anyDark(image, QRect(box.right() - 10, box.top(), 10, box.height())));
    EXPECT_FALSE(anyDark(image, QRect(box.right() + 3, box.top(), 40, box.height())));
}

// A picture source that paints itself blue at whatever size it is asked for.
class RecordingSource final : public report::ImageSource
{
public:
    QSize size() const override { return {4000, 4000}; }
    QImage image(QSize fit) const override
    {
        fits.push_back(fit);
        QImage image(fit.isEmpty() ? size() : fit, QImage::Format_RGB32);
        image.fill(Qt::blue);
        return image;
    }
    QByteArray jpeg() const override { return {}; }

    mutable std::vector<QSize> fits;
};

// A picture with a source is asked for the pixels the device shows, at most 600 dots per inch
// of its rectangle: 0.2 by 0.4 inches here.
TEST(PagePainter, AsksASourceForThePixelsTheDeviceShows)
{
    const auto source = std::make_shared<RecordingSource>();
    report::Page page;
    page.width = mm(10);
    page.height = mm(12);
    page.items.push_back(report::ImageItem {{mm(1), mm(1), mm(5.08), mm(10.16)}, {}, source});
    const auto paintAt = [&](int dpi, double zoom) {
        QImage image(int(10 / 25.4 * dpi * zoom) + 1, int(12 / 25.4 * dpi * zoom) + 1,
                     QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(dpi / 0.0254));
        image.setDotsPerMeterY(qRound(dpi / 0.0254));
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(zoom, zoom);
        report::PagePainter::paint(page, painter);
        return image;
    };
    const QImage screen = paintAt(100, 1);
    paintAt(100, 2); // a preview zoomed in
    paintAt(2400, 1);
    EXPECT_EQ(source->fits, (std::vector<QSize> {{20, 40}, {40, 80}, {120, 240}}));
    EXPECT_EQ(screen.pixelColor(10, 20), QColor(Qt::blue));
}

// Writes a two-page PDF through the printer path and reads its text back.
TEST(ReportPrinter, WritesPagesWhosTextReadsBackAndSharesOnePicture)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";

    report::Report report;
    report.page.columns = 2;
    report.page.columnSpace = mm(10);
    report.title = QStringLiteral("Member List");
    report.addPageControl({mm(9.92), mm(3.97), mm(19.02), mm(4.30)},
                          report::SystemDataControl::Kind::Title);
    report::Band& band = report.setDetailBand(mm(89.958), mm(53.950));
    auto& background = band.add<report::ImageControl>(LengthRect {mm(0), mm(0), mm(85.5), mm(54)});
    background.picture = QImage(64, 40, QImage::Format_RGB32);
    background.picture.fill(QColor(200, 230, 255));
    auto& photo
        = band.add<report::ImageControl>(LengthRect {mm(3.53), mm(21.17), mm(21.02), mm(27.93)});
    band.add<report::DataTextControl>(LengthRect {mm(45.27), mm(15.29), mm(5), mm(4.26)},
                                      QStringLiteral("name"));
    band.beforePrint = [&](report::Band&, bool&) {
        photo.picture = QImage(12, 16, QImage::Format_RGB32); // a new picture for every card
        photo.picture.fill(Qt::darkGreen);
    };
    std::vector<QStringList> data;
    for (int i = 1; i <= 12; ++i)
        data.push_back({QStringLiteral("Member %1").arg(i, 2, 10, QChar(u'0'))});
    data[0] = {QStringLiteral("陳大文")};
    report::TableSource source({QStringLiteral("name")}, data);
    report.setDataSource(&source);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("cards.pdf"));
    {
        QPdfWriter writer(pdf);
        EXPECT_EQ(report::ReportPrinter::print(report, writer, metrics()), 2);
    }
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(process.waitForFinished(30000));
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    const QStringList pages = text.split(u'\f', Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("陳大文"))) << pages[0].toStdString();
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Member 10")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Member List")));
    EXPECT_FALSE(pages[0].contains(QStringLiteral("Member 11")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Member 12")));

    // The background goes in once, the twelve photos once each.
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count("/Subtype /Image"), 13);
}

} // namespace
