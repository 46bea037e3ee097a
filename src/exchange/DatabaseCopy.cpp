#include "DatabaseCopy.h"

#include "PartFile.h"
#include "data/Connection.h"
#include "data/DatabaseKey.h"
#include "data/Engine.h"
#include "data/Error.h"
#include "data/OutputFile.h"
#include "data/Schema.h"
#include "data/ServerSchema.h"
#include "imaging/Progress.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <limits>

namespace exchange {
namespace {

using data::Connection;
using data::Engine;
using data::EngineStatement;
using data::Error;

// The tables of a card database, in the order they are copied.
const QStringList& cardTables()
{
    static const QStringList tables {QStringLiteral("grptbl"), QStringLiteral("stafftbl"),
                                     QStringLiteral("fields"), QStringLiteral("param"),
                                     QStringLiteral("settings")};
    return tables;
}

// Rows read per statement: a few megabytes of photos at most.
constexpr int batchRows = 100;

QString quoted(const QString& identifier)
{
    return u'"' + QString(identifier).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

// A column both sides have, as each spells it.
struct SharedColumn
{
    QString source;
    QString target;
};

// The columns of table that both databases have, the row versions left out.
std::vector<SharedColumn> sharedColumns(Engine& from, Engine& to, const QString& table)
{
    const data::TableInfo source = from.tableInfo(table);
    const data::TableInfo target = to.tableInfo(table);
    auto isVersion = [](const QString& name, const data::TableInfo& info) {
        return !info.version.isEmpty() && name.compare(info.version, Qt::CaseInsensitive) == 0;
    };
    std::vector<SharedColumn> shared;
    for (const data::TableInfo::Column& c : source.columns) {
        if (isVersion(c.name, source) || isVersion(c.name, target))
            continue;
        const auto match = std::find_if(target.columns.begin(), target.columns.end(),
                                        [&](const data::TableInfo::Column& t) {
                                            return t.name.compare(c.name, Qt::CaseInsensitive) == 0;
                                        });
        if (match != target.columns.end())
            shared.push_back({c.name, match->name});
    }
    return shared;
}

qint64 countRows(Engine& engine, const QString& table)
{
    const auto count = engine.prepare(QStringLiteral("select count(*) from %1").arg(quoted(table)));
    return count->step() ? count->value(0).toLongLong() : 0;
}

// Reads the source as it stands when the copy starts, whatever other stations commit
// meanwhile; leaves it as it was.
class Snapshot
{
public:
    explicit Snapshot(Connection& source)
        : m_source(source)
        , m_outer(source.inTransaction())
    {
        if (m_outer)
            return;
        if (source.isServer()) {
            source.beginTransaction();
            try {
                source.execute(
                    QStringLiteral("set transaction isolation level repeatable read, read only"));
            } catch (...) {
                source.rollback();
                throw;
            }
        } else {
            // A deferred transaction only reads: a file on read-only media can be copied too.
            source.execute(QStringLiteral("begin"));
        }
    }
    ~Snapshot()
    {
        if (m_outer)
            return;
        try {
            if (m_source.isServer())
                m_source.rollback();
            else
                m_source.execute(QStringLiteral("rollback"));
        } catch (const Error&) {
            // Nothing was written; a lost connection ended the transaction already.
        }
    }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

private:
    Connection& m_source;
    bool m_outer;
};

// The insert of one row into the destination; the row ids are among the values, so that the
// copy keeps them.
QString insertSql(const QString& table, const std::vector<SharedColumn>& columns)
{
    QStringList names;
    QStringList marks;
    for (const SharedColumn& c : columns) {
        names << quoted(c.target);
        marks << QStringLiteral("?");
    }
    return QStringLiteral("insert into %1 (%2) values (%3)")
        .arg(quoted(table), names.join(u", "), marks.join(u", "));
}

// Copies every row of table in the order of its row ids, a batch of rows per read: the first
// batch from the start, each further one after the last row id read.
void copyRows(Engine& from, Engine& to, const QString& table, imaging::Progress& progress)
{
    const std::vector<SharedColumn> columns = sharedColumns(from, to, table);
    if (columns.empty())
        return;
    QStringList names;
    for (const SharedColumn& c : columns)
        names << quoted(c.source);
    const QString rowId = from.rowIdColumn(table);
    const QString select
        = QStringLiteral("select %1, %2 from %3").arg(names.join(u", "), rowId, quoted(table));
    const QString order = QStringLiteral(" order by %1 limit %2").arg(rowId).arg(batchRows);
    const auto first = from.prepare(select + order);
    const auto after = from.prepare(select + QStringLiteral(" where %1 > ?").arg(rowId) + order);
    const auto write = to.prepare(insertSql(table, columns));
    const int n = int(columns.size());
    EngineStatement* read = first.get();
    for (;;) {
        int rows = 0;
        qint64 last = 0;
        while (read->step()) {
            for (int i = 0; i < n; ++i)
                write->bind(i + 1, read->value(i));
            write->step();
            write->reset();
            last = read->value(n).toLongLong();
            ++rows;
            progress.step();
        }
        read->reset();
        if (rows < batchRows)
            break;
        read = after.get();
        read->bind(1, QVariant(qlonglong(last)));
    }
}

// New rows are numbered after the copied ones, and after any number the source had given
// before (to rows deleted since), so that new groups never take a number once in use.
void continueNumbering(Connection& from, Connection& to, const QString& table)
{
    Engine& engine = to.engine();
    const qint64 next = from.engine().nextRowNumber(table);
    if (!to.isServer()) {
        // The file's counter follows the largest row id stored by itself.
        const auto counter = engine.prepare(
            QStringLiteral("update sqlite_sequence set seq = ? where name = ? and seq < ?"));
        counter->bind(1, QVariant(qlonglong(next - 1)));
        counter->bind(2, table);
        counter->bind(3, QVariant(qlonglong(next - 1)));
        counter->step();
        return;
    }
    const QString key = engine.rowIdColumn(table);
    const auto counter = engine.prepare(
        QStringLiteral("select setval(pg_get_serial_sequence(?, ?), greatest(coalesce((select "
                       "max(%1) from %2), 0) + 1, ?), false)")
            .arg(quoted(key), quoted(table)));
    counter->bind(1, table);
    counter->bind(2, key);
    counter->bind(3, QVariant(qlonglong(next)));
    counter->step();
}

// Replaces the destination's rows of every card table the source has with the source's.
void copyTables(Connection& from, Connection& to, imaging::Progress& progress)
{
    Engine& source = from.engine();
    Engine& target = to.engine();
    QStringList tables;
    qint64 rows = 0;
    for (const QString& table : cardTables()) {
        if (!source.hasTable(table) || !target.hasTable(table))
            continue;
        tables << table;
        rows += countRows(source, table);
    }
    progress.setMin(0);
    progress.setMax(int(std::min<qint64>(rows, std::numeric_limits<int>::max())));
    progress.show();
    for (const QString& table : tables) {
        to.execute(QStringLiteral("delete from %1").arg(quoted(table)));
        copyRows(source, target, table, progress);
        continueNumbering(from, to, table);
    }
    progress.hide();
}

// Rolls the destination's transaction back on every way out but commit().
class Transaction
{
public:
    explicit Transaction(Connection& connection)
        : m_connection(connection)
    {
        m_connection.beginTransaction();
    }
    ~Transaction()
    {
        if (!m_open)
            return;
        try {
            m_connection.rollback();
        } catch (const Error&) {
            // A connection that went away took its transaction with it.
        }
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit()
    {
        m_connection.commit();
        m_open = false;
    }

private:
    Connection& m_connection;
    bool m_open = true;
};

void openOn(Connection& connection, const QString& dataSource,
            const QString& key = data::defaultKey())
{
    connection.setConnectionString(data::buildConnectionString(dataSource, key));
    connection.open();
}

} // namespace

void copyToServer(Connection& source, const QString& address, imaging::Progress& progress)
{
    if (!source.isOpen())
        throw Error(QStringLiteral("The database is not open"));
    Connection target;
    openOn(target, address);
    if (source.isServer() && source.fileName() == target.fileName())
        throw Error(QStringLiteral("'%1' is the database being copied").arg(address));
    const Snapshot snapshot(source);
    Transaction transaction(target);
    if (!target.engine().hasTable(QStringLiteral("stafftbl")))
        data::createServerTables(target);
    else if (countRows(target.engine(), QStringLiteral("stafftbl")) > 0)
        throw Error(QStringLiteral("'%1' already holds members; a copy goes only into a new "
                                   "database")
                        .arg(target.fileName()));
    copyTables(source, target, progress);
    transaction.commit();
}

void copyToFile(Connection& source, const QString& path, imaging::Progress& progress,
                const std::optional<QString>& key)
{
    if (!source.isOpen())
        throw Error(QStringLiteral("The database is not open"));
    data::checkOutput(path, source.isServer() ? QString() : source.fileName());
    const QFileInfo target(path);
    removeLeftovers(target);
    const QString copyKey = key.value_or(
        source.isServer() ? data::defaultKey()
                          : data::parseConnectionString(source.connectionString()).password);
    data::checkPassphrase(copyKey);
    PartFile part(reservePartName(target));
    data::createStarterDatabase(part.path(), copyKey);
    {
        Connection copy;
        openOn(copy, part.path(), copyKey);
        const Snapshot snapshot(source);
        Transaction transaction(copy);
        copyTables(source, copy, progress);
        transaction.commit();
    }
    replaceWithPart(part, target);
}

void copyDatabase(Connection& source, const QString& destination, imaging::Progress& progress,
                  const std::optional<QString>& key)
{
    if (data::isServerAddress(destination))
        copyToServer(source, destination, progress);
    else
        copyToFile(source, destination, progress, key);
}

} // namespace exchange
