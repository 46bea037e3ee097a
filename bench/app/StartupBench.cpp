// Start-up of the desktop window on a database of 10,000 members with 50 KB photos, all in
// the group the window shows first: from the data module's creation (opening the file with
// its key, settings, window construction) until the window is shown and its first paint is
// done. Its floor, in the same run: a plain QMainWindow with a table view, shown and painted
// once, over the same 10,000 rows read once through SQLCipher with the same key (the member
// columns, without the photo and the change and print times).
// QApplication itself is made once, before both, and not timed. BM_StartupWindowStamped
// starts on a file whose members all carry change and print times.
#include "NoisePhoto.h"
#include "QuietAnswers.h"
#include "TempDatabase.h"
#include "app/TMelbrin.h"
#include "data/Connection.h"
#include "data/Tdsrc.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QMainWindow>
#include <QTableView>
#include <benchmark/benchmark.h>
#include <optional>
#include <sqlcipher/sqlite3.h>
#include <vector>

namespace {

constexpr int members = 10000;

// stamped: every member carries change and print times, which the file keeps after the
// photo, as a file does once its members have been edited and printed.
struct StartupDatabase
{
    TempDatabase db;
    explicit StartupDatabase(bool stamped)
    {
        const QByteArray photo = noisePhoto();
        data::Connection c;
        c.setConnectionString(data::buildConnectionString(db.path(), data::Tdsrc::password()));
        c.open();
        c.beginTransaction();
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(
            c.handle(),
            "insert into stafftbl (gid, cardno, name, cname, staffno, post, datejoin,"
            " expiry, remark, photo, changedutc, printedutc) values (0, 0, ?, '', ?, 'Clerk',"
            " '5/03/2004', '5/03/2009', '', ?, ?, ?)",
            -1, &st, nullptr);
        for (int i = 0; i < members; ++i) {
            const QByteArray name = QStringLiteral("Member %1").arg(i, 5, 10, QChar(u'0')).toUtf8();
            const QByteArray no = QByteArray::number((i * 7919) % members);
            sqlite3_bind_text(st, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 2, no.constData(), int(no.size()), SQLITE_TRANSIENT);
            sqlite3_bind_blob(st, 3, photo.constData(), int(photo.size()), SQLITE_STATIC);
            if (stamped) {
                sqlite3_bind_text(st, 4, "2026-03-01T09:00:00Z", -1, SQLITE_STATIC);
                sqlite3_bind_text(st, 5, "2026-03-02T09:00:00Z", -1, SQLITE_STATIC);
            } else {
                sqlite3_bind_null(st, 4);
                sqlite3_bind_null(st, 5);
            }
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        c.commit();
    }
};

const QString& databasePath(bool stamped = false)
{
    static StartupDatabase plain(false);
    static const QString plainPath = plain.db.path();
    if (!stamped)
        return plainPath;
    static StartupDatabase withTimes(true);
    static const QString stampedPath = withTimes.db.path();
    return stampedPath;
}

// Runs the events until widget has been painted once.
void waitForPaint(QWidget* widget)
{
    struct Watch : QObject
    {
        bool painted = false;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint)
                painted = true;
            return false;
        }
    } watch;
    widget->installEventFilter(&watch);
    while (!watch.painted)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    widget->removeEventFilter(&watch);
}

void BM_StartupWindow(benchmark::State& state)
{
    QuietAnswers answers;
    const QString& path = databasePath(state.range(0) != 0);
    int listed = 0;
    for (auto _ : state) {
        std::optional<data::Tdsrc> dsrc;
        std::optional<app::TMelbrin> w;
        dsrc.emplace();
        w.emplace(*dsrc, path);
        w->show();
        waitForPaint(w->dbgInfo->viewport());
        state.PauseTiming();
        listed = w->dbgInfo->model()->rowCount();
        w.reset();
        dsrc.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["members_listed"] = listed;
}

// The rows as a plain model holds them: the member's columns the window can show, as
// QVariants; neither the photo nor the change and print times, which the window does not show.
class RowsModel : public QAbstractTableModel
{
public:
    static constexpr int columns = 10;
    std::vector<std::vector<QVariant>> rows;
    int rowCount(const QModelIndex& = {}) const override { return int(rows.size()); }
    int columnCount(const QModelIndex& = {}) const override { return columns; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        return rows[size_t(index.row())][size_t(index.column())];
    }
};

void readRows(RowsModel& model)
{
    sqlite3* db = nullptr;
    const QByteArray file = databasePath().toUtf8();
    const QByteArray key = data::Tdsrc::password().toUtf8();
    sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_key_v2(db, "main", key.constData(), int(key.size()));
    sqlite3_exec(db, "PRAGMA cipher_page_size = 4096", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "select seq, gid, cardno, name, cname, staffno, post, datejoin, expiry,"
                       " remark from stafftbl where gid = 0"
                       " order by name",
                       -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        std::vector<QVariant> row(RowsModel::columns);
        for (int c = 0; c < RowsModel::columns; ++c) {
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_INTEGER:
                row[size_t(c)] = qlonglong(sqlite3_column_int64(st, c));
                break;
            case SQLITE_TEXT:
                row[size_t(c)]
                    = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                        sqlite3_column_bytes(st, c));
                break;
            default:
                break;
            }
        }
        model.rows.push_back(std::move(row));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
}

void BM_StartupFloor(benchmark::State& state)
{
    int listed = 0;
    for (auto _ : state) {
        std::optional<QMainWindow> w;
        w.emplace();
        w->setGeometry(260, 191, 652, 426);
        auto* view = new QTableView(&*w);
        auto* model = new RowsModel;
        model->setParent(view);
        readRows(*model);
        view->setModel(model);
        w->setCentralWidget(view);
        w->show();
        waitForPaint(view->viewport());
        state.PauseTiming();
        listed = model->rowCount();
        w.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["members_listed"] = listed;
}

BENCHMARK(BM_StartupFloor)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_StartupWindow)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(3.0);
// The same start with every member stamped: the times lie beyond each photo's pages.
BENCHMARK(BM_StartupWindow)
    ->Name("BM_StartupWindowStamped")
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", QByteArray("/tmp/melbrin-startup-bench-config"));
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setOrganizationName(QStringLiteral("Tavrik"));
    QApplication::setApplicationName(QStringLiteral("Melbrin"));
    databasePath();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
