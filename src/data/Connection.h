#pragma once

#include <QString>
#include <vector>

struct sqlite3;

namespace data {

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

// One encrypted database file.
class Connection
{
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void setConnectionString(const QString& text) { m_connectionString = text; }
    const QString& connectionString() const { return m_connectionString; }

    // Opens the file named by the connection string, keyed with its password. The file must
    // exist. Throws Error with the engine's message.
    void open();
    // Closes every open query, then the file.
    void close();
    bool isOpen() const { return m_db != nullptr; }
    QString fileName() const { return m_fileName; }

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
    void attach(Query* query);
    void detach(Query* query);

    QString m_connectionString;
    QString m_fileName;
    sqlite3* m_db = nullptr;
    std::vector<Query*> m_queries;
    int m_transactionDepth = 0;
};

// Throws Error with the message of the connection's last failure, prefixed by context.
[[noreturn]] void throwEngineError(sqlite3* db, const QString& context = {});

} // namespace data
