// The member list on a large database: 10,000 members with 50 KB photos in 20 groups.
// Switching group, a title click and the status bar update should each take under 50 ms,
// with memory that does not grow with the photos.
#include "NoisePhoto.h"
#include "QuietAnswers.h"
#include "TempDatabase.h"
#include "app/TMelbrin.h"
#include "data/Answers.h"
#include "data/Connection.h"
#include "data/Query.h"
#include "imaging/Jpeg.h"
#include "imaging/Picture.h"

#include <QApplication>
#include <QComboBox>
#include <QRandomGenerator>
#include <QSettings>
#include <benchmark/benchmark.h>
#include <sqlcipher/sqlite3.h>
#include <sys/resource.h>

namespace {

constexpr int members = 10000;
constexpr int groups = 20;

struct LargeDatabase
{
    TempDatabase db;
    qint64 photoBytes = 0;
    LargeDatabase()
    {
        const QByteArray photo = noisePhoto();
        photoBytes = photo.size();
        data::Connection c;
        c.setConnectionString(data::buildConnectionString(db.path(), data::Tdsrc::password()));
        c.open();
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

LargeDatabase& database()
{
    static LargeDatabase db;
    return db;
}

struct Window
{
    QuietAnswers answers;
    data::Tdsrc dsrc;
    app::TMelbrin w;
    Window()
        : w(dsrc, database().db.path())
    { }
};

long maxRssKb()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void BM_SwitchGroup(benchmark::State& state)
{
    Window win;
    int g = 0;
    for (auto _ : state) {
        win.w.lstGroup->setCurrentIndex(g++ % groups);
        win.w.lstGroupClick();
    }
    state.counters["members_listed"] = win.dsrc.QStaff.rowCount();
    state.counters["photo_KB"] = double(database().photoBytes) / 1024.0;
    state.counters["max_rss_MB"] = double(maxRssKb()) / 1024.0;
}

void BM_TitleClick(benchmark::State& state)
{
    Window win;
    int column = 0;
    for (auto _ : state)
        win.w.dbgInfoTitleClick(column++ % 3);
    state.counters["max_rss_MB"] = double(maxRssKb()) / 1024.0;
}

void BM_UpdateStatusBar(benchmark::State& state)
{
    Window win;
    for (auto _ : state)
        win.w.UpdateStatusBar();
    state.counters["max_rss_MB"] = double(maxRssKb()) / 1024.0;
}

BENCHMARK(BM_SwitchGroup)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_TitleClick)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_UpdateStatusBar)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", QByteArray("/tmp/melbrin-bench-config"));
    QApplication app(argc, argv);
    database();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
