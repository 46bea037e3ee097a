// The cards command on card databases whose photos are camera-sized: 16 and 1,000 members
// with 7000 x 7000 photos (peak memory of the whole command), and 20 members with
// 12-megapixel photos (its time). Each run is the real program, started as a child process,
// so that its peak resident size is its own. The databases are made once in a temporary
// folder; the 7000 x 7000 photos are nearly uniform, which keeps them small.
#include "ChildRun.h"
#include "data/Connection.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "data/Tdsrc.h"
#include "imaging/Jpeg.h"
#include "imaging/Picture.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>
#include <vector>
// clang-format off
#include <jpeglib.h>
// clang-format on

namespace {

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

// A baseline JPEG with optimised Huffman tables, as many cameras write them.
QByteArray cameraJpeg(const imaging::Picture& picture)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(picture.width());
    cinfo.image_height = JDIMENSION(picture.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    cinfo.optimize_coding = TRUE;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(picture.row(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

// Light blue with a faint frame: compresses to a few hundred kilobytes at any size.
QByteArray uniformPhoto(int width, int height)
{
    imaging::Picture picture(width, height);
    picture.fill(qRgb(170, 200, 230));
    for (int y = 0; y < height; ++y) {
        for (int x : {0, width - 1})
            picture.setPixel(x, y, qRgb(40, 40, 40));
    }
    return cameraJpeg(picture);
}

// Smooth gradients with noise: compresses like a camera photo.
QByteArray detailedPhoto(int width, int height)
{
    imaging::Picture picture(width, height);
    unsigned seed = 11;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = picture.row(y);
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245 + 12345;
            const int noise = int(seed >> 28);
            row[3 * x] = std::uint8_t(x * 255 / width + noise);
            row[3 * x + 1] = std::uint8_t(y * 255 / height + noise);
            row[3 * x + 2] = std::uint8_t((x + y) / 16 + noise);
        }
    }
    return cameraJpeg(picture);
}

// A starter database with count members sharing one photo, made once per name.
QString database(const QString& name, int count, QByteArray (*photo)(int, int), int width,
                 int height)
{
    const QString file = folder().filePath(name);
    if (QFileInfo::exists(file))
        return file;
    data::createStarterDatabase(file, data::Tdsrc::password());
    data::Connection c;
    c.setConnectionString(data::buildConnectionString(file, data::Tdsrc::password()));
    c.open();
    const QByteArray bytes = photo(width, height);
    data::Query add(c, QStringLiteral("add"));
    add.setSql(QStringLiteral("select * from stafftbl where seq = 0"));
    add.open();
    c.beginTransaction();
    for (int i = 0; i < count; ++i) {
        add.append();
        add.setValue(QStringLiteral("gid"), 0);
        add.setValue(QStringLiteral("cardno"), i);
        add.setValue(QStringLiteral("name"),
                     QStringLiteral("Member %1").arg(i, 4, 10, QChar(u'0')));
        add.setValue(QStringLiteral("staffno"), QStringLiteral("S%1").arg(i));
        add.setValue(QStringLiteral("datejoin"), QStringLiteral("5/03/2004"));
        add.setValue(QStringLiteral("expiry"), QStringLiteral("5/03/2009"));
        add.setBlob(QStringLiteral("photo"), bytes);
        add.post();
    }
    c.commit();
    return file;
}

// Runs "melbrin cards" on the database and measures the child alone.
benchchild::Run cardsCommand(const QString& file)
{
    // MELBRIN names another build of the program to compare with.
    const QString exe = qEnvironmentVariableIsEmpty("MELBRIN") ? QStringLiteral(MELBRIN_EXE)
                                                               : qEnvironmentVariable("MELBRIN");
    return benchchild::runMeasured(exe,
                                   {QStringLiteral("cards"), QStringLiteral("--output"),
                                    folder().filePath(QStringLiteral("cards.pdf")),
                                    QStringLiteral("--database"), file});
}

void report(benchmark::State& state, const QString& file)
{
    for (auto _ : state) {
        const benchchild::Run run = cardsCommand(file);
        if (!run.ok) {
            state.SkipWithError("the cards command failed");
            return;
        }
        state.SetIterationTime(run.seconds);
        state.counters["peak_MB"] = run.peakMegabytes;
    }
}

void Cards7000x7000(benchmark::State& state)
{
    const int count = int(state.range(0));
    report(
        state,
        database(QStringLiteral("photos7000-%1.mdb").arg(count), count, uniformPhoto, 7000, 7000));
}

void Cards12Megapixel(benchmark::State& state)
{
    const int count = int(state.range(0));
    report(
        state,
        database(QStringLiteral("photos12mp-%1.mdb").arg(count), count, detailedPhoto, 4000, 3000));
}

BENCHMARK(Cards7000x7000)
    ->Arg(16)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseManualTime();
BENCHMARK(Cards12Megapixel)->Arg(20)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--measure") == 0)
        return benchchild::measureChild(argv + 2);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
