#include "Connection.h"

#include "Error.h"
#include "FileEngine.h"
#include "MemberSearch.h"
#include "OutputFile.h"
#include "Query.h"
#include "ServerEngine.h"

#include <QFileInfo>
#include <algorithm>
#include <sqlcipher/sqlite3.h>

namespace data {

ConnectionSettings parseConnectionString(const QString& text)
{
    ConnectionSettings settings;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype eq = text.indexOf(u'=', i);
        if (eq < 0)
            break;
        const QString key = text.mid(i, eq - i).trimmed();
        QString value;
        i = eq + 1;
        while (i < n && text.at(i) == u' ')
            ++i;
        if (i < n && text.at(i) == u'"') {
            ++i;
            while (i < n) {
                if (text.at(i) == u'"') {
                    if (i + 1 < n && text.at(i + 1) == u'"') {
                        value += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += text.at(i++);
            }
            while (i < n && text.at(i) != u';')
                ++i;
        } else {
            const qsizetype end = text.indexOf(u';', i);
            value = text.mid(i, end < 0 ? -1 : end - i).trimmed();
            i = end < 0 ? n : end;
        }
        ++i; // the ';'
        if (key.compare(u"Data Source", Qt::CaseInsensitive) == 0)
            settings.dataSource = value;
        else if (key.compare(u"Jet OLEDB:Database Password", Qt::CaseInsensitive) == 0)
            settings.password = value;
    }
    return settings;
}

namespace {

// A value holding ";", a double quote or outer blanks is quoted so that it reads back whole.
QString quotedValue(const QString& value)
{
    if (!value.contains(u';') && !value.contains(u'"') && value == value.trimmed())
        return value;
    return u'"' + QString(value).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

} // namespace

QString buildConnectionString(const QString& databasePath, const QString& password)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=")
        + quotedValue(databasePath)
        + QStringLiteral(";Mode=ReadWrite;Extended Properties=\"\";Jet OLEDB:Database Password=")
        + quotedValue(password);
}

void throwEngineError(sqlite3* db, const QString& context)
{
    QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
    if (!context.isEmpty())
        message = context + QStringLiteral(": ") + message;
    throw Error(message);
}

namespace {

void exec(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throwEngineError(db);
}

bool answersRow(sqlite3* db, const char* sql)
{
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK)
        return false;
    const bool row = sqlite3_step(stmt) == SQLITE_ROW;
    sqlite3_finalize(stmt);
    return row;
}

} // namespace

sqlite3* Connection::openKeyed(const QString& path, const QString& password, bool create)
{
    if (!create && !QFileInfo(path).isFile())
        throw Error(QStringLiteral("Could not find file '%1'").arg(path));
    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK) {
        const QString message
            = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close(db);
        throw Error(QStringLiteral("Cannot open '%1': %2").arg(path, message));
    }
    try {
        const QByteArray key = password.toUtf8();
        if (sqlite3_key_v2(db, "main", key.constData(), int(key.size())) != SQLITE_OK)
            throwEngineError(db);
        // A plain SQLite would ignore the key and write an open file: refuse to go on.
        if (!answersRow(db, "PRAGMA cipher_version"))
            throw Error(QStringLiteral("The database engine has no encryption support"));
        exec(db, "PRAGMA cipher_page_size = 4096");
        // Another program's commit may hold the file for a moment, also during these reads.
        sqlite3_busy_timeout(db, 3000);
        // The first read shows whether the key fits the file.
        exec(db, "SELECT count(*) FROM sqlite_master");
        exec(db, "PRAGMA journal_mode = DELETE");
        exec(db, "PRAGMA foreign_keys = OFF");
        // Deleted rows are cleared from their pages; freed overflow pages (old photos) are left
        // as they are, still encrypted, rather than written over at twice the cost.
        exec(db, "PRAGMA secure_delete = FAST");
        registerSearchFunctions(db);
    } catch (const Error& e) {
        sqlite3_close(db);
        throw Error(QStringLiteral("Cannot open '%1': %2").arg(path, e.message()));
    }
    return db;
}

bool isServerAddress(const QString& dataSource)
{
    return dataSource.startsWith(u"postgresql://", Qt::CaseInsensitive)
        || dataSource.startsWith(u"postgres://", Qt::CaseInsensitive);
}

QString absoluteDataSource(const QString& dataSource)
{
    return isServerAddress(dataSource) ? dataSource : QFileInfo(dataSource).absoluteFilePath();
}

Connection::Connection() = default;

Connection::~Connection()
{
    close();
}

void Connection::open()
{
    close();
    const ConnectionSettings settings = parseConnectionString(m_connectionString);
    if (settings.dataSource.isEmpty())
        throw Error(QStringLiteral("The connection string names no data source"));
    if (isServerAddress(settings.dataSource)) {
        m_engine = openServer(settings.dataSource);
        m_fileName = m_engine->displayName();
        return;
    }
    sqlite3* db = openKeyed(settings.dataSource, settings.password, false);
    m_engine = std::make_unique<FileEngine>(db, settings.dataSource);
    m_db = db;
    m_fileName = settings.dataSource;
    noteOpenDatabase(m_fileName, true);
}

bool Connection::isServer() const
{
    return m_engine && m_engine->kind() == Engine::Kind::Server;
}

Engine& Connection::engine() const
{
    if (!m_engine)
        throw Error(QStringLiteral("Operation is not allowed when the object is closed"));
    return *m_engine;
}

void Connection::close()
{
    for (Query* q : std::vector<Query*>(m_queries))
        q->connectionClosing();
    if (m_engine) {
        const bool file = m_db != nullptr;
        m_engine.reset(); // a transaction still open is rolled back
        m_db = nullptr;
        if (file)
            noteOpenDatabase(m_fileName, false);
    }
    m_transactionDepth = 0;
}

void Connection::execute(const QString& sql)
{
    engine().execute(sql);
}

void Connection::beginTransaction()
{
    if (m_transactionDepth == 0)
        engine().begin();
    ++m_transactionDepth;
}

void Connection::commit()
{
    if (m_transactionDepth == 0)
        return;
    if (m_transactionDepth == 1) {
        if (transactionLost()) {
            endLostTransaction();
            throw Error(QStringLiteral("The changes were not saved: the database engine had "
                                       "already rolled them back"));
        }
        engine().commit();
    }
    --m_transactionDepth;
}

void Connection::rollback()
{
    if (m_transactionDepth == 0)
        return;
    if (transactionLost()) {
        endLostTransaction();
        return;
    }
    m_transactionDepth = 0;
    engine().rollback();
}

void Connection::endLostTransaction()
{
    m_transactionDepth = 0;
    // A server keeps an aborted transaction open until told to end it; a file has ended it.
    try {
        engine().rollback();
    } catch (const Error&) {
        // The reason the transaction was lost has been reported already.
    }
}

bool Connection::transactionLost() const
{
    return m_transactionDepth > 0 && m_engine && m_engine->transactionLost();
}

void Connection::attach(Query* query)
{
    m_queries.push_back(query);
}

void Connection::detach(Query* query)
{
    std::erase(m_queries, query);
}

} // namespace data
