// "Resize All" over 100 members with photos of 3000 x 4000, against its floor in the same
// run: the same three stages (decode, resample to 480 x 640, encode) on the same photos held
// in memory, decoded by libjpeg itself into one buffer allocated once for the whole batch.
// The pass also reads every photo from the file and writes each result back; the floor does
// neither (resizeFileShare3000x4000 times that part alone).
#include "QuietAnswers.h"
#include "data/Connection.h"
#include "data/Schema.h"
#include "data/Tdsrc.h"
#include "exchange/PhotoDownsize.h"
#include "imaging/Jpeg.h"
#include "imaging/Picture.h"
#include "imaging/Progress.h"
#include "imaging/Resample.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

namespace {

constexpr int photos = 100;
constexpr int width = 3000;
constexpr int height = 4000;

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

// A camera-like photo: smooth gradients with a little noise, at the program's quality.
const QByteArray& cameraPhoto()
{
    static const QByteArray bytes = [] {
        imaging::Picture picture = imaging::Picture::uninitialised(width, height);
        unsigned seed = 11;
        for (int y = 0; y < height; ++y) {
            std::uint8_t* row = picture.row(y);
            for (int x = 0; x < width; ++x) {
                seed = seed * 1103515245u + 12345u;
                const int noise = int(seed >> 28);
                row[x * 3] = std::uint8_t((x / 12 + noise) & 0xFF);
                row[x * 3 + 1] = std::uint8_t((y / 16 + noise) & 0xFF);
                row[x * 3 + 2] = std::uint8_t(((x + y) / 28 + noise) & 0xFF);
            }
        }
        return imaging::encodeJpeg(picture);
    }();
    return bytes;
}

QString photoDatabase()
{
    const QString file = folder().filePath(QStringLiteral("large-photos.mdb"));
    if (QFileInfo::exists(file))
        return file;
    data::createStarterDatabase(file, data::Tdsrc::password());
    data::Tdsrc dsrc;
    dsrc.connectTo(file);
    dsrc.QAllStaff.open();
    dsrc.src.beginTransaction();
    for (int i = 0; i < photos; ++i) {
        dsrc.QAllStaff.append();
        dsrc.QAllStaff.setValue(QStringLiteral("gid"), 0);
        dsrc.QAllStaff.setValue(QStringLiteral("name"), QStringLiteral("Member %1").arg(i, 3));
        dsrc.QAllStaff.setBlob(QStringLiteral("photo"), cameraPhoto());
        dsrc.QAllStaff.post();
    }
    dsrc.src.commit();
    return file;
}

void resizeAll3000x4000(benchmark::State& state)
{
    const QString source = photoDatabase();
    const QString work = folder().filePath(QStringLiteral("work.mdb"));
    QuietAnswers answers;
    imaging::NullProgress progress;
    data::Tdsrc dsrc;
    for (auto _ : state) {
        state.PauseTiming();
        dsrc.src.close();
        QFile::remove(work);
        QFile::copy(source, work);
        dsrc.connectTo(work);
        state.ResumeTiming();
        exchange::resizeAllPhotos(dsrc, progress);
    }
    state.SetItemsProcessed(state.iterations() * photos);
    state.counters["photo_MB"] = double(cameraPhoto().size()) / 1e6;
}

// libjpeg's decoding with the program's settings, into rows given by the caller.
void decodeInto(const QByteArray& bytes, imaging::Picture& picture)
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_BGR;
    cinfo.dct_method = JDCT_ISLOW;
    cinfo.do_fancy_upsampling = TRUE;
    jpeg_start_decompress(&cinfo);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = picture.row(int(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
}

void resizeFloor3000x4000(benchmark::State& state)
{
    const QByteArray& bytes = cameraPhoto();
    imaging::Picture decoded = imaging::Picture::uninitialised(width, height);
    imaging::Picture target;
    for (auto _ : state) {
        for (int i = 0; i < photos; ++i) {
            decodeInto(bytes, decoded);
            imaging::ResizeInto(decoded, target, exchange::photoWidth, exchange::photoHeight);
            benchmark::DoNotOptimize(imaging::encodeJpeg(target).size());
        }
    }
    state.SetItemsProcessed(state.iterations() * photos);
}

// The file's share of the pass, for telling it from the rest: reading every photo and
// writing a resized one back, stamped, in transactions of 64 rows, with no picture work.
void resizeFileShare3000x4000(benchmark::State& state)
{
    const QString source = photoDatabase();
    const QString work = folder().filePath(QStringLiteral("work.mdb"));
    imaging::Picture small;
    imaging::ResizeInto(imaging::decodeJpeg(cameraPhoto()), small, exchange::photoWidth,
                        exchange::photoHeight);
    const QByteArray resized = imaging::encodeJpeg(small);
    data::Tdsrc dsrc;
    for (auto _ : state) {
        state.PauseTiming();
        dsrc.src.close();
        QFile::remove(work);
        QFile::copy(source, work);
        dsrc.connectTo(work);
        state.ResumeTiming();
        data::Query& staff = dsrc.QAllStaff;
        staff.open();
        dsrc.src.beginTransaction();
        int n = 0;
        for (staff.first(); !staff.eof(); staff.next()) {
            benchmark::DoNotOptimize(imaging::jpegSize(staff.blob(QStringLiteral("photo"))));
            staff.edit();
            staff.setBlob(QStringLiteral("photo"), resized);
            staff.setValue(QStringLiteral("changedutc"), QStringLiteral("2026-03-01T09:00:00Z"));
            staff.post();
            if (++n % 64 == 0) {
                dsrc.src.commit();
                dsrc.src.beginTransaction();
            }
        }
        dsrc.src.commit();
        staff.close();
    }
    state.SetItemsProcessed(state.iterations() * photos);
}
BENCHMARK(resizeFileShare3000x4000)->Unit(benchmark::kMillisecond)->Iterations(1);

// Floor and pass one after the other, twice, so that both meet the same load.
BENCHMARK(resizeFloor3000x4000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(resizeAll3000x4000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(resizeFloor3000x4000)
    ->Name("resizeFloor3000x4000/again")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(resizeAll3000x4000)
    ->Name("resizeAll3000x4000/again")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    photoDatabase();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
