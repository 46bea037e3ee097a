#pragma once

#include <QString>
#include <QVariant>
#include <cstdint>
#include <sqlcipher/sqlite3.h>

namespace data {

// One prepared statement of the engine, finalized with the object. Every preparation is
// counted (see preparedStatements()).
class Statement
{
public:
    Statement(sqlite3* db, const QString& sql);
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* get() const { return m_stmt; }
    // Binds a value by its type: Null, integer, real, blob, or else text.
    void bind(int index, const QVariant& value);
    // True for a row, false when done; throws on failure.
    bool step();

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

// Makes a kept statement ready for new bindings on every way out of a use, so that it holds
// no lock in between; after the message of a failure has been read.
class StatementUse
{
public:
    explicit StatementUse(Statement& statement)
        : m_statement(statement)
    { }
    ~StatementUse()
    {
        sqlite3_reset(m_statement.get());
        sqlite3_clear_bindings(m_statement.get());
    }
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;

private:
    Statement& m_statement;
};

// A column of the current result row as a QVariant: Null, qlonglong, double, QString or
// QByteArray.
QVariant columnValue(sqlite3_stmt* stmt, int i);

// Whether a value bound to a column of that declared type (upper case) reads back as the same
// value, by the rule with which the engine gives columns their affinity.
bool readsBackAsBound(const QString& declType, const QVariant& value);

// Counts one preparation made by another backend (see preparedStatements()).
void countPreparation();

} // namespace data
