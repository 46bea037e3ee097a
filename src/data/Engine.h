#pragma once

#include <QSet>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

namespace data {

// A column of a prepared statement's result, as known before the statement runs.
struct EngineColumn
{
    QString name; // as the statement names it
    QString table; // origin table, empty for expressions
    QString origin; // origin column
    QString declType; // upper case, in the file's names: INTEGER, SMALLINT, TEXT, BLOB, ...
};

// One prepared statement of a backend. Values bound and read are QVariants: Null, qlonglong,
// double, QString or QByteArray (truth values read as 0 or 1).
class EngineStatement
{
public:
    virtual ~EngineStatement() = default;

    virtual int columnCount() const = 0;
    virtual EngineColumn column(int index) const = 0;
    // Parameters count from 1; a named one (":gid") answers its name without the colon,
    // a positional one an empty name.
    virtual int parameterCount() const = 0;
    virtual QString parameterName(int index) const = 0;
    virtual void bind(int index, const QVariant& value) = 0;
    // Runs the statement on the first call; true while a row is current. Throws Error.
    virtual bool step() = 0;
    virtual QVariant value(int column) const = 0;
    // Ready to be bound and run again; holds no lock until then.
    virtual void reset() = 0;
    // Rows the last run inserted, updated or deleted.
    virtual qint64 changes() const = 0;
};

// What a backend tells about one of its tables.
struct TableInfo
{
    struct Column
    {
        QString name;
        QString declType; // upper case, as EngineColumn::declType
        bool hasDefault = false;
        bool key = false; // part of the primary key
    };
    std::vector<Column> columns; // in stored order
    // The backend may change a written row (triggers).
    bool triggers = false;
    // Lower-case names of columns the backend reads cheaply only by row id (stored after a
    // blob); the result sets read them when asked for.
    QSet<QString> late;
    // The column holding the row's version, raised by every change; empty when the table has
    // none. Changes then apply only to the version the row was read at.
    QString version;
};

// A database behind the engine layer: an encrypted file or a server.
class Engine
{
public:
    enum class Kind { File, Server };

    virtual ~Engine() = default;

    virtual Kind kind() const = 0;
    // The file path, or the server address without any password: for messages and titles.
    virtual QString displayName() const = 0;

    virtual std::unique_ptr<EngineStatement> prepare(const QString& sql) = 0;
    // Runs statements that return no rows: one, or several separated by semicolons.
    virtual void execute(const QString& sql) = 0;

    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    // A transaction was begun but the backend has rolled it back by itself (a full disk, a
    // lost connection).
    virtual bool transactionLost() const = 0;

    virtual bool hasTable(const QString& name) = 0;
    virtual TableInfo tableInfo(const QString& table) = 0;
    // The expression naming a row of the table for good: "rowid" in a file, the key on a
    // server.
    virtual QString rowIdColumn(const QString& table) = 0;
    // Appended to an insert so that it answers the new row's id (empty when the backend knows
    // it without), and that id after the insert ran.
    virtual QString returningRowId(const QString& table) = 0;
    virtual qint64 insertedRowId(EngineStatement& insert) = 0;
    // A blob by row id; empty bytes when the row or value is gone.
    virtual QByteArray readBlob(const QString& table, const QString& column, qint64 rowId) = 0;

    // The number the next row appended to the table will get (group numbers follow it).
    virtual qint64 nextRowNumber(const QString& table) = 0;
    // The member search condition on the ":find" parameter (see MemberSearch.h).
    virtual QString searchCondition() = 0;
    // The collation comparing text exactly, for "collate X".
    virtual QString exactCollation() const = 0;
    // Hints that the member pages are read often now (a search box open); may do nothing.
    virtual void keepMembersInMemory(bool keep) = 0;

    // Keeps other stations from running a batch (import, photo downsizing) on the same
    // database until unlockBatch(); false when another holds it. A file is locked by its
    // transactions and always answers true.
    virtual bool tryLockBatch() = 0;
    virtual void unlockBatch() = 0;
};

} // namespace data
