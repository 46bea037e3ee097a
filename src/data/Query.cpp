#include "Query.h"

#include "Connection.h"
#include "Engine.h"
#include "Error.h"
#include "Statement.h"

#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <limits>
#include <optional>

namespace data {

struct Query::Column
{
    QString name; // as the statement names it
    QString table; // origin table, empty for expressions
    QString origin; // origin column
    QString declType; // upper case
    int tableIndex = -1;
    bool lazyBlob = false; // the result set holds only the length
    // The table stores the column after a blob: reading it walks the blob's pages, so the
    // result set reads it by row id only when it is asked for.
    bool afterBlob = false;
};

struct Query::Table
{
    QString name;
    QString rowId; // the expression naming a row
    QString version; // the row version column, empty when the table has none
};

struct Query::Row
{
    // Values of columns after a blob are read when first asked for (unread marks them).
    mutable std::vector<QVariant> values;
    mutable std::vector<bool> unread;
    std::vector<std::optional<qint64>> rowids; // per table; none for a left join's missing side
    std::vector<std::optional<qint64>> versions; // per table with a version column
    std::vector<bool> changed;
};

void throwNullConversion(const QString& typeName)
{
    throw Error(
        QStringLiteral("Could not convert variant of type (Null) into type (%1)").arg(typeName));
}

namespace {

QString quoted(const QString& identifier)
{
    return u'"' + QString(identifier).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

} // namespace

// What the file adds to a row of the query's table beyond the values written, learnt once,
// and the statements that write and read back rows, each prepared once and bound anew for
// every row.
struct Query::Writer
{
    bool known = false; // the three below are learnt
    bool triggers = false; // the file may change a row after it is written
    std::vector<bool> filled; // per column: an insert that leaves it out may store a value
    std::vector<bool> rowid; // per column: the row id under another name
    QHash<QByteArray, std::shared_ptr<EngineStatement>> statements;

    template<typename Sql>
    EngineStatement& statement(Engine& engine, const QByteArray& key, Sql sql)
    {
        std::shared_ptr<EngineStatement>& kept = statements[key];
        if (!kept) {
            try {
                kept = engine.prepare(sql());
            } catch (...) {
                statements.remove(key);
                throw;
            }
        }
        return *kept;
    }
};

namespace {

// Makes a kept statement ready for new bindings on every way out of a use, so that it holds
// no lock in between; after the message of a failure has been read.
class Reset
{
public:
    explicit Reset(EngineStatement& statement)
        : m_statement(statement)
    { }
    ~Reset() { m_statement.reset(); }
    Reset(const Reset&) = delete;
    Reset& operator=(const Reset&) = delete;

private:
    EngineStatement& m_statement;
};

bool isNumeric(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

bool sameValue(const QVariant& stored, const QVariant& wanted)
{
    if (stored.isNull() || wanted.isNull())
        return false;
    if (isNumeric(stored) && isNumeric(wanted))
        return stored.toDouble() == wanted.toDouble();
    return stored.toString() == wanted.toString();
}

const QRegularExpression& selectStar()
{
    static const QRegularExpression re(QStringLiteral("^\\s*select\\s+\\*"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

} // namespace

Query::Query(Connection& connection, QString name)
    : m_connection(connection)
    , m_name(std::move(name))
{
    m_connection.attach(this);
}

Query::~Query()
{
    m_connection.detach(this);
}

void Query::setSql(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    setSql(text);
}

void Query::setSql(const QString& text)
{
    close();
    m_sql = text;
    m_parameters.clear();
}

void Query::setParameter(const QString& name, const QVariant& value)
{
    m_parameters.insert(name.startsWith(u':') ? name.mid(1) : name, value);
}

void Query::open()
{
    if (m_open)
        return;
    Engine& engine = m_connection.engine();

    // Learn the columns and where they come from without running the statement.
    std::vector<Column> columns;
    std::vector<Table> tables;
    {
        const std::unique_ptr<EngineStatement> probe = engine.prepare(m_sql);
        const int n = probe->columnCount();
        for (int i = 0; i < n; ++i) {
            const EngineColumn e = probe->column(i);
            Column c;
            c.name = e.name;
            c.table = e.table;
            c.origin = e.origin;
            c.declType = e.declType;
            if (!c.table.isEmpty()) {
                auto it = std::find_if(tables.begin(), tables.end(),
                                       [&](const Table& t) { return t.name == c.table; });
                c.tableIndex = int(it - tables.begin());
                if (it == tables.end())
                    tables.push_back({c.table, {}, {}});
            }
            columns.push_back(c);
        }
    }

    // "select * ..." is run with the row ids of its tables and only the lengths of its
    // blobs, so that a large result set holds no pictures.
    QString sql = m_sql;
    const auto star = selectStar().match(m_sql);
    bool rewritten = false;
    if (star.hasMatch() && !tables.empty()
        && std::none_of(columns.begin(), columns.end(),
                        [](const Column& c) { return c.table.isEmpty(); })) {
        std::vector<QSet<QString>> after;
        for (Table& t : tables) {
            TableInfo info = engine.tableInfo(t.name);
            after.push_back(std::move(info.late));
            t.rowId = engine.rowIdColumn(t.name);
            t.version = info.version;
        }
        // A row's version is the engine's business, not a column of the result.
        std::erase_if(columns, [&](const Column& c) {
            const QString& version = tables[size_t(c.tableIndex)].version;
            return !version.isEmpty() && c.origin.compare(version, Qt::CaseInsensitive) == 0;
        });
        QStringList list;
        for (Column& c : columns) {
            const QString ref = quoted(c.table) + u'.' + quoted(c.origin);
            c.lazyBlob = c.declType == u"BLOB";
            c.afterBlob = !c.lazyBlob && after[size_t(c.tableIndex)].contains(c.origin.toLower());
            list << (c.lazyBlob        ? QStringLiteral("length(%1)").arg(ref)
                         : c.afterBlob ? QStringLiteral("null")
                                       : ref);
        }
        if (!list.isEmpty()) {
            for (const Table& t : tables)
                list << quoted(t.name) + u'.' + t.rowId;
            for (const Table& t : tables) {
                if (!t.version.isEmpty())
                    list << quoted(t.name) + u'.' + quoted(t.version);
            }
            sql = QStringLiteral("select ") + list.join(u", ") + m_sql.mid(star.capturedLength());
            rewritten = true;
        }
    }
    if (!rewritten) {
        for (Column& c : columns) {
            c.lazyBlob = false;
            c.afterBlob = false;
        }
        tables.clear();
        for (Column& c : columns)
            c.tableIndex = -1;
    }

    const std::unique_ptr<EngineStatement> stmt = engine.prepare(sql);
    const int paramCount = stmt->parameterCount();
    for (int p = 1; p <= paramCount; ++p) {
        const QString pname = stmt->parameterName(p);
        if (!m_parameters.contains(pname))
            throw Error(QStringLiteral("%1: Parameter '%2' has no value").arg(m_name, pname));
        stmt->bind(p, m_parameters.value(pname));
    }

    m_columns = std::move(columns);
    m_tables = std::move(tables);
    m_rowSql = sql;
    m_rows.clear();
    while (stmt->step()) {
        Row row;
        readRow(*stmt, row);
        m_rows.push_back(std::move(row));
    }
    m_current = 0;
    m_state = State::Browse;
    m_pending.reset();
    m_open = true;
}

void Query::readRow(EngineStatement& stmt, Row& row) const
{
    const int n = int(m_columns.size());
    row.values.resize(n);
    row.unread.assign(n, false);
    for (int i = 0; i < n; ++i) {
        row.unread[i] = m_columns[i].afterBlob;
        row.values[i] = row.unread[i] ? QVariant() : stmt.value(i);
    }
    int at = n;
    row.rowids.assign(m_tables.size(), std::nullopt);
    for (size_t t = 0; t < m_tables.size(); ++t) {
        const QVariant id = stmt.value(at++);
        if (!id.isNull())
            row.rowids[t] = id.toLongLong();
    }
    row.versions.assign(m_tables.size(), std::nullopt);
    for (size_t t = 0; t < m_tables.size(); ++t) {
        if (m_tables[t].version.isEmpty())
            continue;
        const QVariant version = stmt.value(at++);
        if (!version.isNull())
            row.versions[t] = version.toLongLong();
    }
    row.changed.assign(n, false);
}

void Query::close()
{
    m_writer.reset();
    m_open = false;
    m_rowSql.clear();
    m_rows.clear();
    m_columns.clear();
    m_tables.clear();
    m_current = 0;
    m_state = State::Browse;
    m_pending.reset();
}

void Query::connectionClosing()
{
    close();
}

void Query::refresh()
{
    requireOpen();
    if (m_state != State::Browse)
        cancel();
    if (m_tables.size() != 1) {
        const int at = m_current;
        close();
        open();
        m_current = std::min(at, int(m_rows.size()));
        return;
    }
    for (size_t i = 0; i < m_rows.size();) {
        if (m_rows[i].rowids[0]) {
            reloadRow(m_rows[i]);
            if (m_rows[i].rowids[0]) {
                ++i;
                continue;
            }
        }
        m_rows.erase(m_rows.begin() + qsizetype(i));
        if (int(i) < m_current)
            --m_current;
    }
}

int Query::rowCount() const
{
    return m_open ? int(m_rows.size()) : 0;
}

void Query::first()
{
    requireOpen();
    if (m_state != State::Browse)
        cancel();
    m_current = 0;
}

void Query::next()
{
    requireOpen();
    if (m_state != State::Browse)
        cancel();
    if (m_current < int(m_rows.size()))
        ++m_current;
}

void Query::moveTo(int row)
{
    requireOpen();
    if (m_state != State::Browse)
        cancel();
    m_current = std::clamp(row, 0, int(m_rows.size()));
}

QVariant Query::rowValue(int row, const QString& name) const
{
    if (!m_open || row < 0 || row >= int(m_rows.size()) || !hasColumn(name))
        return {};
    const int c = columnIndex(name);
    return m_columns[c].lazyBlob ? QVariant() : valueOf(m_rows[row], c);
}

std::optional<qint64> Query::rowVersion(int row) const
{
    if (!m_open || row < 0 || row >= int(m_rows.size()) || m_rows[size_t(row)].versions.empty())
        return std::nullopt;
    return m_rows[size_t(row)].versions.front();
}

bool Query::eof() const
{
    return !m_open || m_current >= int(m_rows.size());
}

bool Query::locate(const QString& column, const QVariant& value)
{
    requireOpen();
    const int c = columnIndex(column);
    for (int r = 0; r < int(m_rows.size()); ++r) {
        const Row& row = m_rows[r];
        if (sameValue(m_columns[c].afterBlob ? valueOf(row, c) : row.values[c], value)) {
            if (m_state != State::Browse)
                cancel();
            m_current = r;
            return true;
        }
    }
    return false;
}

int Query::columnCount() const
{
    return int(m_columns.size());
}

QString Query::columnName(int index) const
{
    return m_columns.at(index).name;
}

int Query::columnIndex(const QString& name) const
{
    const qsizetype dot = name.indexOf(u'.');
    for (int i = 0; i < int(m_columns.size()); ++i) {
        const Column& c = m_columns[i];
        if (dot < 0) {
            if (c.name.compare(name, Qt::CaseInsensitive) == 0)
                return i;
        } else if (c.table.compare(name.left(dot), Qt::CaseInsensitive) == 0
                   && c.origin.compare(name.mid(dot + 1), Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    if (!m_open)
        throw Error(
            QStringLiteral("%1: Cannot perform this operation on a closed dataset").arg(m_name));
    throw Error(QStringLiteral("%1: Field '%2' not found").arg(m_name, name));
}

const Query::Column& Query::column(const QString& name) const
{
    return m_columns[columnIndex(name)];
}

bool Query::hasColumn(const QString& column) const
{
    try {
        columnIndex(column);
        return true;
    } catch (const Error&) {
        return false;
    }
}

QString Query::declaredType(const QString& name) const
{
    return column(name).declType;
}

void Query::requireOpen() const
{
    if (!m_open)
        throw Error(
            QStringLiteral("%1: Cannot perform this operation on a closed dataset").arg(m_name));
}

void Query::requireRow() const
{
    requireOpen();
    if (m_state == State::Browse && eof())
        throw Error(QStringLiteral("%1: Either BOF or EOF is True, or the current record has "
                                   "been deleted")
                        .arg(m_name));
}

void Query::requireWritable() const
{
    // Only rows of a single table can be written back.
    if (m_tables.size() != 1)
        throw Error(QStringLiteral("%1: Cannot modify a read-only dataset").arg(m_name));
}

void Query::requireEditing() const
{
    if (m_state == State::Browse)
        throw Error(QStringLiteral("%1: Dataset not in edit or insert mode").arg(m_name));
}

const Query::Row& Query::currentRowData() const
{
    requireRow();
    return m_state == State::Browse ? m_rows[m_current] : *m_pending;
}

QVariant Query::value(const QString& name) const
{
    const int c = columnIndex(name);
    return valueOf(currentRowData(), c);
}

QVariant Query::storedValue(const QString& name) const
{
    const int c = columnIndex(name);
    requireRow();
    if (m_state == State::Insert)
        return {};
    return valueOf(m_rows[m_current], c);
}

bool Query::isModified(const QString& name) const
{
    const int c = columnIndex(name);
    return m_state != State::Browse && m_pending->changed[c];
}

void Query::readAfterBlob(const Row& row, int tableIndex) const
{
    const auto& rowid = row.rowids[tableIndex];
    std::vector<int> which;
    for (int c = 0; c < int(m_columns.size()); ++c) {
        if (row.unread[c] && m_columns[c].tableIndex == tableIndex)
            which.push_back(c);
    }
    if (rowid) {
        // All of the table's late columns at once: the blob's pages are walked once.
        const QByteArray key = QByteArrayLiteral("a") + QByteArray::number(tableIndex);
        EngineStatement& stmt = writer().statement(m_connection.engine(), key, [&] {
            QStringList names;
            for (int c = 0; c < int(m_columns.size()); ++c) {
                if (m_columns[c].afterBlob && m_columns[c].tableIndex == tableIndex)
                    names << quoted(m_columns[c].origin);
            }
            return QStringLiteral("select %1 from %2 where %3 = ?")
                .arg(names.join(u", "), quoted(m_tables[tableIndex].name),
                     m_tables[tableIndex].rowId);
        });
        const Reset use(stmt);
        stmt.bind(1, QVariant(qlonglong(*rowid)));
        if (stmt.step()) {
            int i = 0;
            for (int c = 0; c < int(m_columns.size()); ++c) {
                if (m_columns[c].afterBlob && m_columns[c].tableIndex == tableIndex) {
                    if (row.unread[c])
                        row.values[c] = stmt.value(i);
                    ++i;
                }
            }
        }
    }
    for (int c : which)
        row.unread[c] = false;
}

QVariant Query::valueOf(const Row& row, int c) const
{
    if (row.unread[c])
        readAfterBlob(row, m_columns[c].tableIndex);
    const QVariant& v = row.values[c];
    const Column& col = m_columns[c];
    if (!col.lazyBlob || v.isNull() || v.typeId() == QMetaType::QByteArray)
        return v;
    if (v.toLongLong() == 0)
        return {};
    // Read the bytes from the file now.
    const auto& rowid = row.rowids[col.tableIndex];
    if (!rowid)
        return {};
    return m_connection.engine().readBlob(col.table, col.origin, *rowid);
}

namespace {

// A value converted by read(value, &ok); Null or a value that does not convert raises the
// conversion error naming the wanted type.
template<typename T, typename Read>
T converted(const QVariant& v, const QString& typeName, Read read)
{
    if (v.isNull())
        throwNullConversion(typeName);
    bool ok = false;
    const T result = read(v, &ok);
    if (!ok)
        throw Error(QStringLiteral("Could not convert variant of type (%1) into type (%2)")
                        .arg(QString::fromLatin1(v.typeName()), typeName));
    return result;
}

} // namespace

qint32 Query::asInt(const QString& name) const
{
    return converted<qint32>(value(name), QStringLiteral("Integer"),
                             [](const QVariant& v, bool* ok) {
                                 const qlonglong n = v.toLongLong(ok);
                                 *ok = *ok && n >= std::numeric_limits<qint32>::min()
                                     && n <= std::numeric_limits<qint32>::max();
                                 return qint32(n);
                             });
}

bool Query::asBool(const QString& name) const
{
    return converted<bool>(value(name), QStringLiteral("Boolean"),
                           [](const QVariant& v, bool* ok) { return v.toLongLong(ok) != 0; });
}

double Query::asFloat(const QString& name) const
{
    return converted<double>(value(name), QStringLiteral("Double"),
                             [](const QVariant& v, bool* ok) { return v.toDouble(ok); });
}

QString Query::asString(const QString& name) const
{
    const QVariant v = value(name);
    if (v.isNull())
        throwNullConversion(QStringLiteral("String"));
    return v.toString();
}

QByteArray Query::blob(const QString& name) const
{
    return value(name).toByteArray();
}

void Query::edit()
{
    requireRow();
    if (m_state != State::Browse)
        return;
    requireWritable();
    m_pending = std::make_unique<Row>(m_rows[m_current]);
    m_pending->changed.assign(m_columns.size(), false);
    m_state = State::Edit;
}

void Query::append()
{
    requireOpen();
    if (m_state != State::Browse)
        cancel();
    requireWritable();
    m_pending = std::make_unique<Row>();
    m_pending->values.assign(m_columns.size(), QVariant());
    m_pending->unread.assign(m_columns.size(), false);
    m_pending->rowids.assign(m_tables.size(), std::nullopt);
    m_pending->versions.assign(m_tables.size(), std::nullopt);
    m_pending->changed.assign(m_columns.size(), false);
    m_state = State::Insert;
}

void Query::setValue(const QString& name, const QVariant& value)
{
    requireEditing();
    const int c = columnIndex(name);
    const Column& col = m_columns[c];
    if (col.origin.compare(u"seq", Qt::CaseInsensitive) == 0 || col.table.isEmpty())
        throw Error(QStringLiteral("%1: Field '%2' cannot be modified").arg(m_name, name));

    QVariant stored;
    if (!value.isNull()) {
        const QString& type = col.declType;
        if (type.contains(u"INT")) {
            bool ok = false;
            const qlonglong n = value.typeId() == QMetaType::Bool ? qlonglong(value.toBool())
                                                                  : value.toLongLong(&ok);
            if (value.typeId() != QMetaType::Bool && !ok)
                throw Error(QStringLiteral("%1: '%2' is not a valid integer value for field '%3'")
                                .arg(m_name, value.toString(), name));
            const qlonglong limit = type.contains(u"SMALLINT") ? 32767 : 2147483647;
            if (n > limit || n < -limit - 1)
                throw Error(QStringLiteral("%1: Value %2 is out of range for field '%3'")
                                .arg(m_name)
                                .arg(n)
                                .arg(name));
            stored = n;
        } else if (type.contains(u"BOOL")) {
            stored = qlonglong(value.toBool() ? 1 : 0);
        } else if (type.contains(u"REAL") || type.contains(u"FLOA") || type.contains(u"DOUB")) {
            bool ok = false;
            stored = value.toDouble(&ok);
            if (!ok)
                throw Error(QStringLiteral("%1: '%2' is not a valid floating point value")
                                .arg(m_name, value.toString()));
        } else if (type == u"BLOB") {
            stored = value.toByteArray();
            if (stored.toByteArray().isEmpty())
                stored = QVariant();
        } else {
            stored = value.toString();
        }
    }
    m_pending->values[c] = stored;
    m_pending->unread[c] = false;
    m_pending->changed[c] = true;
}

void Query::setBlob(const QString& column, const QByteArray& bytes)
{
    setValue(column, bytes.isEmpty() ? QVariant() : QVariant(bytes));
}

Query::Writer& Query::writer() const
{
    if (!m_writer)
        m_writer = std::make_unique<Writer>();
    return *m_writer;
}

void Query::learnTable(Writer& w) const
{
    if (w.known)
        return;
    const TableInfo info = m_connection.engine().tableInfo(m_tables.front().name);
    int keys = 0;
    for (const TableInfo::Column& d : info.columns)
        keys += d.key ? 1 : 0;
    w.triggers = info.triggers;
    w.filled.assign(m_columns.size(), true);
    w.rowid.assign(m_columns.size(), false);
    for (size_t c = 0; c < m_columns.size(); ++c) {
        const auto it = std::find_if(info.columns.begin(), info.columns.end(), [&](const auto& d) {
            return d.name.compare(m_columns[c].origin, Qt::CaseInsensitive) == 0;
        });
        if (it == info.columns.end())
            continue;
        // A single INTEGER PRIMARY KEY column is the row id.
        w.rowid[c] = it->key && keys == 1 && it->declType == u"INTEGER";
        w.filled[c] = it->hasDefault || w.rowid[c];
    }
    w.known = true;
}

bool Query::storedAsWritten(const Row& row) const
{
    const Writer& w = *m_writer;
    if (w.triggers)
        return false;
    for (size_t c = 0; c < m_columns.size(); ++c) {
        const Column& col = m_columns[c];
        const QVariant& v = row.values[c];
        if (!row.changed[c]) {
            // An insert gives the row id column its number, which is known.
            if (m_state == State::Insert && w.filled[c] && !w.rowid[c])
                return false;
        } else if (w.rowid[c]) {
            return false;
        } else if (col.lazyBlob ? !v.isNull() && v.typeId() != QMetaType::QByteArray
                                : !readsBackAsBound(col.declType, v)) {
            return false;
        }
    }
    return true;
}

void Query::post()
{
    requireEditing();
    Engine& engine = m_connection.engine();
    std::vector<int> which;
    QByteArray key(1, m_state == State::Insert ? 'i' : 'u');
    for (int c = 0; c < int(m_columns.size()); ++c) {
        if (m_pending->changed[c]) {
            which.push_back(c);
            key.append(reinterpret_cast<const char*>(&c), sizeof c);
        }
    }
    if (m_state == State::Edit && which.empty()) {
        m_state = State::Browse;
        m_pending.reset();
        return;
    }
    Writer& w = writer();
    learnTable(w);
    const Table& t = m_tables.front();
    const bool versioned = !t.version.isEmpty();
    EngineStatement& stmt = w.statement(engine, key, [&] {
        const QString table = quoted(t.name);
        QStringList names;
        for (int c : which)
            names << quoted(m_columns[c].origin);
        if (m_state == State::Insert) {
            QStringList marks(names.size(), QStringLiteral("?"));
            // A new row starts at the first version.
            if (versioned) {
                names << quoted(t.version);
                marks << QStringLiteral("1");
            }
            if (names.isEmpty())
                return QStringLiteral("insert into %1 default values%2")
                    .arg(table, engine.returningRowId(t.name));
            return QStringLiteral("insert into %1 (%2) values (%3)%4")
                .arg(table, names.join(u", "), marks.join(u", "), engine.returningRowId(t.name));
        }
        for (QString& n : names)
            n += QStringLiteral(" = ?");
        if (!versioned)
            return QStringLiteral("update %1 set %2 where %3 = ?")
                .arg(table, names.join(u", "), t.rowId);
        // Only the version that was read is changed; the change raises it.
        const QString version = quoted(t.version);
        names << QStringLiteral("%1 = %1 + 1").arg(version);
        return QStringLiteral("update %1 set %2 where %3 = ? and %4 = ?")
            .arg(table, names.join(u", "), t.rowId, version);
    });
    qint64 changes = 0;
    {
        const Reset use(stmt);
        int p = 1;
        for (int c : which)
            stmt.bind(p++, m_pending->values[c]);
        if (m_state == State::Edit) {
            stmt.bind(p++, QVariant(qlonglong(*m_pending->rowids[0])));
            if (versioned)
                stmt.bind(p, QVariant(qlonglong(m_pending->versions[0].value_or(0))));
        }
        stmt.step();
        changes = stmt.changes();
        if (m_state == State::Insert)
            m_pending->rowids[0] = engine.insertedRowId(stmt);
    }
    // Another connection may have changed or deleted the row since it was read: then nothing
    // was stored, and the pending row stays for the caller to cancel.
    if (m_state == State::Edit && changes == 0) {
        if (versioned)
            throw RowConflict();
        throw Error(QStringLiteral("%1: Row cannot be located for updating. Some values may "
                                   "have been changed since it was last read")
                        .arg(m_name));
    }
    if (versioned)
        m_pending->versions[0] = m_state == State::Insert ? 1 : *m_pending->versions[0] + 1;
    if (storedAsWritten(*m_pending)) {
        Row& row = *m_pending;
        for (size_t c = 0; c < m_columns.size(); ++c) {
            QVariant& v = row.values[c];
            if (m_columns[c].lazyBlob && v.typeId() == QMetaType::QByteArray)
                v = qlonglong(v.toByteArray().size()); // as the result set holds blobs
            else if (w.rowid[c] && !row.changed[c])
                v = qlonglong(*row.rowids[0]);
        }
        row.changed.assign(m_columns.size(), false);
    } else {
        reloadRow(*m_pending);
    }
    if (m_state == State::Insert) {
        m_rows.push_back(std::move(*m_pending));
        m_current = int(m_rows.size()) - 1;
    } else {
        m_rows[m_current] = std::move(*m_pending);
    }
    m_pending.reset();
    m_state = State::Browse;
}

void Query::reloadRow(Row& row)
{
    // Only single-table result sets are written; read the row back as the file holds it.
    const Table& t = m_tables.front();
    EngineStatement& stmt = writer().statement(m_connection.engine(), QByteArrayLiteral("r"), [&] {
        QStringList list;
        for (const Column& c : m_columns) {
            const QString ref = quoted(c.origin);
            list << (c.lazyBlob        ? QStringLiteral("length(%1)").arg(ref)
                         : c.afterBlob ? QStringLiteral("null")
                                       : ref);
        }
        list << t.rowId;
        if (!t.version.isEmpty())
            list << quoted(t.version);
        return QStringLiteral("select %1 from %2 where %3 = ?")
            .arg(list.join(u", "), quoted(t.name), t.rowId);
    });
    const Reset use(stmt);
    stmt.bind(1, QVariant(qlonglong(*row.rowids[0])));
    if (stmt.step()) {
        readRow(stmt, row);
    } else {
        row.rowids[0].reset();
    }
}

void Query::cancel()
{
    m_pending.reset();
    m_state = State::Browse;
    m_current = std::min(m_current, int(m_rows.size()));
}

void Query::remove()
{
    requireRow();
    if (m_state != State::Browse)
        cancel();
    requireWritable();
    Row& row = m_rows[m_current];
    if (row.rowids[0]) {
        const Table& t = m_tables.front();
        const bool versioned = !t.version.isEmpty();
        EngineStatement& stmt
            = writer().statement(m_connection.engine(), QByteArrayLiteral("d"), [&] {
                  if (!versioned)
                      return QStringLiteral("delete from %1 where %2 = ?")
                          .arg(quoted(t.name), t.rowId);
                  return QStringLiteral("delete from %1 where %2 = ? and %3 = ?")
                      .arg(quoted(t.name), t.rowId, quoted(t.version));
              });
        qint64 changes = 0;
        {
            const Reset use(stmt);
            stmt.bind(1, QVariant(qlonglong(*row.rowids[0])));
            if (versioned)
                stmt.bind(2, QVariant(qlonglong(row.versions[0].value_or(0))));
            stmt.step();
            changes = stmt.changes();
        }
        // Another station changed the row since it was read, or deleted it: nothing is
        // deleted.
        if (versioned && changes == 0)
            throw RowConflict();
    }
    m_rows.erase(m_rows.begin() + m_current);
    // After the last row the row before it becomes current; end-of-rows only once none is left.
    if (m_current == int(m_rows.size()) && m_current > 0)
        --m_current;
}

} // namespace data
