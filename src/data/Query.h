#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace data {

class Connection;
class EngineStatement;

// A statement and its static, updatable result set. Rows keep the order they had when the
// query was opened; appended rows stay after them until the query is opened again. Values
// are QVariants: a Null column reads as an invalid QVariant, text as QString, numbers as
// qlonglong or double, blobs as QByteArray. Blob contents are not held in the result set:
// they are read from the file when asked for.
//
// Statements may hold named parameters (":gid"); setParameter binds them. User text is
// never spliced into a statement.
class Query
{
public:
    enum class State { Browse, Edit, Insert };

    Query(Connection& connection, QString name);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    const QString& name() const { return m_name; }
    Connection& connection() const { return m_connection; }

    // The statement, as lines joined by CR LF. Setting it closes the query and clears the
    // parameters.
    void setSql(const QStringList& lines);
    void setSql(const QString& text);
    QString sql() const { return m_sql; }
    // The statement the open query read its rows with: "select *" names the columns, reads
    // blobs as their lengths and leaves out the columns stored after a blob, which are read
    // by row id when asked for.
    QString rowSql() const { return m_rowSql; }
    void setParameter(const QString& name, const QVariant& value);

    void open();
    void close();
    bool isOpen() const { return m_open; }
    void refresh();

    int rowCount() const;
    bool isEmpty() const { return rowCount() == 0; }
    void first();
    void next();
    bool eof() const;
    // Index of the current row, -1 when there is none.
    int currentRow() const { return eof() ? -1 : m_current; }
    // Makes row index current (a grid moving the cursor); out of range goes past the end.
    void moveTo(int row);
    // A column of any row, for display; Null for a column the query lacks. Blobs read as
    // Null here.
    QVariant rowValue(int row, const QString& column) const;
    // The version a row of the first table was read or last posted at (TableInfo::version);
    // none where that table keeps no versions.
    std::optional<qint64> rowVersion(int row) const;

    // Exact, case-sensitive equality of the whole value. On a match the row becomes current.
    bool locate(const QString& column, const QVariant& value);

    int columnCount() const;
    QString columnName(int index) const;
    // "name" or "table.name"; an unqualified name finds the first column of that name.
    bool hasColumn(const QString& column) const;
    QString declaredType(const QString& column) const;

    QVariant value(const QString& column) const;
    // The current row's column as it was read or last posted, leaving pending changes aside
    // (Null for a row being appended); blobs are read from the file.
    QVariant storedValue(const QString& column) const;
    // Whether the column was set since edit() or append().
    bool isModified(const QString& column) const;
    bool isNull(const QString& column) const { return value(column).isNull(); }
    // Conversions that raise the conversion error on Null.
    qint32 asInt(const QString& column) const;
    bool asBool(const QString& column) const;
    double asFloat(const QString& column) const;
    QString asString(const QString& column) const;
    QByteArray blob(const QString& column) const;

    State state() const { return m_state; }
    void edit();
    void append();
    void setValue(const QString& column, const QVariant& value);
    // Empty bytes store Null.
    void setBlob(const QString& column, const QByteArray& bytes);
    // Stores the pending row; raises an error and stores nothing when an edited row is no
    // longer in the file. The row then holds what the file holds: it is read back only when
    // the file may hold other values than the ones written (a column's default, a trigger, a
    // value the column's type converts).
    void post();
    void cancel();
    // Deletes the current row from the file and the result set; the next row becomes current,
    // or the one before it when the last row went, so end-of-rows is true only once no row
    // is left.
    void remove();

private:
    friend class Connection;
    struct Column;
    struct Row;
    struct Table;
    struct Writer;

    const Column& column(const QString& name) const;
    int columnIndex(const QString& name) const;
    const Row& currentRowData() const;
    QVariant valueOf(const Row& row, int column) const;
    void readAfterBlob(const Row& row, int tableIndex) const;
    void requireOpen() const;
    void requireRow() const;
    void requireEditing() const;
    void requireWritable() const;
    void readRow(EngineStatement& stmt, Row& row) const;
    void reloadRow(Row& row);
    bool storedAsWritten(const Row& row) const;
    Writer& writer() const;
    void learnTable(Writer& writer) const;
    void connectionClosing();

    Connection& m_connection;
    QString m_name;
    QString m_sql;
    QHash<QString, QVariant> m_parameters;
    bool m_open = false;

    std::vector<Column> m_columns;
    std::vector<Table> m_tables;
    QString m_rowSql;
    std::vector<Row> m_rows;
    int m_current = 0;

    State m_state = State::Browse;
    std::unique_ptr<Row> m_pending;
    // The statements that write rows, prepared once while the query is open.
    mutable std::unique_ptr<Writer> m_writer;
};

// How many statements this process has prepared: a count that does not grow with the rows a
// command writes shows that it reuses its statements.
std::uint64_t preparedStatements();

// The conversion error of reading Null as a number, truth value or text.
[[noreturn]] void throwNullConversion(const QString& typeName);

} // namespace data
