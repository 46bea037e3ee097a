#pragma once

#include "Engine.h"

#include <QHash>
#include <QStringList>
#include <libpq-fe.h>
#include <memory>

namespace data {

// A result of the server, cleared with the object.
using ServerResult = std::unique_ptr<PGresult, decltype(&PQclear)>;

// One connection to the server and what the engine learns on it: the names of tables and
// columns behind result columns, and the statements no longer in use, released together
// with the next preparation.
class ServerSession
{
public:
    ServerSession(PGconn* conn, QString displayName);
    ~ServerSession();
    ServerSession(const ServerSession&) = delete;
    ServerSession& operator=(const ServerSession&) = delete;

    PGconn* conn() const { return m_conn; }
    const QString& displayName() const { return m_displayName; }

    // A name for a new prepared statement; releases the ones no longer used first.
    QByteArray newStatementName();
    void release(const QByteArray& name);

    // Throws Error for a result that is missing or failed: the server's reason, or that the
    // connection was lost.
    ServerResult checked(PGresult* result) const;
    // Runs SQL with text parameters (null for Null); text results unless binary is true.
    ServerResult run(const QByteArray& sql, const QList<QByteArray>& params = {},
                     bool binary = false);

    // The table and column a result column comes from; empty when it is an expression.
    std::pair<QString, QString> origin(Oid table, int column);

private:
    PGconn* m_conn;
    QString m_displayName;
    quint64 m_named = 0;
    QList<QByteArray> m_unused;
    struct Table
    {
        QString name;
        QHash<int, QString> columns;
    };
    QHash<Oid, Table> m_tables;
};

// The column type in the file's names (INTEGER, SMALLINT, BOOLEAN, REAL, TEXT, BLOB, ...);
// empty for a type the program does not use.
QString declaredTypeOf(Oid type);
// A value of a text-format result as the file gives it.
QVariant serverValue(const PGresult* result, int row, int column);

// The server's reason for a failed result, trimmed to its first line.
QString serverReason(const PGresult* result, PGconn* conn);

} // namespace data
