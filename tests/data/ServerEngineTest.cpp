// What only a server database has: row versions, accounts, TLS and a connection that can go.
#include "data/ServerEngine.h"

#include "Backend.h"
#include "PgServer.h"
#include "data/Engine.h"
#include "data/Error.h"
#include "data/Query.h"
#include "data/ServerSql.h"

#include <QThread>
#include <gtest/gtest.h>
#include <memory>

using data::Query;

namespace {

struct ServerEngine : ::testing::Test
{
    testsupport::PgServer* server = nullptr;
    std::unique_ptr<Backend> db;
    QString database;
    data::Connection conn;
    void SetUp() override
    {
        QString why;
        db = Backend::make(Backend::Kind::Server, &why);
        if (!db)
            GTEST_SKIP() << why.toStdString();
        server = testsupport::PgServer::instance();
        database = db->address().section(u'/', -1);
        db->open(conn);
    }
    void TearDown() override { data::setServerPasswordPrompt({}); }

    // A login role of the database with that password and those grants.
    void addRole(const QString& role, const QString& password, const QString& grants)
    {
        server->superuser(database,
                          QStringLiteral("drop role if exists %1; create role %1 login "
                                         "password '%2'; grant usage on schema public "
                                         "to %1; %3")
                              .arg(role, password, grants.arg(role)));
    }
    // Opens a connection to address; answers the error's message, empty when it opened.
    static QString openError(data::Connection& c, const QString& address)
    {
        c.setConnectionString(data::buildConnectionString(address, {}));
        try {
            c.open();
            return {};
        } catch (const data::Error& e) {
            return e.message();
        }
    }
};

// Sets an environment variable for a scope.
struct ScopedEnv
{
    QByteArray name;
    ScopedEnv(const char* n, const QByteArray& value)
        : name(n)
    {
        qputenv(n, value);
    }
    ~ScopedEnv() { qunsetenv(name.constData()); }
};

} // namespace

TEST(ServerSql, ParameterMarksBecomeNumbersOutsideQuotesCommentsAndCasts)
{
    const struct
    {
        const char* sql;
        const char* text;
        QStringList names;
    } cases[] = {
        {"select ? , ?", "select $1 , $2", {"", ""}},
        {"where a = :gid and b = :name or c = :gid",
         "where a = $1 and b = $2 or c = $1",
         {"gid", "name"}},
        {"where a = ?2 and b = ?1", "where a = $2 and b = $1", {"", ""}},
        {"select ':no', \"?col\", x::text, $$ ? :x $$ from t -- ?\nwhere y = :y /* :z */",
         "select ':no', \"?col\", x::text, $$ ? :x $$ from t -- ?\nwhere y = $1 /* :z */",
         {"y"}},
        {"select 'it''s :x' || :v", "select 'it''s :x' || $1", {"v"}},
    };
    for (const auto& c : cases) {
        const data::ServerSql s = data::translateParameters(QString::fromUtf8(c.sql));
        EXPECT_EQ(s.text, QByteArray(c.text)) << c.sql;
        EXPECT_EQ(QStringList(s.names.begin(), s.names.end()), c.names) << c.sql;
    }
    EXPECT_EQ(data::addressWithoutPassword(
                  QStringLiteral("postgresql://clerk:s3cr:et@db.example:5432/cards?password=x&"
                                 "sslmode=require")),
              QStringLiteral("postgresql://clerk@db.example:5432/cards?sslmode=require"));
}

TEST_F(ServerEngine, AChangeToARowAnotherStationChangedOrDeletedStoresNothing)
{
    // What another station does between this one's read and its change.
    const struct
    {
        const char* other;
        bool removing;
    } cases[] = {
        {"update stafftbl set remark = 'theirs', rowversion = rowversion + 1 where name = 'Ann'",
         false},
        {"update stafftbl set remark = 'theirs', rowversion = rowversion + 1 where name = 'Ann'",
         true},
        {"delete from stafftbl where name = 'Ann'", false},
        {"delete from stafftbl where name = 'Ann'", true},
    };
    for (const auto& c : cases) {
        db->exec(QStringLiteral("delete from stafftbl"));
        addMember(*db, 0, QStringLiteral("Ann"));
        Query q(conn, QStringLiteral("QStaff"));
        q.setSql(QStringLiteral("select * from stafftbl order by name"));
        q.open();
        EXPECT_FALSE(q.hasColumn(QStringLiteral("rowversion")));
        db->exec(QString::fromLatin1(c.other));
        const QVariant before = db->scalar(QStringLiteral("select remark from stafftbl"));
        if (c.removing) {
            EXPECT_THROW(q.remove(), data::RowConflict) << c.other;
        } else {
            q.edit();
            q.setValue(QStringLiteral("remark"), QStringLiteral("mine"));
            EXPECT_THROW(q.post(), data::RowConflict) << c.other;
            q.cancel();
        }
        EXPECT_EQ(db->scalar(QStringLiteral("select remark from stafftbl")), before) << c.other;
    }

    // Each change raises the version; the station that read the row last may change it.
    db->exec(QStringLiteral("delete from stafftbl"));
    addMember(*db, 0, QStringLiteral("Bob"));
    Query q(conn, QStringLiteral("QStaff"));
    q.setSql(QStringLiteral("select * from stafftbl"));
    q.open();
    for (const char* remark : {"one", "two"}) {
        q.edit();
        q.setValue(QStringLiteral("remark"), QString::fromLatin1(remark));
        q.post();
    }
    EXPECT_EQ(db->scalar(QStringLiteral("select rowversion from stafftbl")), 3);
    q.remove();
    EXPECT_EQ(db->scalar(QStringLiteral("select count(*) from stafftbl")), 0);
}

TEST_F(ServerEngine, AWrongPasswordIsAskedForThreeTimesThenRefused)
{
    addRole(QStringLiteral("clerk"), QStringLiteral("right"),
            QStringLiteral("grant select on all tables in schema public to %1"));
    const QString address = server->address(database, QStringLiteral("clerk"));
    data::Connection c;
    EXPECT_TRUE(openError(c, address).contains(QStringLiteral("password")));

    QStringList problems;
    QStringList answers;
    data::setServerPasswordPrompt([&](const QString& shown, const QString& problem) {
        EXPECT_EQ(shown, address);
        problems << problem;
        return answers.isEmpty() ? std::optional<QString>() : answers.takeFirst();
    });
    answers = {QStringLiteral("wrong1"), QStringLiteral("wrong2"), QStringLiteral("wrong3")};
    const QString refused = openError(c, address);
    EXPECT_EQ(refused,
              QStringLiteral("Cannot connect to '%1': password authentication failed for user "
                             "\"clerk\"")
                  .arg(address));
    ASSERT_EQ(problems.size(), 3);
    EXPECT_TRUE(problems[0].isEmpty());
    EXPECT_TRUE(problems[2].contains(QStringLiteral("password authentication failed")));
    EXPECT_FALSE(refused.contains(QStringLiteral("wrong")));

    problems.clear();
    answers = {QStringLiteral("wrong"), QStringLiteral("right")};
    EXPECT_EQ(openError(c, address), QString());
    EXPECT_EQ(problems.size(), 2);
    c.close();

    // No answer gives up at once.
    problems.clear();
    EXPECT_FALSE(openError(c, address).isEmpty());
    EXPECT_EQ(problems.size(), 1);

    // Scripts give it in the environment, and nobody is asked.
    problems.clear();
    {
        const ScopedEnv password("PGPASSWORD", "right");
        EXPECT_EQ(openError(c, address), QString());
    }
    EXPECT_TRUE(problems.isEmpty());
    c.close();

    // A password in the address reaches the server but no message or title.
    const QString withPassword
        = QString(address).replace(QStringLiteral("clerk@"), QStringLiteral("clerk:right@"));
    EXPECT_EQ(openError(c, withPassword), QString());
    EXPECT_EQ(c.fileName(), address);
    const QString wrong
        = QString(address).replace(QStringLiteral("clerk@"), QStringLiteral("clerk:nope@"));
    const QString message = openError(c, wrong);
    EXPECT_TRUE(message.startsWith(QStringLiteral("Cannot connect to '%1'").arg(address)))
        << message.toStdString();
    EXPECT_FALSE(message.contains(QStringLiteral("nope")));
}

TEST_F(ServerEngine, VerifyFullAcceptsOnlyTheServersCertificateForItsName)
{
    const QString ca = server->caFile();
    const QString other = QStringLiteral(OTHER_CA);
    const struct
    {
        QString host, root;
        bool opens;
    } cases[] = {
        {QStringLiteral("localhost"), ca, true},
        {QStringLiteral("127.0.0.1"), ca, false}, // not the name in the certificate
        {QStringLiteral("localhost"), other, false},
    };
    for (const auto& c : cases) {
        const QString address
            = server
                  ->address(database, QStringLiteral("melbrin"),
                            QStringLiteral("sslmode=verify-full&sslrootcert=") + c.root)
                  .replace(QStringLiteral("@127.0.0.1:"), u'@' + c.host + u':');
        data::Connection tls;
        const QString error = openError(tls, address);
        EXPECT_EQ(error.isEmpty(), c.opens) << error.toStdString();
        if (!c.opens) {
            EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot connect to '%1': ").arg(address)));
        }
    }
}

TEST_F(ServerEngine, AReadOnlyRoleReadsAndEveryChangeIsRefusedWithTheServersReason)
{
    addMember(*db, 0, QStringLiteral("Ann"));
    addRole(QStringLiteral("reader"), QStringLiteral("r"),
            QStringLiteral("grant select on all tables in schema public to %1"));
    data::Connection reader;
    {
        const ScopedEnv password("PGPASSWORD", "r");
        ASSERT_EQ(openError(reader, server->address(database, QStringLiteral("reader"))),
                  QString());
    }
    Query q(reader, QStringLiteral("QStaff"));
    q.setSql(QStringLiteral("select * from stafftbl order by name"));
    q.open();
    ASSERT_EQ(q.rowCount(), 1);
    EXPECT_EQ(q.asString(QStringLiteral("name")), QStringLiteral("Ann"));
    const QString refused
        = QStringLiteral("The server refused the change: permission denied for table stafftbl");
    const auto expectRefused = [&](auto change) {
        try {
            change();
            ADD_FAILURE() << "the change was taken";
        } catch (const data::Error& e) {
            EXPECT_EQ(e.message(), refused);
        }
        q.cancel();
    };
    expectRefused([&] {
        q.edit();
        q.setValue(QStringLiteral("remark"), QStringLiteral("x"));
        q.post();
    });
    expectRefused([&] {
        q.append();
        q.setValue(QStringLiteral("name"), QStringLiteral("Bob"));
        q.post();
    });
    expectRefused([&] { q.remove(); });
    EXPECT_EQ(db->scalar(QStringLiteral("select count(*) || remark from stafftbl group by remark")),
              QStringLiteral("1"));
}

TEST_F(ServerEngine, ALostConnectionEndsTheTransactionWithAClearMessage)
{
    Query q(conn, QStringLiteral("QStaff"));
    q.setSql(QStringLiteral("select * from stafftbl"));
    q.open();
    conn.beginTransaction();
    q.append();
    q.setValue(QStringLiteral("name"), QStringLiteral("lost"));
    q.post();
    // The server ends this connection as it does when it shuts down.
    server->superuser(database,
                      QStringLiteral("select pg_terminate_backend(pid) from "
                                     "pg_stat_activity where application_name = "
                                     "'melbrin' and datname = current_database()"));
    q.append();
    q.setValue(QStringLiteral("name"), QStringLiteral("more"));
    try {
        q.post();
        ADD_FAILURE() << "post on a lost connection";
    } catch (const data::Error& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("The connection to the server was lost")))
            << e.message().toStdString();
    }
    EXPECT_TRUE(conn.transactionLost());
    conn.rollback();
    EXPECT_FALSE(conn.inTransaction());
    EXPECT_EQ(db->scalar(QStringLiteral("select count(*) from stafftbl")), 0);
}

TEST_F(ServerEngine, AFailedStatementAbortsTheTransactionAndARollbackEndsIt)
{
    conn.beginTransaction();
    conn.execute(QStringLiteral("insert into grptbl (gid, gdesc) values (5, 'five')"));
    EXPECT_THROW(conn.execute(QStringLiteral("select 1/0")), data::Error);
    EXPECT_TRUE(conn.transactionLost());
    EXPECT_THROW(conn.commit(), data::Error);
    EXPECT_FALSE(conn.inTransaction());
    // The connection goes on outside any transaction.
    EXPECT_EQ(db->scalar(QStringLiteral("select count(*) from grptbl")), 1);
    conn.execute(QStringLiteral("insert into grptbl (gid, gdesc) values (6, 'six')"));
    EXPECT_EQ(db->scalar(QStringLiteral("select count(*) from grptbl")), 2);
}

TEST_F(ServerEngine, TheBatchLockIsHeldByOneStationAtATime)
{
    data::Connection other;
    db->open(other);
    EXPECT_TRUE(conn.engine().tryLockBatch());
    EXPECT_FALSE(other.engine().tryLockBatch());
    conn.engine().unlockBatch();
    EXPECT_TRUE(other.engine().tryLockBatch());
    other.close(); // the lock goes with the connection, once the server has seen it go
    bool taken = false;
    for (int i = 0; i < 100 && !taken; ++i) {
        taken = conn.engine().tryLockBatch();
        if (!taken)
            QThread::msleep(50);
    }
    EXPECT_TRUE(taken);
    conn.engine().unlockBatch();
}
