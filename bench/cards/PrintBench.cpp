// The card sheets and the check list of 1,000 members, each with a distinct 480x640 photo,
// read from a card database, laid out and written to PDF, against the baseline of decoding
// the same photos with libjpeg and writing them into a PDF with no layout at all.

#include "cards/CardPreview.h"
#include "cards/print/CardReport.h"
#include "cards/print/ReportRender.h"
#include "cards/print/TqrMemList.h"
#include "data/Schema.h"
#include "data/Tdsrc.h"
#include "imaging/Jpeg.h"
#include "imaging/Picture.h"
#include "report/TextMetrics.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

constexpr int memberCount = 1000;

// Photos with enough detail to compress like real ones, each one different.
QByteArray photo(int n)
{
    QImage image(480, 640, QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            line[3 * x] = uchar((x * 3 + n * 20) ^ y);
            line[3 * x + 1] = uchar((y * 2 + x / 3) + n * 7);
            line[3 * x + 2] = uchar((x * y / 97) + n * 13);
        }
    }
    return imaging::encodeJpeg(imaging::Picture::fromImage(image));
}

imaging::Picture background()
{
    QImage image(1010, 638, QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixelColor(x, y, QColor(200 + x % 40, 220, 240 - y % 30));
    }
    return imaging::Picture::fromImage(image);
}

// The card database with 1,000 members, made once.
struct Staff
{
    Staff()
    {
        data::createStarterDatabase(path(), data::Tdsrc::password());
        dsrc.connectTo(path());
        data::Query add(dsrc.src, QStringLiteral("add"));
        add.setSql(QStringLiteral("select * from stafftbl where seq = 0"));
        add.open();
        dsrc.src.beginTransaction();
        for (int i = 0; i < memberCount; ++i) {
            blobs.push_back(photo(i));
            add.append();
            add.setValue(QStringLiteral("gid"), 0);
            add.setValue(QStringLiteral("cardno"), i);
            add.setValue(QStringLiteral("name"), QStringLiteral("Member number %1").arg(i));
            add.setValue(QStringLiteral("cname"), QStringLiteral("陈大文"));
            add.setValue(QStringLiteral("staffno"),
                         QStringLiteral("S%1").arg(i, 5, 10, QChar(u'0')));
            add.setValue(QStringLiteral("post"), QStringLiteral("Storekeeper"));
            add.setValue(QStringLiteral("datejoin"), QStringLiteral("5/03/2004"));
            add.setValue(QStringLiteral("expiry"), QStringLiteral("5/03/2009"));
            add.setValue(QStringLiteral("remark"), QString());
            add.setBlob(QStringLiteral("photo"), blobs.back());
            add.post();
        }
        dsrc.src.commit();
        fields.setSql(QStringLiteral("select * from fields"));
        fields.open();
    }
    QString path() const { return dir.filePath(QStringLiteral("cardinfo.mdb")); }
    QString pdf() const { return dir.filePath(QStringLiteral("out.pdf")); }

    QTemporaryDir dir;
    data::Tdsrc dsrc;
    data::Query fields {dsrc.src, QStringLiteral("fields")};
    std::vector<QByteArray> blobs;
};

Staff& staff()
{
    static Staff shared;
    return shared;
}

double baselineSeconds = 0;

double seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void DecodeOnly(benchmark::State& state)
{
    for (auto _ : state) {
        for (const QByteArray& blob : staff().blobs)
            benchmark::DoNotOptimize(imaging::decodeJpeg(blob).row(0));
    }
}

// The baseline: every photo decoded and drawn into the PDF where its card's photo goes, with
// the background on every card, and nothing else.
void DecodeAndWriteOnly(benchmark::State& state)
{
    const imaging::Picture back = background();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QPdfWriter writer(staff().pdf());
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        const double dpmm = writer.resolution() / 25.4;
        const QImage backImage = back.image();
        for (int i = 0; i < memberCount; ++i) {
            if (i > 0 && i % 10 == 0)
                writer.newPage();
            const int cell = i % 10;
            const QPointF origin((10 + 100 * (cell / 5)) * dpmm, (10 + 54 * (cell % 5)) * dpmm);
            painter.drawImage(QRectF(origin, QSizeF(85.5 * dpmm, 54 * dpmm)), backImage);
            const imaging::Picture picture = imaging::decodeJpeg(staff().blobs[std::size_t(i)]);
            painter.drawImage(QRectF(origin + QPointF(3.53 * dpmm, 21.17 * dpmm),
                                     QSizeF(21.02 * dpmm, 27.93 * dpmm)),
                              picture.image());
        }
        painter.end();
        baselineSeconds = seconds(start);
    }
}

void CardsToPdf(benchmark::State& state)
{
    Staff& s = staff();
    cards::CardOptions options;
    const int choices[] = {1, 2, 3, 4, 5, 6, 7};
    for (int k = 0; k < 7; ++k)
        options.slotChoices[std::size_t(k)] = {choices[k], QStringLiteral("Caption %1").arg(k + 1)};
    options.printBack = true;
    options.background = background();
    const report::TextMetrics metrics;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        s.dsrc.QList.setSql(QStringList {QStringLiteral("select * from stafftbl"),
                                         QStringLiteral("left join grptbl"),
                                         QStringLiteral("on stafftbl.gid=grptbl.gid")});
        s.dsrc.QList.open();
        const auto card = cards::makeCardReport(options, s.fields, s.dsrc.QList);
        QPdfWriter writer(s.pdf());
        state.counters["pages"] = cards::printReport(card->report, writer, metrics);
        s.dsrc.QList.close();
        if (baselineSeconds > 0)
            state.counters["x_baseline"] = seconds(start) / baselineSeconds;
    }
}

void CheckListToPdf(benchmark::State& state)
{
    const report::TextMetrics metrics;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        cards::TqrMemList memList(staff().dsrc.src);
        QPdfWriter writer(staff().pdf());
        state.counters["pages"] = cards::printReport(memList.report, writer, metrics);
        if (baselineSeconds > 0)
            state.counters["x_baseline"] = seconds(start) / baselineSeconds;
    }
}

BENCHMARK(DecodeOnly)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(DecodeAndWriteOnly)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(CardsToPdf)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(CheckListToPdf)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    staff();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
