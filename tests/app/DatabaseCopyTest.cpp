#include "CopyFixture.h"
#include "PgServer.h"
#include "RunMelbrin.h"
#include "ScriptedAnswers.h"
#include "TempDatabase.h"
#include "data/Connection.h"
#include "data/DatabaseKey.h"
#include "data/Engine.h"
#include "data/Query.h"
#include "exchange/DatabaseBackup.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

namespace {

QStringList folderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                  | QDir::NoDotAndDotDot);
}

// Exit 1 and one line on standard error.
void refused(const Run& r, const QString& says)
{
    QVERIFY2(r.code == 1, qPrintable(r.err));
    QVERIFY2(r.err.startsWith(QStringLiteral("melbrin: ")) && r.err.count(u'\n') == 1,
             qPrintable(r.err));
    QVERIFY2(r.err.contains(says), qPrintable(r.err));
}

void sameDatabase(const QString& a, const QString& b, const QStringList& leaveOut = {})
{
    const QString difference
        = firstDifference(dumpCardTables(a, leaveOut), dumpCardTables(b, leaveOut));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

testsupport::PgServer* server()
{
    return testsupport::PgServer::instance();
}

#define REQUIRE_SERVER()                                                                           \
    if (!server())                                                                                 \
    QSKIP(qPrintable(testsupport::PgServer::skipReason()))

// A server database the source was copied into; empty (and the reason said) when the copy
// failed.
QString copiedServer(const QString& source)
{
    const QString address = server()->address(server()->createDatabase(QStringLiteral("copy")));
    const Run r = melbrin({"copy", source, address});
    if (r.code == 0)
        return address;
    qWarning("copy to the server failed: %s", qPrintable(r.err));
    return {};
}

int memberCount(const QString& dataSource)
{
    data::Connection c;
    openCardDatabase(c, dataSource);
    const auto count = c.engine().prepare(QStringLiteral("select count(*) from stafftbl"));
    count->step();
    return int(count->value(0).toLongLong());
}

} // namespace

class DatabaseCopyTest : public QObject
{
    Q_OBJECT
    TempDatabase source;

private slots:
    void initTestCase()
    {
        data::Connection c;
        openCardDatabase(c, source.path());
        fillCardDatabase(c);
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("says");
        QTest::newRow("copy alone") << QStringList {"copy"} << "'copy' needs SOURCE DEST";
        QTest::newRow("one database") << QStringList {"copy", "a.mdb"} << "needs SOURCE DEST";
        QTest::newRow("three") << QStringList {"copy", "a", "b", "c"} << "too many arguments: c";
        QTest::newRow("empty name") << QStringList {"copy", "a.mdb", ""} << "not an empty name";
        QTest::newRow("no address") << QStringList {"init-server"} << "needs URI";
        QTest::newRow("a file") << QStringList {"init-server", "cardinfo.mdb"}
                                << "needs a postgresql:// address, not 'cardinfo.mdb'";
    }
    void usage()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, says);
        const Run r = melbrin(args);
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(says), qPrintable(r.err));
    }

    void helpNamesTheCommands()
    {
        const Run r = melbrin({"--help"});
        QVERIFY(r.out.contains(QStringLiteral("init-server")));
        QVERIFY(r.out.contains(QStringLiteral("copy ")));
        QVERIFY(melbrin({"copy", "--help"}).out.contains(QStringLiteral("--force")));
    }

    // A keyed file with every row and number of the source; the counter of group numbers
    // goes on where the source's stood, past the group that was removed.
    void fileToFile()
    {
        QTemporaryDir out;
        const QString copy = out.filePath(QStringLiteral("copy.mdb"));
        const Run r = melbrin({"copy", source.path(), copy});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.err, QStringLiteral("melbrin: Database copied.\n"));
        sameDatabase(source.path(), copy);
        QCOMPARE(nextGroupNumber(copy), nextGroupNumber(source.path()));
        QCOMPARE(folderEntries(out.path()), QStringList {QStringLiteral("copy.mdb")});
        // The program works on it as on any database.
        QVERIFY(melbrin({"members", "--database", copy}).out.contains(QStringLiteral("陳大文")));
    }

    // An existing file is replaced only when asked, and then in one step; the source and
    // what is no regular file are never written.
    void destinationsRefused()
    {
        QTemporaryDir out;
        const QString old = out.filePath(QStringLiteral("old.mdb"));
        QVERIFY(QFile::copy(QStringLiteral(MELBRIN_STARTER_DB), old));
        const QByteArray before = digestOf(old);
        refused(melbrin({"copy", source.path(), old}), QStringLiteral("give --force"));
        QCOMPARE(digestOf(old), before);

        const QByteArray sourceBytes = digestOf(source.path());
        const QString sameFile = source.dir() + QStringLiteral("/./cardinfo.mdb");
        refused(melbrin({"copy", source.path(), sameFile, "--force"}),
                QStringLiteral("it is the database itself"));
        QCOMPARE(digestOf(source.path()), sourceBytes);
        refused(melbrin({"copy", source.path(), out.path(), "--force"}),
                QStringLiteral("it is a folder"));
        refused(melbrin({"copy", out.filePath(QStringLiteral("missing.mdb")),
                         out.filePath(QStringLiteral("new.mdb"))}),
                QStringLiteral("Could not find file"));
        QCOMPARE(folderEntries(out.path()), QStringList {QStringLiteral("old.mdb")});

        QCOMPARE(melbrin({"copy", source.path(), old, "--force"}).code, 0);
        sameDatabase(source.path(), old);
    }

    // A source the destination cannot take (here settings of another program with one key
    // twice) fails part way: the earlier file stays byte for byte, nothing is left beside it.
    void aFailedCopyLeavesTheOldFile()
    {
        TempDatabase odd;
        odd.exec(QStringLiteral("drop table settings; create table settings (key text, value "
                                "text); insert into settings values ('card.output', 'a'), "
                                "('card.output', 'b')"));
        addMember(odd, 0, QStringLiteral("Someone"));
        QTemporaryDir out;
        const QString old = out.filePath(QStringLiteral("old.mdb"));
        QVERIFY(QFile::copy(source.path(), old));
        const QByteArray before = digestOf(old);
        refused(melbrin({"copy", odd.path(), old, "--force"}),
                QStringLiteral("Database cannot be copied."));
        QCOMPARE(digestOf(old), before);
        refused(melbrin({"copy", odd.path(), out.filePath(QStringLiteral("new.mdb"))}),
                QStringLiteral("UNIQUE"));
        QCOMPARE(folderEntries(out.path()), QStringList {QStringLiteral("old.mdb")});
    }

    // A file of an older version, without the settings table and the member times, is copied
    // as it is; the copy has the newer tables, empty.
    void anOlderFile()
    {
        QTemporaryDir out;
        const QString older = out.filePath(QStringLiteral("older.mdb"));
        QVERIFY(QFile::copy(QStringLiteral(OLDER_DATABASE), older));
        QFile::setPermissions(older, QFile::ReadOwner); // read-only media
        const QByteArray before = digestOf(older);
        const QString copy = out.filePath(QStringLiteral("copy.mdb"));
        const Run r = melbrin({"copy", older, copy});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(digestOf(older), before);
        const QStringList times {QStringLiteral("stafftbl.changedutc"),
                                 QStringLiteral("stafftbl.printedutc")};
        const QList<TableDump> was = dumpCardTables(older);
        QList<TableDump> is = dumpCardTables(copy, times);
        QCOMPARE(is.last().rows.size(), 0);
        is.removeLast(); // the settings table the older file lacks
        const QString difference = firstDifference(was, is);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    // A new server database gets the card tables once; the program then works on it.
    void initServer()
    {
        REQUIRE_SERVER();
        const QString address = server()->address(server()->createDatabase(QStringLiteral("init")));
        Run r = melbrin({"init-server", address});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("card tables were created")), qPrintable(r.err));
        r = melbrin({"members", "--database", address});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.out.count(u'\n'), 1); // the heading alone
        const QList<TableDump> created = dumpCardTables(address);
        refused(melbrin({"init-server", address}), QStringLiteral("already has card tables"));
        QCOMPARE(dumpCardTables(address), created);
        refused(melbrin({"init-server", server()->address(QStringLiteral("no_such_database"))}),
                QStringLiteral("no_such_database"));
    }

    // File to server (fresh, or made by init-server) and back: the same database, and new
    // groups on the server are numbered after every number the file had given.
    void fileToServerToFile_data()
    {
        QTest::addColumn<bool>("initialised");
        QTest::newRow("empty database") << false;
        QTest::newRow("after init-server") << true;
    }
    void fileToServerToFile()
    {
        QFETCH(bool, initialised);
        REQUIRE_SERVER();
        const QString address = server()->address(server()->createDatabase(QStringLiteral("move")));
        if (initialised)
            QCOMPARE(melbrin({"init-server", address}).code, 0);
        Run r = melbrin({"copy", source.path(), address});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.err, QStringLiteral("melbrin: Database copied.\n"));
        // The server's own numbering of settings rows is no part of the card data.
        sameDatabase(source.path(), address, {QStringLiteral("settings.seq")});

        QTemporaryDir out;
        const QString back = out.filePath(QStringLiteral("back.mdb"));
        r = melbrin({"copy", address, back});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        sameDatabase(source.path(), back);
        QCOMPARE(folderEntries(out.path()), QStringList {QStringLiteral("back.mdb")});
        // The file copy of a server's database has the default key unless given another.
        QVERIFY(data::keyOpens(back, data::defaultKey()));
        const QString keyFile = out.filePath(QStringLiteral("key.txt"));
        {
            QFile key(keyFile);
            QVERIFY(key.open(QIODevice::WriteOnly));
            key.write("the office's own");
        }
        const QString own = out.filePath(QStringLiteral("own.mdb"));
        r = melbrin({"copy", address, own, "--new-passphrase-file", keyFile});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(data::keyOpens(own, QStringLiteral("the office's own")));
        QVERIFY(!data::keyOpens(own, data::defaultKey()));

        data::Connection c;
        openCardDatabase(c, address);
        data::Query groups(c, QStringLiteral("QGroup"));
        groups.setSql(QStringLiteral("select * from grptbl order by gdesc"));
        groups.open();
        groups.append();
        groups.setValue(QStringLiteral("gdesc"), QStringLiteral("New"));
        groups.setValue(QStringLiteral("gid"), 0);
        groups.post();
        QCOMPARE(qint64(groups.asInt(QStringLiteral("seq"))), nextGroupNumber(source.path()));
    }

    // A copy goes only into a database without members; the one refused stays as it was.
    void aServerWithMembersIsRefused()
    {
        REQUIRE_SERVER();
        const QString address = copiedServer(source.path());
        QVERIFY(!address.isEmpty());
        const QList<TableDump> before = dumpCardTables(address);
        TempDatabase other;
        addMember(other, 0, QStringLiteral("Someone Else"));
        refused(melbrin({"copy", other.path(), address}), QStringLiteral("already holds members"));
        QCOMPARE(dumpCardTables(address), before);
    }

    // The backup of a server database is a keyed file of it, with the file backup's messages.
    void backupOfAServer()
    {
        REQUIRE_SERVER();
        const QString address = copiedServer(source.path());
        QVERIFY(!address.isEmpty());
        QTemporaryDir out;
        const QString file = out.filePath(QStringLiteral("backup.mdb"));
        Run r = melbrin({"backup", file, "--database", address});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.err,
                 QStringLiteral("melbrin: Database saved. The copy is protected by the program's "
                                "default password.\n"));
        sameDatabase(source.path(), file);
        refused(melbrin({"backup", file, "--database", address}), QStringLiteral("--force"));
        QCOMPARE(melbrin({"backup", file, "--force", "--database", address}).code, 0);
        sameDatabase(source.path(), file);
    }

    // The window's Save Database on a server: the same questions and messages as on a file.
    void saveDatabaseOfAServer()
    {
        REQUIRE_SERVER();
        const QString address = copiedServer(source.path());
        QVERIFY(!address.isEmpty());
        QTemporaryDir out;
        const QString file = out.filePath(QStringLiteral("saved.mdb"));
        QVERIFY(QFile::copy(QStringLiteral(MELBRIN_STARTER_DB), file));
        ScriptedAnswers answers;
        answers.chooseFile(file);
        answers.confirmWith(true); // "Overwrite the file?"
        data::Connection c;
        openCardDatabase(c, address);
        exchange::saveDatabase(nullptr, c);
        QVERIFY(answers.allAnswered());
        QCOMPARE(answers.texts(),
                 QStringList {QStringLiteral("Database saved.\nThe copy is protected by the "
                                             "program's default password.")});
        sameDatabase(source.path(), file);
    }

    // An account that may read the groups but not the members' photos: the copy fails part
    // way with the server's reason, and no file, new or half written, is left.
    void aServerCopyThatFailsLeavesNoFile()
    {
        REQUIRE_SERVER();
        const QString address = copiedServer(source.path());
        QVERIFY(!address.isEmpty());
        const QString database = address.mid(address.lastIndexOf(u'/') + 1);
        const QString role = QStringLiteral("clerk_") + database;
        server()->superuser(database,
                            QStringLiteral("create role %1 login password 'clerk-pw'; grant "
                                           "select on grptbl, fields, param, settings to %1; "
                                           "grant select (seq, gid, name) on stafftbl to %1")
                                .arg(role));
        QTemporaryDir out;
        const QString old = out.filePath(QStringLiteral("old.mdb"));
        QVERIFY(QFile::copy(QStringLiteral(MELBRIN_STARTER_DB), old));
        const QByteArray before = digestOf(old);
        qputenv("PGPASSWORD", "clerk-pw");
        const Run fresh = melbrin(
            {"copy", server()->address(database, role), out.filePath(QStringLiteral("new.mdb"))});
        const Run over = melbrin({"copy", server()->address(database, role), old, "--force"});
        const Run backup
            = melbrin({"backup", old, "--force", "--database", server()->address(database, role)});
        qunsetenv("PGPASSWORD");
        refused(fresh, QStringLiteral("permission denied"));
        refused(over, QStringLiteral("Database cannot be copied."));
        refused(backup, QStringLiteral("Database cannot be saved. Please retry."));
        QCOMPARE(digestOf(old), before);
        QCOMPARE(folderEntries(out.path()), QStringList {QStringLiteral("old.mdb")});
        QCOMPARE(memberCount(address), memberCount(source.path()));
    }
};

QTEST_GUILESS_MAIN(DatabaseCopyTest)
#include "DatabaseCopyTest.moc"
