// Imports and photo passes of two stations on one server database, and a station whose role
// may only read. (A server that goes away in the middle of an import is stopped by the
// command-line tests, on a server of their own.)
#include "PgPassword.h"
#include "PgServer.h"
#include "RecordingProgress.h"
#include "ScriptedAnswers.h"
#include "data/Connection.h"
#include "data/Error.h"
#include "data/Query.h"
#include "data/ServerSchema.h"
#include "data/Tdsrc.h"
#include "exchange/BatchLock.h"
#include "exchange/PhotoDownsize.h"
#include "exchange/PhotoFolderImport.h"
#include "exchange/SheetTable.h"
#include "exchange/StaffImport.h"
#include "imaging/Jpeg.h"
#include "imaging/Picture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <thread>

namespace {

using exchange::BatchLock;
using exchange::SheetTable;
using testsupport::ExtraPassword;
using testsupport::PgServer;
using Row = std::vector<QVariant>;
using namespace std::chrono_literals;

SheetTable staffSheet(int members)
{
    std::vector<Row> rows;
    for (int i = 0; i < members; ++i)
        rows.push_back(Row {i % 2 ? "Sales" : "Stores", QStringLiteral("Member %1").arg(i)});
    return SheetTable({"GROUP", "NAME"}, std::move(rows));
}

QByteArray jpeg(int width, int height)
{
    imaging::Picture picture(width, height);
    picture.setPixel(0, 0, qRgb(200, 10, 10));
    return imaging::encodeJpeg(picture);
}

class ServerBatchTest : public testing::Test
{
protected:
    void SetUp() override
    {
        server = PgServer::instance();
        if (!server)
            GTEST_SKIP() << PgServer::skipReason().toStdString();
        database = server->createDatabase();
        address = server->address(database);
        {
            data::Connection setup;
            setup.setConnectionString(data::buildConnectionString(address, {}));
            setup.open();
            data::createServerTables(setup);
        }
        first.connectTo(address);
        second.connectTo(address);
    }

    qint64 count(const QString& sql)
    {
        return server->superuser(database, sql).trimmed().toLongLong();
    }
    qint64 members() { return count(QStringLiteral("select count(*) from stafftbl")); }
    bool import(data::Tdsrc& dsrc, const SheetTable& sheet)
    {
        dsrc.QAllStaff.open();
        return exchange::importStaff(dsrc, sheet, progress);
    }
    // The batch lock is free: a third station takes it at once.
    void expectLockFree()
    {
        data::Connection third;
        third.setConnectionString(data::buildConnectionString(address, {}));
        third.open();
        EXPECT_NO_THROW(BatchLock(third, 0ms));
    }

    PgServer* server = nullptr;
    QString address;
    QString database;
    data::Tdsrc first;
    data::Tdsrc second;
    ScriptedAnswers answers;
    RecordingProgress progress {&answers};
};

TEST_F(ServerBatchTest, ABatchWaitsForAnotherStationsAndIsRefusedWhenThatOneLasts)
{
    const SheetTable sheet = staffSheet(20);
    QTemporaryDir photos;
    QFile file(photos.filePath(QStringLiteral("Member 1.jpg")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(jpeg(120, 160));
    file.close();
    {
        const BatchLock held(first.src);
        const std::vector<std::pair<const char*, std::function<void()>>> batches = {
            {"import", [&] { import(second, sheet); }},
            {"resize-all", [&] { exchange::resizeAllPhotos(second, progress); }},
            {"import-photos",
             [&] { exchange::importPhotoFolder(second, photos.path(), {}, progress); }},
        };
        for (const auto& [what, run] : batches) {
            SCOPED_TRACE(what);
            QElapsedTimer waited;
            waited.start();
            try {
                run();
                ADD_FAILURE() << "ran beside another station's batch";
            } catch (const data::Error& e) {
                EXPECT_EQ(e.message(), exchange::batchBusyMessage);
            }
            EXPECT_GE(waited.elapsed(), BatchLock::defaultWait.count() - 50);
        }
        EXPECT_TRUE(answers.shown().empty());
        EXPECT_EQ(members(), 0);
    }

    // A holder that ends within the wait: the import waits for it and then runs.
    std::optional<BatchLock> held;
    held.emplace(first.src);
    std::thread release([&] {
        std::this_thread::sleep_for(500ms);
        held.reset();
    });
    const bool done = import(second, sheet);
    release.join();
    EXPECT_TRUE(done);
    EXPECT_EQ(members(), 20);

    // The same workbook from the other station: every member is found, none added twice.
    EXPECT_TRUE(import(first, sheet));
    EXPECT_EQ(members(), 20);
    EXPECT_EQ(count(QStringLiteral("select count(*) from grptbl where gdesc = 'Sales'")), 1);
    EXPECT_EQ(count(QStringLiteral("select count(distinct name) from stafftbl")), 20);
    EXPECT_TRUE(answers.shown().empty()) << answers.texts().join(u'\n').toStdString();
    expectLockFree();
}

TEST_F(ServerBatchTest, AReadOnlyRoleBrowsesAndEveryChangeIsRefusedWithTheServersReason)
{
    EXPECT_TRUE(import(first, staffSheet(3)));
    {
        data::Query photo(first.src, QStringLiteral("photo"));
        photo.setSql(QStringLiteral("select * from stafftbl where name = 'Member 1'"));
        photo.open();
        photo.edit();
        photo.setValue(QStringLiteral("photo"), jpeg(600, 800));
        photo.post();
    }
    const QString reader = database + QStringLiteral("_reader");
    server->superuser(database,
                      QStringLiteral("create role %1 login password 'reader-pw';"
                                     "grant select on all tables in schema public to %1;")
                          .arg(reader));
    const ExtraPassword password(reader, QStringLiteral("reader-pw"));
    data::Tdsrc station;
    station.connectTo(server->address(database, reader));
    const auto rows = [this] {
        return server->superuser(
            database,
            QStringLiteral("select name, post, md5(photo), changedutc, rowversion from "
                           "stafftbl order by seq; select * from grptbl order by seq"));
    };
    const QString before = rows();
    EXPECT_EQ(station.staffCount(), 3);

    // An import: refused at its first write, nothing of it kept.
    EXPECT_FALSE(import(station, staffSheet(6)));
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown().front().text, QStringLiteral("Unable to post the data."));
    EXPECT_TRUE(answers.shown().front().reason.startsWith(
        QStringLiteral("The server refused the change: permission denied for table")))
        << answers.shown().front().reason.toStdString();
    answers.clear();

    // The photo pass: the oversized photo is refused, the pass ends as a failure.
    exchange::resizeAllPhotos(station, progress);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown().front().text, QStringLiteral("Operation Failed."));
    EXPECT_EQ(answers.shown().front().reason,
              QStringLiteral("The server refused the change: permission denied for table "
                             "stafftbl"));
    answers.clear();

    // A member saved from the member list.
    data::Query& member = station.QAllStaff;
    member.open();
    member.edit();
    member.setValue(QStringLiteral("post"), QStringLiteral("Clerk"));
    try {
        member.post();
        ADD_FAILURE() << "a read-only role saved a member";
    } catch (const data::Error& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("The server refused the change: permission "
                                 "denied for table stafftbl"));
    }
    member.cancel();

    EXPECT_EQ(rows(), before);
    expectLockFree();
}

} // namespace
