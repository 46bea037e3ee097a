#include "ServerEngine.h"

#include "Error.h"
#include "ServerSession.h"
#include "ServerSql.h"
#include "ServerStatement.h"
#include "Statement.h"

namespace data {
namespace {

ServerPasswordPrompt& passwordPrompt()
{
    static ServerPasswordPrompt prompt;
    return prompt;
}

// The advisory lock every station's batch takes ("MELB").
constexpr const char* batchLockKey = "1296387138";

QString quoted(const QString& identifier)
{
    return u'"' + QString(identifier).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

// A database on a PostgreSQL server.
class ServerEngine final : public Engine
{
public:
    ServerEngine(PGconn* conn, const QString& displayName)
        : m_session(conn, displayName)
    { }

    Kind kind() const override { return Kind::Server; }
    QString displayName() const override { return m_session.displayName(); }
    std::unique_ptr<EngineStatement> prepare(const QString& sql) override
    {
        return std::make_unique<ServerStatement>(m_session, sql);
    }
    void execute(const QString& sql) override
    {
        m_session.checked(PQexec(m_session.conn(), sql.toUtf8().constData()));
    }

    void begin() override
    {
        execute(QStringLiteral("begin"));
        m_inTransaction = true;
    }
    void commit() override
    {
        const ServerResult r = m_session.checked(PQexec(m_session.conn(), "commit"));
        m_inTransaction = false;
        // A transaction the server had aborted ends in a rollback, not an error.
        if (qstrcmp(PQcmdStatus(r.get()), "ROLLBACK") == 0)
            throw Error(QStringLiteral("The changes were not saved: the server had already "
                                       "rolled them back"));
    }
    void rollback() override
    {
        m_inTransaction = false;
        if (PQstatus(m_session.conn()) != CONNECTION_OK)
            return; // the server rolled it back when the connection went
        m_session.checked(PQexec(m_session.conn(), "rollback"));
    }
    bool transactionLost() const override
    {
        if (!m_inTransaction)
            return false;
        return PQstatus(m_session.conn()) != CONNECTION_OK
            || PQtransactionStatus(m_session.conn()) != PQTRANS_INTRANS;
    }

    bool hasTable(const QString& name) override { return PQntuples(tableRow(name).get()) > 0; }
    TableInfo tableInfo(const QString& table) override;
    QString rowIdColumn(const QString&) override { return QStringLiteral("seq"); }
    QString returningRowId(const QString&) override { return QStringLiteral(" returning seq"); }
    qint64 insertedRowId(EngineStatement& insert) override { return insert.value(0).toLongLong(); }
    QByteArray readBlob(const QString& table, const QString& column, qint64 rowId) override;
    qint64 nextRowNumber(const QString& table) override;
    QString searchCondition() override;
    QString exactCollation() const override { return QStringLiteral("\"C\""); }
    void keepMembersInMemory(bool) override { }
    bool tryLockBatch() override
    {
        const ServerResult r
            = m_session.run(QByteArrayLiteral("select pg_try_advisory_lock(") + batchLockKey + ')');
        return PQgetvalue(r.get(), 0, 0)[0] == 't';
    }
    void unlockBatch() override
    {
        m_session.run(QByteArrayLiteral("select pg_advisory_unlock(") + batchLockKey + ')');
    }

private:
    // The table's row in the catalogue (oid), found as the file finds tables: without
    // letter case, among the tables the search path shows.
    ServerResult tableRow(const QString& name)
    {
        return m_session.run("select c.oid from pg_class c where c.relkind in ('r', 'p', 'v', "
                             "'m', 'f') and lower(c.relname) = lower($1) and "
                             "pg_table_is_visible(c.oid) order by c.relname = $1 desc limit 1",
                             {name.toUtf8()});
    }

    ServerSession m_session;
    bool m_inTransaction = false;
    // Prepared once per blob column: the bytes are read in binary.
    QHash<QString, QByteArray> m_blobReads;
};

TableInfo ServerEngine::tableInfo(const QString& table)
{
    TableInfo info;
    const ServerResult found = tableRow(table);
    if (PQntuples(found.get()) == 0)
        return info;
    const QByteArray oid = PQgetvalue(found.get(), 0, 0);
    const ServerResult columns = m_session.run(
        "select a.attname, a.atttypid, upper(format_type(a.atttypid, a.atttypmod)), "
        "a.atthasdef or a.attidentity <> '' or a.attgenerated <> '', "
        "coalesce(a.attnum = any(i.indkey::int2[]), false) "
        "from pg_attribute a left join pg_index i on i.indrelid = a.attrelid and i.indisprimary "
        "where a.attrelid = $1 and a.attnum > 0 and not a.attisdropped order by a.attnum",
        {oid});
    const PGresult* r = columns.get();
    for (int i = 0; i < PQntuples(r); ++i) {
        TableInfo::Column c;
        c.name = QString::fromUtf8(PQgetvalue(r, i, 0));
        c.declType = declaredTypeOf(Oid(QByteArray(PQgetvalue(r, i, 1)).toUInt()));
        if (c.declType.isEmpty())
            c.declType = QString::fromUtf8(PQgetvalue(r, i, 2));
        c.hasDefault = PQgetvalue(r, i, 3)[0] == 't';
        c.key = PQgetvalue(r, i, 4)[0] == 't';
        if (c.name == u"rowversion")
            info.version = c.name;
        info.columns.push_back(c);
    }
    const ServerResult triggers = m_session.run(
        "select count(*) from pg_trigger where tgrelid = $1 and not tgisinternal", {oid});
    info.triggers = QByteArray(PQgetvalue(triggers.get(), 0, 0)).toInt() > 0;
    return info;
}

QByteArray ServerEngine::readBlob(const QString& table, const QString& column, qint64 rowId)
{
    const QString key = table + u'.' + column;
    auto it = m_blobReads.find(key);
    if (it == m_blobReads.end()) {
        const QByteArray name = m_session.newStatementName();
        const QByteArray sql = QStringLiteral("select %1 from %2 where seq = $1::bigint")
                                   .arg(quoted(column), quoted(table))
                                   .toUtf8();
        countPreparation();
        m_session.checked(
            PQprepare(m_session.conn(), name.constData(), sql.constData(), 0, nullptr));
        it = m_blobReads.insert(key, name);
    }
    const QByteArray id = QByteArray::number(rowId);
    const char* values[] = {id.constData()};
    const ServerResult r = m_session.checked(
        PQexecPrepared(m_session.conn(), it->constData(), 1, values, nullptr, nullptr, 1));
    if (PQntuples(r.get()) == 0 || PQgetisnull(r.get(), 0, 0))
        return {};
    return QByteArray(PQgetvalue(r.get(), 0, 0), PQgetlength(r.get(), 0, 0));
}

qint64 ServerEngine::nextRowNumber(const QString& table)
{
    // The identity's sequence: what it hands out next, and never below the rows there are.
    const ServerResult found
        = m_session.run("select pg_get_serial_sequence($1, 'seq')", {quoted(table).toUtf8()});
    const QByteArray max = "coalesce((select max(seq) from " + quoted(table).toUtf8() + "), 0) + 1";
    QByteArray sql = "select " + max;
    if (PQntuples(found.get()) > 0 && !PQgetisnull(found.get(), 0, 0)) {
        const QByteArray sequence = PQgetvalue(found.get(), 0, 0);
        sql = "select greatest(case when s.is_called then s.last_value + p.seqincrement else "
              "s.last_value end, "
            + max + ") from " + sequence + " s, pg_sequence p where p.seqrelid = '"
            + QByteArray(sequence).replace('\'', "''") + "'::regclass";
    }
    const ServerResult next = m_session.run(sql);
    return QByteArray(PQgetvalue(next.get(), 0, 0)).toLongLong();
}

QString ServerEngine::searchCondition()
{
    // lower() under an ICU collation folds every script; strpos() takes every character of
    // the text as it is.
    QStringList parts;
    for (const char* column : {"name", "cname", "staffno"})
        parts << QStringLiteral("strpos(lower(%1 collate \"und-x-icu\"), lower(cast(:find as "
                                "text) collate \"und-x-icu\")) > 0")
                     .arg(QLatin1String(column));
    return u'(' + parts.join(QStringLiteral(" or ")) + u')';
}

// libpq's reason for a failed connection, without the address it repeats.
QString connectionReason(PGconn* conn)
{
    QString message = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
    if (message.startsWith(u"connection to server")) {
        const qsizetype failed = message.indexOf(QStringLiteral(" failed: "));
        if (failed >= 0)
            message = message.mid(failed + 9);
    }
    if (message.startsWith(u"FATAL:  "))
        message = message.mid(8);
    const qsizetype line = message.indexOf(u'\n');
    return (line < 0 ? message : message.left(line)).trimmed();
}

} // namespace

void setServerPasswordPrompt(ServerPasswordPrompt prompt)
{
    passwordPrompt() = std::move(prompt);
}

std::unique_ptr<Engine> openServer(const QString& address)
{
    const QString shown = addressWithoutPassword(address);
    const QByteArray dbname = address.toUtf8();
    std::optional<QByteArray> password;
    int prompts = 0;
    for (;;) {
        std::vector<const char*> keys {"dbname", "client_encoding", "fallback_application_name"};
        std::vector<const char*> values {dbname.constData(), "UTF8", "melbrin"};
        if (password) {
            keys.push_back("password");
            values.push_back(password->constData());
        }
        keys.push_back(nullptr);
        values.push_back(nullptr);
        PGconn* conn = PQconnectdbParams(keys.data(), values.data(), 1);
        if (!conn)
            throw Error(QStringLiteral("Cannot connect to '%1': out of memory").arg(shown));
        if (PQstatus(conn) == CONNECTION_OK)
            return std::make_unique<ServerEngine>(conn, shown);
        const QString reason = connectionReason(conn);
        // Asked for a password libpq's own sources did not give, or the one typed was wrong.
        const bool ask
            = PQconnectionNeedsPassword(conn) || (password && PQconnectionUsedPassword(conn));
        PQfinish(conn);
        const ServerPasswordPrompt& prompt = passwordPrompt();
        if (ask && prompt && prompts < 3) {
            const std::optional<QString> answer = prompt(shown, password ? reason : QString());
            ++prompts;
            if (answer) {
                password = answer->toUtf8();
                continue;
            }
        }
        throw Error(QStringLiteral("Cannot connect to '%1': %2").arg(shown, reason));
    }
}

} // namespace data
