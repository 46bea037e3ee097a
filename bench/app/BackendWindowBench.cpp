// Switching group in the main window at 10,000 members with 50 KB photos in 20 groups, on
// the encrypted file and on a PostgreSQL server on this machine (the test harness's private
// cluster, or one this program starts), side by side in one run. Target: 50 ms on each.
// Beside it, reported only: the backup of the same database from each (the file's page copy,
// the server's rows into a new keyed file).
#include "NoisePhoto.h"
#include "PgServer.h"
#include "QuietAnswers.h"
#include "TempDatabase.h"
#include "app/TMelbrin.h"
#include "data/Connection.h"
#include "data/Tdsrc.h"
#include "exchange/DatabaseBackup.h"
#include "exchange/DatabaseCopy.h"
#include "imaging/Progress.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlcipher/sqlite3.h>

namespace {

constexpr int members = 10000;
constexpr int groups = 20;

// The file, filled straight through the engine, and the same database copied to a server.
struct Databases
{
    TempDatabase file;
    QString server; // empty when no server could be started
    QString serverProblem;

    Databases()
    {
        fill();
        testsupport::PgServer* pg = testsupport::PgServer::instance();
        if (!pg) {
            serverProblem = testsupport::PgServer::skipReason();
            return;
        }
        server = pg->address(pg->createDatabase(QStringLiteral("bench")));
        data::Connection source;
        openDatabase(source, file.path());
        imaging::NullProgress progress;
        exchange::copyToServer(source, server, progress);
        pg->superuser(server.mid(server.lastIndexOf(u'/') + 1), QStringLiteral("analyze"));
    }

    void fill()
    {
        const QByteArray photo = noisePhoto();
        data::Connection c;
        openDatabase(c, file.path());
        c.beginTransaction();
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(c.handle(), "insert into grptbl (gid, gdesc) values (?, ?)", -1, &st,
                           nullptr);
        for (int g = 1; g < groups; ++g) {
            const QByteArray name = QStringLiteral("Group %1").arg(g, 2, 10, QChar(u'0')).toUtf8();
            sqlite3_bind_int(st, 1, g);
            sqlite3_bind_text(st, 2, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_prepare_v2(
            c.handle(),
            "insert into stafftbl (gid, cardno, name, cname, staffno, post, datejoin,"
            " expiry, remark, photo) values (?, 0, ?, '', ?, '', '5/03/2004',"
            " '5/03/2009', '', ?)",
            -1, &st, nullptr);
        for (int i = 0; i < members; ++i) {
            const QByteArray name = QStringLiteral("Member %1").arg(i, 5, 10, QChar(u'0')).toUtf8();
            const QByteArray no = QByteArray::number((i * 7919) % members);
            sqlite3_bind_int(st, 1, i % groups);
            sqlite3_bind_text(st, 2, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 3, no.constData(), int(no.size()), SQLITE_TRANSIENT);
            sqlite3_bind_blob(st, 4, photo.constData(), int(photo.size()), SQLITE_STATIC);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        c.commit();
    }
};

Databases& databases()
{
    static Databases d;
    return d;
}

struct Window
{
    QuietAnswers answers;
    data::Tdsrc dsrc;
    app::TMelbrin w;
    explicit Window(const QString& database)
        : w(dsrc, database)
    { }
};

void BackendSwitchGroup(benchmark::State& state, bool server)
{
    const QString database = server ? databases().server : databases().file.path();
    if (database.isEmpty()) {
        state.SkipWithError(qPrintable(databases().serverProblem));
        return;
    }
    Window win(database);
    int g = 0;
    for (auto _ : state) {
        win.w.lstGroup->setCurrentIndex(g++ % groups);
        win.w.lstGroupClick();
    }
    state.counters["members_listed"] = win.dsrc.QStaff.rowCount();
}

void BackendBackup(benchmark::State& state, bool server)
{
    const QString database = server ? databases().server : databases().file.path();
    if (database.isEmpty()) {
        state.SkipWithError(qPrintable(databases().serverProblem));
        return;
    }
    data::Connection source;
    openDatabase(source, database);
    QTemporaryDir out;
    const QString copy = out.filePath(QStringLiteral("backup.mdb"));
    QString reason;
    for (auto _ : state) {
        if (!exchange::CopyDatabaseFile(source, copy, &reason))
            state.SkipWithError(qPrintable(reason));
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(copy).size());
}

BENCHMARK_CAPTURE(BackendSwitchGroup, file, false)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BackendSwitchGroup, server, true)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BackendBackup, file, false)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(BackendBackup, server, true)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", QByteArray("/tmp/melbrin-bench-config"));
    QApplication app(argc, argv);
    databases();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
