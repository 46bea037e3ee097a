// The import of an .xls workbook into a database that already holds its members, the way a
// user's import runs: the reader process parses the file, its answer is checked and decoded,
// the members are read and every row is written. Beside it the floor: libfreexl reading
// every cell of the same file in this process, measured in the same run.
#include "PgServer.h"
#include "data/Connection.h"
#include "data/Schema.h"
#include "data/Tdsrc.h"
#include "exchange/DatabaseCopy.h"
#include "exchange/SheetTable.h"
#include "exchange/StaffImport.h"
#include "exchange/WorkbookReader.h"
#include "imaging/Progress.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <freexl.h>

namespace {

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

const exchange::WorkbookReader& reader()
{
    static const exchange::WorkbookReader instance(QStringLiteral(MELBRIN_XLSREADER));
    return instance;
}

// A RECORDS sheet of that many members in 20 groups with every column the import reads,
// written by python3-xlwt once.
QString workbook(int members)
{
    const QString file = folder().filePath(QStringLiteral("staff%1.xls").arg(members));
    if (QFileInfo::exists(file))
        return file;
    QString rows = QStringLiteral(
        "[\"NAME\",\"GROUP\",\"CHINESE_NAME\",\"STAFF_ID\",\"POST\",\"DATE_JOIN\"]");
    for (int i = 0; i < members; ++i)
        rows += QStringLiteral(",[\"Member %1\",\"Group %2\",\"陳大文%3\",%3,\"%4\","
                               "{\"date\":\"20%5-0%6-1%7\"}]")
                    .arg(i, 6, 10, QChar(u'0'))
                    .arg(i % 20)
                    .arg(i)
                    .arg(i % 3 == 0 ? QStringLiteral("Manager") : QStringLiteral("Clerk"))
                    .arg(10 + i % 15)
                    .arg(1 + i % 9)
                    .arg(i % 10);
    QProcess script;
    script.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(MAKE_WORKBOOK), file});
    script.write(
        QStringLiteral("{\"sheets\":[{\"name\":\"RECORDS\",\"rows\":[%1]}]}").arg(rows).toUtf8());
    script.closeWriteChannel();
    script.waitForFinished(-1);
    if (!QFileInfo::exists(file))
        qFatal("make_workbook.py wrote no workbook");
    return file;
}

// A starter database holding the workbook's members and groups: the workbook imported once.
QString filledDatabase(int members)
{
    const QString file = folder().filePath(QStringLiteral("members%1.mdb").arg(members));
    if (QFileInfo::exists(file))
        return file;
    data::createStarterDatabase(file, data::Tdsrc::password());
    data::Tdsrc dsrc;
    dsrc.connectTo(file);
    imaging::NullProgress progress;
    dsrc.QAllStaff.open();
    if (!exchange::importStaff(dsrc, reader().read(workbook(members)), progress))
        qFatal("the first import was refused");
    return file;
}

// The same database with a photo of 24 KiB for every member.
QString databaseWithPhotos(int members)
{
    const QString file = folder().filePath(QStringLiteral("photos%1.mdb").arg(members));
    if (QFileInfo::exists(file))
        return file;
    QFile::copy(filledDatabase(members), file);
    data::Connection connection;
    connection.setConnectionString(data::buildConnectionString(file, data::Tdsrc::password()));
    connection.open();
    connection.execute(QStringLiteral("UPDATE stafftbl SET photo = randomblob(24576)"));
    return file;
}

void importInto(benchmark::State& state, const QString& source)
{
    const int members = int(state.range(0));
    const QString file = workbook(members);
    const QString work = folder().filePath(QStringLiteral("work.mdb"));
    data::Tdsrc dsrc;
    imaging::NullProgress progress;
    for (auto _ : state) {
        state.PauseTiming();
        dsrc.src.close();
        QFile::remove(work);
        QFile::copy(source, work);
        dsrc.connectTo(work);
        dsrc.QAllStaff.close();
        state.ResumeTiming();
        dsrc.QAllStaff.open();
        if (!exchange::importStaff(dsrc, reader().read(file), progress))
            state.SkipWithError("import refused");
    }
    state.SetItemsProcessed(state.iterations() * members);
}

// The import of the workbook into a fresh copy of the database holding its members.
void importWorkbook(benchmark::State& state)
{
    importInto(state, filledDatabase(int(state.range(0))));
}

void importWorkbookOverPhotos(benchmark::State& state)
{
    importInto(state, databaseWithPhotos(int(state.range(0))));
}

// libfreexl opening the workbook, finding the sheet and reading every cell's value.
void readCellsWithFreexl(benchmark::State& state)
{
    const QByteArray file = QFile::encodeName(workbook(int(state.range(0))));
    for (auto _ : state) {
        const void* book = nullptr;
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (freexl_open(file.constData(), &book) != FREEXL_OK
            || freexl_select_active_worksheet(book, 0) != FREEXL_OK
            || freexl_worksheet_dimensions(book, &rows, &columns) != FREEXL_OK) {
            state.SkipWithError("freexl cannot read the workbook");
            break;
        }
        std::size_t seen = 0;
        FreeXL_CellValue value;
        for (unsigned int r = 0; r < rows; ++r) {
            for (unsigned short c = 0; c < columns; ++c) {
                if (freexl_get_cell_value(book, r, c, &value) == FREEXL_OK)
                    seen += value.type;
            }
        }
        benchmark::DoNotOptimize(seen);
        freexl_close(book);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The same import on each backend, into a database that holds the workbook's members (as
// above) or into a new one: a fresh copy of the file, or a new database on the server this
// program reaches (the test harness's private cluster, or one it starts).
enum class Backend { File, Server };

void importOnBackend(benchmark::State& state, Backend backend, bool filled)
{
    const int members = int(state.range(0));
    const QString file = workbook(members);
    testsupport::PgServer* pg = nullptr;
    if (backend == Backend::Server && !(pg = testsupport::PgServer::instance())) {
        state.SkipWithError(qPrintable(testsupport::PgServer::skipReason()));
        return;
    }
    QString starter = folder().filePath(QStringLiteral("starter.mdb"));
    if (!QFileInfo::exists(starter))
        data::createStarterDatabase(starter, data::Tdsrc::password());
    const QString source = filled ? filledDatabase(members) : starter;
    const QString work = folder().filePath(QStringLiteral("work.mdb"));
    data::Tdsrc dsrc;
    imaging::NullProgress progress;
    for (auto _ : state) {
        state.PauseTiming();
        dsrc.src.close();
        QString database = work;
        if (pg) {
            database = pg->address(pg->createDatabase(QStringLiteral("import")));
            data::Connection from;
            from.setConnectionString(data::buildConnectionString(source, data::Tdsrc::password()));
            from.open();
            exchange::copyToServer(from, database, progress);
        } else {
            QFile::remove(work);
            QFile::copy(source, work);
        }
        dsrc.connectTo(database);
        dsrc.QAllStaff.close();
        state.ResumeTiming();
        dsrc.QAllStaff.open();
        if (!exchange::importStaff(dsrc, reader().read(file), progress))
            state.SkipWithError("import refused");
    }
    state.SetItemsProcessed(state.iterations() * members);
}

void BackendImport(benchmark::State& state, Backend backend)
{
    importOnBackend(state, backend, true);
}

void BackendImportNew(benchmark::State& state, Backend backend)
{
    importOnBackend(state, backend, false);
}

// Each floor runs just before the import of the same file.
BENCHMARK(readCellsWithFreexl)->Arg(10'000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(importWorkbook)->Arg(10'000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(readCellsWithFreexl)->Arg(20'000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(importWorkbook)->Arg(20'000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(importWorkbookOverPhotos)->Arg(10'000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BackendImport, file, Backend::File)
    ->Arg(10'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BackendImport, server, Backend::Server)
    ->Arg(10'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BackendImportNew, file, Backend::File)
    ->Arg(10'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BackendImportNew, server, Backend::Server)
    ->Arg(10'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace
