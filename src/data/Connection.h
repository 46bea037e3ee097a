#pragma once

#include <QString>
#include <memory>
#include <vector>

struct sqlite3;

namespace data {

class Engine;
class Query;

// The parts of a connection string this engine uses.
struct ConnectionSettings
{
    QString dataSource;
    QString password;
};

// Reads "Key=Value;Key=Value" pairs; values may be double-quoted (a doubled quote inside
// stands for one). Keys are matched without letter case.
ConnectionSettings parseConnectionString(const QString& text);
QString buildConnectionString(const QString& databasePath, const QString& password);

// The cipher page size every file of this program is created and opened with.
inline constexpr int cipherPageSize = 4096;

// Whether a data source names a database server ("postgresql://user@host/dbname") rather
// than a file.
bool isServerAddress(const QString& dataSource);
// A file path made absolute; a server address as it is.
QString absoluteDataSource(const QString& dataSource);

// One database: an encrypted file or a database on a server, behind the same operations.
class Connection
{
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void setConnectionString(const QString& text) { m_connectionString = text; }
    const QString& connectionString() const { return m_connectionString; }

    // Opens the file named by the connection string, keyed with its password (the file must
    // exist), or connects to the server it names. Throws Error with the engine's message.
    void open();
    // Closes every open query, then the database.
    void close();
    bool isOpen() const { return m_engine != nullptr; }
    // The file path or the server address (never with a password).
    QString fileName() const { return m_fileName; }
    bool isServer() const;

    // The backend; throws when the connection is closed.
    Engine& engine() const;
    // The file's engine handle; null when closed or on a server.
    sqlite3* handle() const { return m_db; }
    // Runs statements that return no rows; throws on failure.
    void execute(const QString& sql);

    // Changes made between begin and commit go to the file together. Nested calls count.
    void beginTransaction();
    void commit();
    // Also ends a transaction that the engine already rolled back by itself after an error
    // (a full disk does that), without asking the engine again.
    void rollback();
    bool inTransaction() const { return m_transactionDepth > 0; }
    // A transaction was begun here but the engine has rolled it back by itself.
    bool transactionLost() const;

    // Opens (or creates, when create is true) an encrypted file and checks that the key
    // works; used by open() and by the tools that make new files.
    static sqlite3* openKeyed(const QString& path, const QString& password, bool create);

private:
    friend class Query;
    void endLostTransaction();
    void attach(Query* query);
    void detach(Query* query);

    QString m_connectionString;
    QString m_fileName;
    std::unique_ptr<Engine> m_engine;
    sqlite3* m_db = nullptr;
    std::vector<Query*> m_queries;
    int m_transactionDepth = 0;
};

// Throws Error with the message of the connection's last failure, prefixed by context.
[[noreturn]] void throwEngineError(sqlite3* db, const QString& context = {});

} // namespace data
