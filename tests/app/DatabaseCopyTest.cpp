#include "CopyFixture.h"
#include "RunMelbrin.h"
#include "TempDatabase.h"
#include "data/Connection.h"

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
    const QString difference = firstDifference(dumpCardTables(a, leaveOut), dumpCardTables(b, leaveOut));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
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
};

QTEST_GUILESS_MAIN(DatabaseCopyTest)
#include "DatabaseCopyTest.moc"
