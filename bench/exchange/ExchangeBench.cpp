// The exchange commands at the sizes that matter: the reading of a workbook of 10,000 rows,
// the downsizing of 1,000 photos of 1024 x 1365 beside its three stages alone, and the backup
// of a large database beside a plain copy of its file. The import is in ImportBench.cpp.
#include "QuietAnswers.h"
#include "data/Connection.h"
#include "data/Schema.h"
#include "data/Tdsrc.h"
#include "exchange/DatabaseBackup.h"
#include "exchange/PhotoDownsize.h"
#include "exchange/SheetTable.h"
#include "exchange/WorkbookReader.h"
#include "imaging/Jpeg.h"
#include "imaging/Picture.h"
#include "imaging/Progress.h"
#include "imaging/Resample.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <filesystem>

namespace {

// Answers nothing is asked of but the closing notices.

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

QString path(const QString& name)
{
    return folder().filePath(name);
}

void execute(const QString& file, const QString& sql)
{
    data::Connection c;
    c.setConnectionString(data::buildConnectionString(file, data::Tdsrc::password()));
    c.open();
    c.execute(sql);
}

// A starter database made once, with members added by one statement.
QString templateDatabase(const QString& name, const QString& fill)
{
    const QString file = path(name);
    if (!QFileInfo::exists(file)) {
        data::createStarterDatabase(file, data::Tdsrc::password());
        execute(file, fill);
    }
    return file;
}

// A fresh copy of the template to work on, connected; not timed.
void workOn(data::Tdsrc& dsrc, const QString& source)
{
    const QString work = path(QStringLiteral("work.mdb"));
    dsrc.src.close();
    QFile::remove(work);
    QFile::copy(source, work);
    dsrc.connectTo(work);
}

imaging::Picture noisyPhoto(int width, int height)
{
    imaging::Picture picture(width, height);
    unsigned seed = 7;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = picture.row(y);
        for (int x = 0; x < width * 3; ++x) {
            seed = seed * 1103515245 + 12345;
            row[x] = std::uint8_t((x / 3 + y) / 8 + (seed >> 28));
        }
    }
    return picture;
}

const QByteArray& bigPhoto()
{
    static const QByteArray bytes = imaging::encodeJpeg(noisyPhoto(1024, 1365));
    return bytes;
}

// --- workbook reading ---------------------------------------------------------------------

constexpr int members = 10'000;

void readWorkbook(benchmark::State& state)
{
    const QString file = path(QStringLiteral("staff.xls"));
    if (!QFileInfo::exists(file)) {
        QString rows = QStringLiteral("[\"NAME\",\"GROUP\",\"CHINESE_NAME\",\"STAFF_ID\"]");
        for (int i = 0; i < members; ++i)
            rows += QStringLiteral(",[\"Member %1\",\"Group %2\",\"陳大文%1\",%1]")
                        .arg(i)
                        .arg(i % 20);
        QProcess script;
        script.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(MAKE_WORKBOOK), file});
        script.write(QStringLiteral("{\"sheets\":[{\"name\":\"RECORDS\",\"rows\":[%1]}]}")
                         .arg(rows)
                         .toUtf8());
        script.closeWriteChannel();
        script.waitForFinished(-1);
    }
    const exchange::WorkbookReader reader(QStringLiteral(MELBRIN_XLSREADER));
    for (auto _ : state) {
        const exchange::SheetTable sheet = reader.read(file);
        benchmark::DoNotOptimize(sheet.rowCount());
    }
    state.SetItemsProcessed(state.iterations() * members);
}
BENCHMARK(readWorkbook)->Unit(benchmark::kMillisecond);

// --- downsizing ----------------------------------------------------------------------------

// Members with the same photo of 1024 x 1365 each, made once.
QString photoDatabase(int photos)
{
    const QString source = path(QStringLiteral("photos%1.mdb").arg(photos));
    if (!QFileInfo::exists(source)) {
        data::createStarterDatabase(source, data::Tdsrc::password());
        data::Tdsrc dsrc;
        dsrc.connectTo(source);
        dsrc.QAllStaff.open();
        dsrc.src.beginTransaction();
        for (int i = 0; i < photos; ++i) {
            dsrc.QAllStaff.append();
            dsrc.QAllStaff.setValue(QStringLiteral("gid"), 0);
            dsrc.QAllStaff.setValue(QStringLiteral("name"), QStringLiteral("Member %1").arg(i));
            dsrc.QAllStaff.setBlob(QStringLiteral("photo"), bigPhoto());
            dsrc.QAllStaff.post();
        }
        dsrc.src.commit();
    }
    return source;
}

void resizeAll(benchmark::State& state)
{
    const int photos = int(state.range(0));
    const QString source = photoDatabase(photos);
    data::Tdsrc dsrc;
    imaging::NullProgress progress;
    for (auto _ : state) {
        state.PauseTiming();
        workOn(dsrc, source);
        state.ResumeTiming();
        exchange::resizeAllPhotos(dsrc, progress);
    }
    state.SetItemsProcessed(state.iterations() * photos);
}
BENCHMARK(resizeAll)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1);

// The database's share of the pass: reading every photo, and writing a resized one back in
// transactions of 64 rows.
void stageReadAndWrite(benchmark::State& state)
{
    const QString source = photoDatabase(1000);
    imaging::Picture small;
    imaging::ResizeInto(imaging::decodeJpeg(bigPhoto()), small, exchange::photoWidth,
                        exchange::photoHeight);
    const QByteArray resized = imaging::encodeJpeg(small);
    const bool write = state.range(0) != 0;
    data::Tdsrc dsrc;
    for (auto _ : state) {
        state.PauseTiming();
        workOn(dsrc, source);
        state.ResumeTiming();
        data::Query& staff = dsrc.QAllStaff;
        staff.open();
        dsrc.src.beginTransaction();
        int n = 0;
        for (staff.first(); !staff.eof(); staff.next()) {
            benchmark::DoNotOptimize(staff.blob(QStringLiteral("photo")).size());
            if (!write)
                continue;
            staff.edit();
            staff.setBlob(QStringLiteral("photo"), resized);
            staff.post();
            if (++n % 64 == 0) {
                dsrc.src.commit();
                dsrc.src.beginTransaction();
            }
        }
        dsrc.src.commit();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
    state.counters["photoBytes"] = double(bigPhoto().size());
}
BENCHMARK(stageReadAndWrite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

void stageDecode(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(imaging::decodeJpeg(bigPhoto()).row(0));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(stageDecode)->Unit(benchmark::kMillisecond);

void stageResample(benchmark::State& state)
{
    const imaging::Picture source = imaging::decodeJpeg(bigPhoto());
    imaging::Picture target;
    for (auto _ : state) {
        imaging::ResizeInto(source, target, exchange::photoWidth, exchange::photoHeight);
        benchmark::DoNotOptimize(target.row(0));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(stageResample)->Unit(benchmark::kMillisecond);

void stageEncode(benchmark::State& state)
{
    imaging::Picture target;
    imaging::ResizeInto(imaging::decodeJpeg(bigPhoto()), target, exchange::photoWidth,
                        exchange::photoHeight);
    for (auto _ : state)
        benchmark::DoNotOptimize(imaging::encodeJpeg(target).size());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(stageEncode)->Unit(benchmark::kMillisecond);

// --- backup --------------------------------------------------------------------------------

QString largeDatabase(int megabytes)
{
    return templateDatabase(
        QStringLiteral("large%1.mdb").arg(megabytes),
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n "
                       "WHERE i < %1) INSERT INTO stafftbl (gid, name, photo) SELECT 0, "
                       "'Member ' || i, randomblob(262144) FROM n")
            .arg(megabytes * 4 - 1));
}

void backup(benchmark::State& state)
{
    const QString source = largeDatabase(int(state.range(0)));
    data::Tdsrc dsrc;
    dsrc.connectTo(source);
    const QString target = path(QStringLiteral("backup.mdb"));
    for (auto _ : state) {
        if (!exchange::CopyDatabaseFile(dsrc.src, target))
            state.SkipWithError("copy failed");
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(source).size());
}
BENCHMARK(backup)->Arg(500)->Unit(benchmark::kMillisecond)->Iterations(3);

void plainFileCopy(benchmark::State& state)
{
    const QString source = largeDatabase(int(state.range(0)));
    const std::filesystem::path from = source.toStdString();
    const std::filesystem::path to = path(QStringLiteral("plain.mdb")).toStdString();
    for (auto _ : state)
        std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    state.SetBytesProcessed(state.iterations() * QFileInfo(source).size());
}
BENCHMARK(plainFileCopy)->Arg(500)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QuietAnswers answers(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
