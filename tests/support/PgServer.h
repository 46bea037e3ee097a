#pragma once

#include <QString>

namespace testsupport {

// The test run's PostgreSQL server (see pgserver.py beside this file): the one CTest started
// for the run, named by MELBRIN_PGTEST, or, for a test program run alone, one started on first
// use and stopped at exit. The superuser "melbrin" reaches it by password through the pgpass
// file the harness writes (PGPASSFILE is set on first use).
class PgServer
{
public:
    // Null when no server can be started; skipReason() then says why.
    static PgServer* instance();
    static QString skipReason();

    int port() const { return m_port; }
    // The CA certificate that signed the server's certificate (CN=localhost).
    QString caFile() const { return m_ca; }
    QString pgpassFile() const { return m_pgpass; }

    // A new empty database owned by the superuser; answers its name.
    QString createDatabase(const QString& prefix = QStringLiteral("t"));
    // postgresql://user@127.0.0.1:port/database, with options appended as "?a=b&c=d".
    QString address(const QString& database, const QString& user = QStringLiteral("melbrin"),
                    const QString& options = {}) const;
    // Runs SQL as the superuser through psql; answers its rows as tab-separated lines and
    // throws std::runtime_error with psql's message on failure.
    QString superuser(const QString& database, const QString& sql) const;

    // The server goes away (immediately, as a crash would) and comes back on the same port.
    void stop();
    void start();

private:
    PgServer() = default;
    bool load(const QString& folder);

    QString m_folder;
    QString m_bin;
    QString m_cluster;
    QString m_socket;
    QString m_log;
    QString m_ca;
    QString m_pgpass;
    int m_port = 0;
    int m_databases = 0;
};

} // namespace testsupport
