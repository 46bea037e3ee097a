#include "data/DatabaseKey.h"

#include "KeyedFile.h"
#include "TempDatabase.h"
#include "data/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>
#include <unistd.h>

namespace {

const QString names = QStringLiteral("select group_concat(name, ',') from stafftbl");
const QString photoBytes = QStringLiteral("select sum(length(photo)) from stafftbl");

QString failureOf(const std::function<void()>& work)
{
    try {
        work();
    } catch (const data::Error& e) {
        return e.message();
    }
    return {};
}

// A starter file with members and photos over many pages, keyed with the default key.
struct KeyedDatabase : ::testing::Test
{
    TempDatabase db;
    QString members;
    void SetUp() override
    {
        QByteArray photo(30000, '\0');
        for (int i = 0; i < photo.size(); ++i)
            photo[i] = char(i * 13);
        for (int i = 0; i < 12; ++i)
            addMember(db, 0, QStringLiteral("Member %1").arg(i), {}, {}, photo);
        members = scalarWith(db.path(), data::defaultKey(), names);
    }
    // The file opens with key (and with no other of others), whole and with its rows.
    void expectKeyedWith(const QString& key, const QStringList& others = {})
    {
        EXPECT_TRUE(data::keyOpens(db.path(), key)) << key.toStdString();
        for (const QString& other : others)
            EXPECT_FALSE(data::keyOpens(db.path(), other)) << other.toStdString();
        EXPECT_TRUE(intactWith(db.path(), key));
        EXPECT_EQ(scalarWith(db.path(), key, names), members);
        EXPECT_EQ(scalarWith(db.path(), key, photoBytes), QStringLiteral("360000"));
    }
};

TEST_F(KeyedDatabase, RekeysToOwnPassphrasesAndBackToTheDefault)
{
    const QString own = QStringLiteral("Our office, 2026");
    // Characters a connection string treats specially, outer blanks, letters beyond ASCII.
    const QString another = QStringLiteral(" a;b=\"c\"; Paßwort ünï ");
    const QString fixed = data::defaultKey();

    data::rekeyDatabase(db.path(), fixed, own);
    expectKeyedWith(own, {fixed});
    data::rekeyDatabase(db.path(), own, another);
    expectKeyedWith(another, {fixed, own, another.trimmed()});
    data::rekeyDatabase(db.path(), another, fixed);
    expectKeyedWith(fixed, {own, another});

    // The program's own connection opens it with the key it was given, and says which.
    data::rekeyDatabase(db.path(), fixed, another);
    data::Tdsrc dsrc;
    ASSERT_NO_THROW(dsrc.connectTo(db.path(), another));
    EXPECT_EQ(dsrc.key(), another);
    EXPECT_EQ(dsrc.staffCount(), 12);
}

TEST_F(KeyedDatabase, RefusedRekeysLeaveTheFileAsItWas)
{
    const QString own = QStringLiteral("Our office, 2026");
    data::rekeyDatabase(db.path(), data::defaultKey(), own);
    const QByteArray before = digestOf(db.path());
    struct Case
    {
        const char* what;
        QString oldKey, newKey, message;
    } cases[] = {
        {"wrong old key", QStringLiteral("not ours"), QStringLiteral("new one"),
         QStringLiteral("the current password does not open it")},
        {"default as old key", data::defaultKey(), QStringLiteral("new one"),
         QStringLiteral("the current password does not open it")},
        {"empty new key", own, QString(), QStringLiteral("The password is empty")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString message
            = failureOf([&] { data::rekeyDatabase(db.path(), c.oldKey, c.newKey); });
        EXPECT_TRUE(message.contains(c.message)) << message.toStdString();
        EXPECT_FALSE(message.contains(own)) << message.toStdString();
        EXPECT_EQ(digestOf(db.path()), before);
        expectKeyedWith(own);
    }
    // The same key again changes nothing.
    data::rekeyDatabase(db.path(), own, own);
    EXPECT_EQ(digestOf(db.path()), before);
}

// A file that cannot be written, or a folder that cannot take the engine's journal.
TEST_F(KeyedDatabase, RekeyOfAFileThatCannotBeWrittenIsRefused)
{
    const QString dir = db.dir();
    const QFile::Permissions open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
        | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    struct Case
    {
        const char* what;
        QFile::Permissions file, folder;
        QString message;
    } cases[] = {
        {"read-only file", readOnly, open, QStringLiteral("the file is read-only")},
        {"read-only folder", readOnly | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther,
         open & ~QFile::WriteOwner, QStringLiteral("its folder cannot be written to")},
    };
    const QByteArray before = digestOf(db.path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::setPermissions(db.path(), c.file);
        QFile::setPermissions(dir, c.folder);
        const QString message = asUnprivileged([&] {
            return failureOf(
                [&] { data::rekeyDatabase(db.path(), data::defaultKey(), QStringLiteral("x1")); });
        });
        QFile::setPermissions(dir, open);
        QFile::setPermissions(db.path(), QFile::ReadOwner | QFile::WriteOwner);
        EXPECT_TRUE(message.contains(c.message)) << message.toStdString();
        EXPECT_TRUE(message.startsWith(QStringLiteral("The password of '")))
            << message.toStdString();
        EXPECT_EQ(digestOf(db.path()), before);
        expectKeyedWith(data::defaultKey(), {QStringLiteral("x1")});
    }
}

// Another program holding the file: reading, about to write, or writing.
TEST_F(KeyedDatabase, RekeyOfADatabaseInUseIsRefused)
{
    const QByteArray before = digestOf(db.path());
    for (const char* hold :
         {"BEGIN; SELECT count(*) FROM stafftbl", "BEGIN IMMEDIATE", "BEGIN EXCLUSIVE"}) {
        SCOPED_TRACE(hold);
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(db.path().toUtf8().constData(), &other), SQLITE_OK);
        const QByteArray key = data::defaultKey().toUtf8();
        sqlite3_key_v2(other, "main", key.constData(), int(key.size()));
        sqlite3_exec(other, "PRAGMA cipher_page_size = 4096", nullptr, nullptr, nullptr);
        ASSERT_EQ(sqlite3_exec(other, hold, nullptr, nullptr, nullptr), SQLITE_OK);
        const QString message = failureOf(
            [&] { data::rekeyDatabase(db.path(), data::defaultKey(), QStringLiteral("x1")); });
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        EXPECT_TRUE(message.contains(db.path())) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("database is locked")))
            << message.toStdString();
        EXPECT_EQ(digestOf(db.path()), before);
        expectKeyedWith(data::defaultKey(), {QStringLiteral("x1")});
    }
}

TEST_F(KeyedDatabase, KeyOpensTellsAWrongKeyFromAFileNoKeyOpens)
{
    const QString text = db.dir() + QStringLiteral("/notes.txt");
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8192, 'n'));
    f.close();
    QString reason;
    EXPECT_TRUE(data::keyOpens(db.path(), data::defaultKey(), &reason));
    EXPECT_FALSE(data::keyOpens(db.path(), QStringLiteral("wrong"), &reason));
    EXPECT_TRUE(reason.contains(u"not a database")) << reason.toStdString();
    reason.clear();
    EXPECT_FALSE(data::keyOpens(text, data::defaultKey(), &reason));
    EXPECT_TRUE(reason.contains(u"not a database")) << reason.toStdString();

    for (const QString& path : {db.dir() + QStringLiteral("/missing.mdb"), db.dir()}) {
        const QString message = failureOf([&] { data::keyOpens(path, data::defaultKey()); });
        EXPECT_TRUE(message.contains(path)) << message.toStdString();
    }
}

TEST(PassphraseFile, ReadsOneLineOfUtf8UpToOneKilobyte)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray kilobyte(1024, 'k');
    struct Case
    {
        const char* what;
        std::optional<QByteArray> bytes; // nullopt: no such file
        QString passphrase, message; // message empty: read
    } cases[] = {
        {"missing", std::nullopt, {}, QStringLiteral("does not exist")},
        {"larger than a kilobyte", kilobyte + 'k', {}, QStringLiteral("larger than 1024 bytes")},
        {"a kilobyte and its newline", kilobyte + '\n', {}, QStringLiteral("larger than")},
        {"exactly a kilobyte", kilobyte, QString::fromLatin1(kilobyte), {}},
        {"newline", QByteArray("Our office\n"), QStringLiteral("Our office"), {}},
        {"CR LF", QByteArray("Our office\r\n"), QStringLiteral("Our office"), {}},
        {"only the last newline", QByteArray("two\n\n"), QStringLiteral("two\n"), {}},
        {"blanks kept", QByteArray("  spaced  \n"), QStringLiteral("  spaced  "), {}},
        {"UTF-8", QByteArray("Paßwort ünï 漢字\n"), QStringLiteral("Paßwort ünï 漢字"), {}},
        {"byte order mark",
         QByteArray("\xef\xbb\xbfOur office\r\n"),
         QStringLiteral("Our office"),
         {}},
        {"not UTF-8", QByteArray("P\xe4sswort\n"), {}, QStringLiteral("is not UTF-8 text")},
        {"only a byte order mark",
         QByteArray("\xef\xbb\xbf\n"),
         {},
         QStringLiteral("gives an empty password")},
        {"only a newline", QByteArray("\n"), {}, QStringLiteral("gives an empty password")},
        {"empty", QByteArray(""), {}, QStringLiteral("gives an empty password")},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.filePath(QStringLiteral("pass%1").arg(++n));
        if (c.bytes) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(*c.bytes);
        }
        QString read;
        const QString message = failureOf([&] { read = data::readPassphraseFile(path); });
        EXPECT_EQ(read, c.passphrase);
        EXPECT_TRUE(c.message.isEmpty() ? message.isEmpty() : message.contains(c.message))
            << message.toStdString();
        if (!message.isEmpty()) {
            EXPECT_TRUE(message.contains(path)) << message.toStdString();
        }
    }

    // A folder, and a file its reader may not read.
    EXPECT_TRUE(failureOf([&] {
                    data::readPassphraseFile(dir.path());
                }).contains(QStringLiteral("is a folder")));
    const QString secret = dir.filePath(QStringLiteral("secret"));
    QFile f(secret);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Not for others\n");
    f.close();
    QFile::setPermissions(secret, QFile::WriteOwner);
    QFile::setPermissions(dir.path(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeGroup
                              | QFile::ExeOther);
    const QString message
        = asUnprivileged([&] { return failureOf([&] { data::readPassphraseFile(secret); }); });
    EXPECT_TRUE(message.contains(QStringLiteral("cannot be read"))) << message.toStdString();
    EXPECT_FALSE(message.contains(QStringLiteral("Not for others")));
}

} // namespace
