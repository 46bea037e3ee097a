#include "FileEngine.h"

#include "Connection.h"
#include "Error.h"
#include "MemberSearch.h"
#include "Statement.h"

#include <sqlcipher/sqlite3.h>

namespace data {
namespace {

QString quoted(const QString& identifier)
{
    return u'"' + QString(identifier).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

// A prepared statement of the file: the engine describes its columns before it runs.
class FileStatement final : public EngineStatement
{
public:
    FileStatement(sqlite3* db, const QString& sql)
        : m_db(db)
        , m_statement(db, sql)
    { }

    int columnCount() const override { return sqlite3_column_count(m_statement.get()); }
    EngineColumn column(int i) const override
    {
        sqlite3_stmt* stmt = m_statement.get();
        EngineColumn c;
        c.name = QString::fromUtf8(sqlite3_column_name(stmt, i));
        if (const char* t = sqlite3_column_table_name(stmt, i))
            c.table = QString::fromUtf8(t);
        if (const char* o = sqlite3_column_origin_name(stmt, i))
            c.origin = QString::fromUtf8(o);
        if (const char* d = sqlite3_column_decltype(stmt, i))
            c.declType = QString::fromUtf8(d).toUpper();
        return c;
    }
    int parameterCount() const override { return sqlite3_bind_parameter_count(m_statement.get()); }
    QString parameterName(int index) const override
    {
        const char* raw = sqlite3_bind_parameter_name(m_statement.get(), index);
        return raw && raw[0] == ':' ? QString::fromUtf8(raw + 1) : QString();
    }
    void bind(int index, const QVariant& value) override { m_statement.bind(index, value); }
    bool step() override { return m_statement.step(); }
    QVariant value(int column) const override { return columnValue(m_statement.get(), column); }
    void reset() override
    {
        sqlite3_reset(m_statement.get());
        sqlite3_clear_bindings(m_statement.get());
    }
    qint64 changes() const override { return sqlite3_changes(m_db); }

private:
    sqlite3* m_db;
    Statement m_statement;
};

} // namespace

FileEngine::FileEngine(sqlite3* db, QString path)
    : m_db(db)
    , m_path(std::move(path))
{ }

FileEngine::~FileEngine()
{
    if (!sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(m_db);
}

std::unique_ptr<EngineStatement> FileEngine::prepare(const QString& sql)
{
    return std::make_unique<FileStatement>(m_db, sql);
}

void FileEngine::execute(const QString& sql)
{
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throwEngineError(m_db);
}

void FileEngine::begin()
{
    execute(QStringLiteral("BEGIN IMMEDIATE"));
}

void FileEngine::commit()
{
    execute(QStringLiteral("COMMIT"));
}

void FileEngine::rollback()
{
    if (sqlite3_get_autocommit(m_db))
        return; // the engine has rolled the transaction back already
    execute(QStringLiteral("ROLLBACK"));
}

bool FileEngine::transactionLost() const
{
    return sqlite3_get_autocommit(m_db) != 0;
}

bool FileEngine::hasTable(const QString& name)
{
    Statement find(m_db,
                   QStringLiteral("select 1 from sqlite_master where type = 'table' and "
                                  "name = ?1 collate nocase"));
    find.bind(1, name);
    return find.step();
}

TableInfo FileEngine::tableInfo(const QString& table)
{
    TableInfo info;
    {
        bool blob = false;
        // cid, name, type, notnull, dflt_value, pk
        Statement columns(m_db, QStringLiteral("pragma table_info(%1)").arg(quoted(table)));
        while (columns.step()) {
            TableInfo::Column c;
            c.name = columnValue(columns.get(), 1).toString();
            c.declType = columnValue(columns.get(), 2).toString().toUpper();
            c.hasDefault = sqlite3_column_type(columns.get(), 4) != SQLITE_NULL;
            c.key = sqlite3_column_int(columns.get(), 5) > 0;
            if (blob)
                info.late.insert(c.name.toLower());
            blob = blob || c.declType == u"BLOB";
            info.columns.push_back(c);
        }
    }
    Statement count(m_db,
                    QStringLiteral("select (select count(*) from sqlite_master where type = "
                                   "'trigger' and tbl_name = ?1 collate nocase) + (select count(*) "
                                   "from sqlite_temp_master where type = 'trigger' and tbl_name = "
                                   "?1 collate nocase)"));
    count.bind(1, table);
    info.triggers = !count.step() || sqlite3_column_int(count.get(), 0) > 0;
    return info;
}

qint64 FileEngine::insertedRowId(EngineStatement&)
{
    return sqlite3_last_insert_rowid(m_db);
}

QByteArray FileEngine::readBlob(const QString& table, const QString& column, qint64 rowId)
{
    sqlite3_blob* blob = nullptr;
    if (sqlite3_blob_open(m_db, "main", table.toUtf8().constData(), column.toUtf8().constData(),
                          rowId, 0, &blob)
        != SQLITE_OK) {
        sqlite3_blob_close(blob);
        throwEngineError(m_db);
    }
    QByteArray bytes(sqlite3_blob_bytes(blob), Qt::Uninitialized);
    const int rc = sqlite3_blob_read(blob, bytes.data(), int(bytes.size()), 0);
    sqlite3_blob_close(blob);
    if (rc != SQLITE_OK)
        throwEngineError(m_db);
    return bytes;
}

qint64 FileEngine::nextRowNumber(const QString& table)
{
    // The table's own counter, which deleted rows do not turn back.
    Statement next(m_db,
                   QStringLiteral("select max(coalesce((select seq from sqlite_sequence where "
                                  "name = ?1), 0), coalesce((select max(rowid) from %1), 0)) + 1")
                       .arg(quoted(table)));
    next.bind(1, table);
    next.step();
    return sqlite3_column_int64(next.get(), 0);
}

QString FileEngine::searchCondition()
{
    return fileSearchCondition();
}

void FileEngine::keepMembersInMemory(bool keep)
{
    execute(keep ? QStringLiteral("PRAGMA cache_size = -32768")
                 : QStringLiteral("PRAGMA cache_size = -2000"));
    if (!keep)
        return;
    // One read of the columns searched brings in the pages every search reads.
    Statement warm(m_db, QStringLiteral("select count(cname) + count(staffno) from stafftbl"));
    warm.step();
}

} // namespace data
