#include "ServerSession.h"

#include "Error.h"
#include "Statement.h"

#include <limits>

namespace data {
namespace {

// Type numbers of the server's catalogue.
enum : Oid {
    boolOid = 16,
    byteaOid = 17,
    int8Oid = 20,
    int2Oid = 21,
    int4Oid = 23,
    textOid = 25,
    oidOid = 26,
    float4Oid = 700,
    float8Oid = 701,
    bpcharOid = 1042,
    varcharOid = 1043,
    numericOid = 1700,
};

QString trimmedMessage(const char* text)
{
    QString message = QString::fromUtf8(text ? text : "").trimmed();
    // libpq's own prefixes say nothing the address does not.
    for (const QString& prefix : {QStringLiteral("FATAL:  "), QStringLiteral("ERROR:  ")}) {
        if (message.startsWith(prefix))
            message = message.mid(prefix.size());
    }
    const qsizetype line = message.indexOf(u'\n');
    return line < 0 ? message : message.left(line).trimmed();
}

} // namespace

ServerSession::ServerSession(PGconn* conn, QString displayName)
    : m_conn(conn)
    , m_displayName(std::move(displayName))
{
    // The server's notices (a warning as it shuts down) would go to standard error; the
    // error that follows one carries the reason to the user.
    PQsetNoticeProcessor(
        m_conn, [](void*, const char*) {}, nullptr);
}

ServerSession::~ServerSession()
{
    PQfinish(m_conn);
}

QByteArray ServerSession::newStatementName()
{
    if (!m_unused.isEmpty() && PQtransactionStatus(m_conn) != PQTRANS_INERROR
        && PQstatus(m_conn) == CONNECTION_OK) {
        QByteArray sql;
        for (const QByteArray& name : m_unused)
            sql += "DEALLOCATE " + name + ';';
        m_unused.clear();
        PQclear(PQexec(m_conn, sql.constData()));
    }
    return "melbrin_" + QByteArray::number(++m_named);
}

void ServerSession::release(const QByteArray& name)
{
    m_unused.push_back(name);
}

QString serverReason(const PGresult* result, PGconn* conn)
{
    if (result) {
        if (const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY))
            return trimmedMessage(primary);
        if (const char* message = PQresultErrorMessage(result); message && *message)
            return trimmedMessage(message);
    }
    return trimmedMessage(PQerrorMessage(conn));
}

ServerResult ServerSession::checked(PGresult* raw) const
{
    ServerResult result(raw, &PQclear);
    const ExecStatusType status = raw ? PQresultStatus(raw) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        return result;
    const QString reason = serverReason(raw, m_conn);
    if (PQstatus(m_conn) != CONNECTION_OK)
        throw Error(QStringLiteral("The connection to the server was lost: %1").arg(reason));
    const char* state = raw ? PQresultErrorField(raw, PG_DIAG_SQLSTATE) : nullptr;
    const QByteArray code(state ? state : "");
    if (code == "42501" || code == "25006")
        throw Error(QStringLiteral("The server refused the change: %1").arg(reason));
    if (code == "57P01" || code == "57P02" || code == "57P03")
        throw Error(QStringLiteral("The connection to the server was lost: %1").arg(reason));
    throw Error(reason);
}

ServerResult ServerSession::run(const QByteArray& sql, const QList<QByteArray>& params, bool binary)
{
    std::vector<const char*> values;
    for (const QByteArray& p : params)
        values.push_back(p.isNull() ? nullptr : p.constData());
    countPreparation();
    return checked(PQexecParams(m_conn, sql.constData(), int(values.size()), nullptr, values.data(),
                                nullptr, nullptr, binary ? 1 : 0));
}

std::pair<QString, QString> ServerSession::origin(Oid table, int column)
{
    if (table == InvalidOid || column <= 0)
        return {};
    auto it = m_tables.find(table);
    if (it == m_tables.end() || !it->columns.contains(column)) {
        // Columns added since are learnt with the table again.
        const ServerResult r
            = run("select c.relname, a.attnum, a.attname from pg_class c join pg_attribute a "
                  "on a.attrelid = c.oid where c.oid = $1 and a.attnum > 0",
                  {QByteArray::number(table)});
        Table t;
        for (int i = 0; i < PQntuples(r.get()); ++i) {
            t.name = QString::fromUtf8(PQgetvalue(r.get(), i, 0));
            t.columns.insert(QByteArray(PQgetvalue(r.get(), i, 1)).toInt(),
                             QString::fromUtf8(PQgetvalue(r.get(), i, 2)));
        }
        it = m_tables.insert(table, t);
    }
    return {it->name, it->columns.value(column)};
}

QString declaredTypeOf(Oid type)
{
    switch (type) {
    case int2Oid:
        return QStringLiteral("SMALLINT");
    case int4Oid:
    case int8Oid:
    case oidOid:
        return QStringLiteral("INTEGER");
    case boolOid:
        return QStringLiteral("BOOLEAN");
    case float4Oid:
    case float8Oid:
        return QStringLiteral("REAL");
    case numericOid:
        return QStringLiteral("NUMERIC");
    case textOid:
    case varcharOid:
    case bpcharOid:
        return QStringLiteral("TEXT");
    case byteaOid:
        return QStringLiteral("BLOB");
    default:
        return {};
    }
}

QVariant serverValue(const PGresult* result, int row, int column)
{
    if (PQgetisnull(result, row, column))
        return {};
    const char* text = PQgetvalue(result, row, column);
    const int length = PQgetlength(result, row, column);
    switch (PQftype(result, column)) {
    case int2Oid:
    case int4Oid:
    case int8Oid:
    case oidOid:
        return QVariant(qlonglong(QByteArray::fromRawData(text, length).toLongLong()));
    case float4Oid:
    case float8Oid:
    case numericOid: {
        const QByteArray number = QByteArray::fromRawData(text, length);
        if (number == "NaN")
            return QVariant(std::numeric_limits<double>::quiet_NaN());
        if (number == "Infinity" || number == "-Infinity")
            return QVariant((number.startsWith('-') ? -1 : 1)
                            * std::numeric_limits<double>::infinity());
        return QVariant(number.toDouble());
    }
    case boolOid:
        return QVariant(qlonglong(text[0] == 't' ? 1 : 0));
    case byteaOid:
        if (PQfformat(result, column) == 1)
            return QVariant(QByteArray(text, length));
        // Text results give bytes in hex: "\x0a1b...".
        return QVariant(QByteArray::fromHex(QByteArray::fromRawData(text, length).mid(2)));
    default:
        return QVariant(QString::fromUtf8(text, length));
    }
}

} // namespace data
