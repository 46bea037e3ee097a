#include "exchange/DatabaseBackup.h"

#include "ScriptedAnswers.h"
#include "TempDatabase.h"
#include "data/DatabaseKey.h"
#include "data/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString saved
    = QStringLiteral("Database saved.\nThe copy is protected by the program's default password.");
const QString failed = QStringLiteral("Database cannot be saved. Please retry.");

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class DatabaseBackupTest : public testing::Test
{
protected:
    void SetUp() override
    {
        db.exec(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 19) "
            "INSERT INTO stafftbl (gid, name, cname, photo) "
            "SELECT 0, 'Member ' || i, '陳' || i, randomblob(5000) FROM n"));
        dsrc.connectTo(db.path());
    }
    QString target(const QString& name) const { return out.filePath(name); }
    // The members a copy holds, opened with the database's own password; -1 when it is no
    // sound database.
    static qint64 membersIn(const QString& path)
    {
        try {
            data::Connection c;
            openDatabase(c, path);
            data::Query q(c, QStringLiteral("q"));
            q.setSql(QStringLiteral("PRAGMA integrity_check"));
            q.open();
            if (q.asString(q.columnName(0)) != u"ok")
                return -1;
            q.setSql(QStringLiteral("select count(*) as n from stafftbl"));
            q.open();
            return q.asInt(QStringLiteral("n"));
        } catch (const data::Error&) {
            return -1;
        }
    }
    // Nothing but the named files lies in the folder: no part of a copy is left behind.
    QStringList filesIn(const QString& folder) const
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    TempDatabase db;
    QTemporaryDir out;
    data::Tdsrc dsrc;
    ScriptedAnswers answers;
};

TEST_F(DatabaseBackupTest, TheCopyIsASoundKeyedDatabaseOfWhatWasCommitted)
{
    EXPECT_TRUE(exchange::CopyDatabaseFile(dsrc.src, target(QStringLiteral("copy.mdb"))));
    EXPECT_EQ(membersIn(target(QStringLiteral("copy.mdb"))), 20);

    // Changes of a transaction still open (an import under way) are not in the copy.
    dsrc.src.beginTransaction();
    dsrc.src.execute(QStringLiteral("DELETE FROM stafftbl WHERE seq > 10"));
    EXPECT_TRUE(exchange::CopyDatabaseFile(dsrc.src, target(QStringLiteral("during.mdb"))));
    dsrc.src.commit();
    EXPECT_EQ(membersIn(target(QStringLiteral("during.mdb"))), 20);
    EXPECT_EQ(filesIn(out.path()), QStringList({"copy.mdb", "during.mdb"}));
    EXPECT_EQ(membersIn(db.path()), 10);
}

// A copy keeps the source's key unless it is given another; the source keeps its own.
TEST_F(DatabaseBackupTest, TheCopyKeepsTheSourcesKeyOrTakesTheOneGiven)
{
    const QString own = QStringLiteral("Büro 7 geheim");
    const QString other = QStringLiteral("another one");
    const QString defaultKey = data::defaultKey();
    struct Case
    {
        QString sourceKey;
        std::optional<QString> copyKey;
        QString opensCopy;
    } cases[] = {
        {defaultKey, std::nullopt, defaultKey},
        {defaultKey, own, own},
        {own, std::nullopt, own},
        {own, other, other},
        {own, defaultKey, defaultKey},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.sourceKey + " -> " + c.copyKey.value_or("(none)")));
        dsrc.src.close();
        data::rekeyDatabase(db.path(), data::keyOpens(db.path(), own) ? own : defaultKey,
                            c.sourceKey);
        dsrc.connectTo(db.path(), c.sourceKey);
        const QString path = target(QStringLiteral("copy.mdb"));
        QString reason;
        ASSERT_TRUE(exchange::CopyDatabaseFile(dsrc.src, path, &reason, nullptr, c.copyKey))
            << qPrintable(reason);
        EXPECT_TRUE(data::keyOpens(path, c.opensCopy));
        for (const QString& key : {defaultKey, own, other}) {
            if (key != c.opensCopy) {
                EXPECT_FALSE(data::keyOpens(path, key));
            }
        }
        EXPECT_TRUE(data::keyOpens(db.path(), c.sourceKey));
        EXPECT_EQ(filesIn(out.path()), QStringList {"copy.mdb"});
    }

    // The window's message says which key protects the copy: the source's.
    answers.chooseFile(target(QStringLiteral("saved.mdb")));
    exchange::saveDatabase(nullptr, dsrc.src);
    EXPECT_EQ(answers.texts(),
              QStringList {QStringLiteral(
                  "Database saved.\nThe copy is protected by this database's own password.")});
    EXPECT_TRUE(data::keyOpens(target(QStringLiteral("saved.mdb")), own));
}

// A copy whose new key cannot be given leaves the old file as it was and no part behind.
TEST_F(DatabaseBackupTest, ACopyThatCannotTakeItsKeyLeavesTheOldFile)
{
    const QString path = target(QStringLiteral("cardinfo.mdb"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older backup");
    old.close();
    QString reason;
    EXPECT_FALSE(exchange::CopyDatabaseFile(dsrc.src, path, &reason, nullptr, QString()));
    EXPECT_TRUE(reason.contains(QStringLiteral("empty"))) << qPrintable(reason);
    EXPECT_EQ(bytesOf(path), QByteArray("an older backup"));
    EXPECT_EQ(filesIn(out.path()), QStringList {"cardinfo.mdb"});
}

struct SaveCase
{
    const char* name;
    bool exists;
    std::optional<bool> confirm; // the answer to "Overwrite the file?", when asked
    QStringList messages;
    bool replaced;
};

void PrintTo(const SaveCase& c, std::ostream* os)
{
    *os << c.name;
}

class SaveDatabaseFlow : public DatabaseBackupTest, public testing::WithParamInterface<SaveCase>
{
};

TEST_P(SaveDatabaseFlow, AsksBeforeReplacingAndReports)
{
    const SaveCase& c = GetParam();
    const QString path = target(QStringLiteral("cardinfo.mdb"));
    if (c.exists) {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an older backup");
    }
    answers.chooseFile(path);
    if (c.confirm)
        answers.confirmWith(*c.confirm);
    exchange::saveDatabase(nullptr, dsrc.src);

    EXPECT_EQ(answers.lastFilter, QStringLiteral("Database (*.mdb);;All Files (*)"));
    EXPECT_EQ(answers.lastFileName, exchange::proposedBackupPath());
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(answers.questions().size(), c.confirm ? 2 : 1);
    if (c.confirm) {
        EXPECT_EQ(answers.questions().last(), QStringLiteral("Overwrite the file?"));
    }
    EXPECT_EQ(answers.texts(), c.messages);
    if (c.replaced) {
        EXPECT_EQ(membersIn(path), 20);
    } else if (c.exists) {
        EXPECT_EQ(bytesOf(path), QByteArray("an older backup"));
    }
    EXPECT_EQ(filesIn(out.path()).size(), c.exists || c.replaced ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Answers, SaveDatabaseFlow,
                         testing::Values(SaveCase {"NewFile", false, std::nullopt, {saved}, true},
                                         SaveCase {"ExistingKept", true, false, {}, false},
                                         SaveCase {"ExistingReplaced", true, true, {saved}, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The dialog starts in the documents folder, never beside the open database (the folder the
// program usually runs in).
TEST_F(DatabaseBackupTest, TheDialogStartsInTheDocumentsFolder)
{
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    const QString oldCurrent = QDir::currentPath();
    struct Restore
    {
        QByteArray home, config;
        QString current;
        ~Restore()
        {
            qputenv("HOME", home);
            qputenv("XDG_CONFIG_HOME", config);
            QDir::setCurrent(current);
        }
    } restore {oldHome, oldConfig, oldCurrent};
    const QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    QDir::setCurrent(QFileInfo(db.path()).absolutePath());

    for (const bool documents : {false, true}) {
        if (documents) {
            ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("Documents")));
        }
        answers.clear();
        answers.chooseFile(std::nullopt);
        exchange::saveDatabase(nullptr, dsrc.src);
        EXPECT_EQ(answers.lastFileName,
                  QDir(home.path())
                      .filePath(documents ? QStringLiteral("Documents/cardinfo.mdb")
                                          : QStringLiteral("cardinfo.mdb")));
    }
    EXPECT_TRUE(answers.texts().isEmpty());
}

TEST_F(DatabaseBackupTest, ACancelledDialogCopiesNothingAndANameIsUsedAsTyped)
{
    answers.chooseFile(std::nullopt);
    exchange::saveDatabase(nullptr, dsrc.src);
    EXPECT_TRUE(answers.texts().isEmpty());
    EXPECT_TRUE(filesIn(out.path()).isEmpty());

    answers.chooseFile(target(QStringLiteral("backup")));
    exchange::saveDatabase(nullptr, dsrc.src);
    EXPECT_EQ(answers.texts(), QStringList {saved});
    EXPECT_EQ(filesIn(out.path()), QStringList {"backup"});
}

TEST_F(DatabaseBackupTest, RefusedDestinationsLeaveEverythingAsItWas)
{
    QDir(out.path()).mkdir(QStringLiteral("folder"));
    QFile::link(db.path(), target(QStringLiteral("link.mdb")));
    ASSERT_EQ(::link(QFile::encodeName(db.path()).constData(),
                     QFile::encodeName(target(QStringLiteral("hard.mdb"))).constData()),
              0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(target(QStringLiteral("fifo"))).constData(), 0600), 0);
    const QString dbFolder = QFileInfo(db.path()).absolutePath();
    const QStringList before = filesIn(dbFolder);
    const QString refused[] = {
        target(QStringLiteral("no/such/folder/cardinfo.mdb")),
        target(QStringLiteral("folder")),
        db.path(),
        dbFolder + QStringLiteral("/./cardinfo.mdb"),
        target(QStringLiteral("link.mdb")),
        target(QStringLiteral("hard.mdb")),
        db.path() + QStringLiteral("-journal"),
        target(QStringLiteral("fifo")),
    };
    for (const QString& path : refused) {
        answers.clear();
        answers.chooseFile(path);
        answers.confirmWith(true);
        exchange::saveDatabase(nullptr, dsrc.src);
        EXPECT_EQ(answers.texts(), QStringList {failed}) << qPrintable(path);
        // The box keeps its fixed text; a run without a window is also told why.
        if (!answers.shown().empty()) {
            EXPECT_FALSE(answers.shown().front().reason.isEmpty()) << qPrintable(path);
        }
    }
    EXPECT_EQ(membersIn(db.path()), 20);
    EXPECT_EQ(filesIn(dbFolder), before);
    EXPECT_EQ(filesIn(out.path()), QStringList({"hard.mdb", "link.mdb"}));
    EXPECT_TRUE(QFileInfo(target(QStringLiteral("fifo"))).exists());
    EXPECT_FALSE(QFileInfo(target(QStringLiteral("fifo"))).isFile());
    EXPECT_TRUE(QDir(target(QStringLiteral("folder"))).isEmpty());
}

// The file system refuses to let the copy grow (as a full disk would) half-way through.
TEST_F(DatabaseBackupTest, ACopyCutShortLeavesTheOldFileIntactAndNoPartBehind)
{
    const QString path = target(QStringLiteral("cardinfo.mdb"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older backup");
    old.close();

    rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 32 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    QString reason;
    const bool copied = exchange::CopyDatabaseFile(dsrc.src, path, &reason);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(copied);
    EXPECT_FALSE(reason.isEmpty()); // a write past the limit reads as a disk I/O error
    EXPECT_EQ(bytesOf(path), QByteArray("an older backup"));
    EXPECT_EQ(filesIn(out.path()), QStringList {"cardinfo.mdb"});
    EXPECT_EQ(membersIn(db.path()), 20);
}

} // namespace
