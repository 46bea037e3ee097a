// Laying out and writing 1,000 cards to PDF (100 A4 pages, a 480x640 photo decoded from JPEG
// on every card, one background shared by all), against the same decoding and image writing
// with no layout at all.

#include "report/DataTextControl.h"
#include "report/ImageControl.h"
#include "report/LabelControl.h"
#include "report/LineControl.h"
#include "report/Report.h"
#include "report/ReportPrinter.h"
#include "report/TableSource.h"
#include "report/TextMetrics.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <benchmark/benchmark.h>

using report::Length;
using report::LengthRect;
using report::mm;

namespace {

constexpr int cardCount = 1000;
constexpr int distinctPhotos = 10;

// Photos with enough detail to compress like real ones.
const std::vector<QByteArray>& photoBlobs()
{
    static const std::vector<QByteArray> blobs = [] {
        std::vector<QByteArray> result;
        for (int n = 0; n < distinctPhotos; ++n) {
            QImage image(480, 640, QImage::Format_RGB888);
            for (int y = 0; y < image.height(); ++y) {
                uchar* line = image.scanLine(y);
                for (int x = 0; x < image.width(); ++x) {
                    line[3 * x] = uchar((x * 3 + n * 20) ^ y);
                    line[3 * x + 1] = uchar((y * 2 + x / 3) + n * 7);
                    line[3 * x + 2] = uchar((x * y / 97) + n);
                }
            }
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "JPG", 90);
            result.push_back(buffer.data());
        }
        return result;
    }();
    return blobs;
}

QImage background()
{
    QImage image(1010, 638, QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixelColor(x, y, QColor(200 + x % 40, 220, 240 - y % 30));
    }
    return image;
}

QImage decode(int row)
{
    return QImage::fromData(photoBlobs()[std::size_t(row % distinctPhotos)], "JPG");
}

report::TableSource staff()
{
    QStringList columns;
    for (int k = 1; k <= 7; ++k)
        columns << QStringLiteral("c%1").arg(k);
    std::vector<QStringList> rows;
    for (int i = 0; i < cardCount; ++i) {
        QStringList row;
        for (int k = 1; k <= 7; ++k)
            row << QStringLiteral("Value %1 of member %2").arg(k).arg(i);
        rows.push_back(row);
    }
    return report::TableSource(columns, std::move(rows));
}

// A landscape card: background, photo, two watermarks, and seven slots of caption, data text
// and line.
void buildCard(report::Report& report, report::TableSource& source, const QImage& back)
{
    report.page.columns = 2;
    report.page.columnSpace = mm(10);
    report.setDataSource(&source);
    report::Band& band = report.setDetailBand(mm(89.958), mm(53.950));
    band.add<report::ImageControl>(LengthRect {mm(0), mm(0), mm(85.5), mm(54)}).picture = back;
    auto& photo
        = band.add<report::ImageControl>(LengthRect {mm(3.53), mm(21.17), mm(21.02), mm(27.93)});
    for (auto [top, height, size, text] : {std::tuple {41.16, 11.17, 28, "www.example.org"},
                                           std::tuple {8.82, 19.70, 48, "SAMPLE"}}) {
        auto& label = band.add<report::LabelControl>(LengthRect {mm(0), mm(top), mm(1), mm(height)},
                                                     QString::fromLatin1(text));
        label.font = QFont(QStringLiteral("Arial"), size, QFont::Bold, true);
        label.fontColor = QColor(0xC0, 0xC0, 0xC0);
        label.alignment = report::TextControl::Alignment::Center;
        label.alignToBand = true;
    }
    for (int k = 0; k < 7; ++k) {
        const double pitch = 5.2917 * k;
        band.add<report::DataTextControl>(
            LengthRect {mm(45.27), mm(15.29 + pitch), mm(1), mm(4.26)},
            QStringLiteral("c%1").arg(k + 1));
        auto& caption = band.add<report::LabelControl>(
            LengthRect {mm(40), mm(16.46 + pitch), mm(2.92), mm(3.82)}, QStringLiteral("Caption"));
        caption.font = QFont(QStringLiteral("Arial"), 7, QFont::Normal, true);
        caption.alignment = report::TextControl::Alignment::Right;
        band.add<report::LineControl>(
            LengthRect {mm(44.10), mm(19.40 + pitch), mm(39.54), mm(1.32)});
    }
    band.beforePrint = [&source, &photo](report::Band&, bool&) {
        photo.picture = decode(int(source.currentRow()));
    };
}

void CardsToPdf(benchmark::State& state)
{
    const QImage back = background();
    const report::TextMetrics metrics;
    for (auto _ : state) {
        report::TableSource source = staff();
        report::Report report;
        buildCard(report, source, back);
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QPdfWriter writer(&out);
        benchmark::DoNotOptimize(report::ReportPrinter::print(report, writer, metrics));
        state.counters["pdf_MB"] = double(out.size()) / 1e6;
    }
}

// The same photos decoded and drawn with the same background at the same places, with no
// layout and no text.
void DecodeAndDrawOnly(benchmark::State& state)
{
    const QImage back = background();
    for (auto _ : state) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QPdfWriter writer(&out);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        const double dpmm = writer.resolution() / 25.4;
        for (int i = 0; i < cardCount; ++i) {
            if (i > 0 && i % 10 == 0)
                writer.newPage();
            const int cell = i % 10;
            const QPointF origin((10 + 100 * (cell / 5)) * dpmm, (10 + 54 * (cell % 5)) * dpmm);
            painter.drawImage(QRectF(origin, QSizeF(85.5 * dpmm, 54 * dpmm)), back);
            painter.drawImage(QRectF(origin + QPointF(3.53 * dpmm, 21.17 * dpmm),
                                     QSizeF(21.02 * dpmm, 27.93 * dpmm)),
                              decode(i));
        }
        painter.end();
        state.counters["pdf_MB"] = double(out.size()) / 1e6;
    }
}

void DecodeOnly(benchmark::State& state)
{
    for (auto _ : state) {
        for (int i = 0; i < cardCount; ++i)
            benchmark::DoNotOptimize(decode(i).constBits());
    }
}

BENCHMARK(DecodeOnly)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(DecodeAndDrawOnly)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(CardsToPdf)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    photoBlobs();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
