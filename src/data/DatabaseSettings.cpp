#include "DatabaseSettings.h"

#include "CardTimes.h"
#include "Connection.h"
#include "Engine.h"
#include "Error.h"
#include "Query.h"

namespace data {
namespace {

const QString settingsTable = QStringLiteral("settings");

bool hasTable(Connection& connection, const QString& table)
{
    return connection.engine().hasTable(table);
}

// The table's columns as a select over it reports them (the engine's table-valued pragmas are
// newer than some builds of it).
bool hasColumn(Connection& connection, const QString& table, const QString& column)
{
    Query query(connection, QStringLiteral("columns"));
    query.setSql(QStringLiteral("select * from %1 where 1 = 0").arg(table));
    query.open();
    return query.hasColumn(column);
}

} // namespace

bool hasExtensions(Connection& connection)
{
    return hasTable(connection, settingsTable)
        && hasColumn(connection, QStringLiteral("stafftbl"), changedColumn)
        && hasColumn(connection, QStringLiteral("stafftbl"), printedColumn);
}

void addMissingExtensions(Connection& connection)
{
    if (hasExtensions(connection))
        return;
    connection.beginTransaction();
    try {
        if (!hasTable(connection, settingsTable))
            connection.execute(
                QStringLiteral("CREATE TABLE settings (key TEXT PRIMARY KEY, value TEXT)"));
        for (const QString& column : {changedColumn, printedColumn}) {
            if (!hasColumn(connection, QStringLiteral("stafftbl"), column))
                connection.execute(
                    QStringLiteral("ALTER TABLE stafftbl ADD COLUMN %1 TEXT").arg(column));
        }
        connection.commit();
    } catch (...) {
        connection.rollback();
        throw;
    }
}

DatabaseSettings::DatabaseSettings(Connection& connection)
    : m_connection(connection)
{
    load();
}

void DatabaseSettings::load()
{
    m_values.clear();
    if (!hasTable(m_connection, settingsTable))
        return;
    Query query(m_connection, QStringLiteral("settings"));
    query.setSql(QStringLiteral("select key, value from settings"));
    query.open();
    for (; !query.eof(); query.next())
        m_values.insert(query.asString(QStringLiteral("key")),
                        query.asString(QStringLiteral("value")));
}

QString DatabaseSettings::value(const QString& key, const QString& fallback) const
{
    return m_values.value(key, fallback);
}

void DatabaseSettings::setValue(const QString& key, const QString& value)
{
    setValues({{key, value}});
}

void DatabaseSettings::setValues(const QHash<QString, QString>& values)
{
    if (!hasTable(m_connection, settingsTable))
        addMissingExtensions(m_connection);
    m_connection.beginTransaction();
    try {
        for (auto it = values.begin(); it != values.end(); ++it)
            store(it.key(), it.value());
        m_connection.commit();
    } catch (...) {
        m_connection.rollback();
        load();
        throw;
    }
    for (auto it = values.begin(); it != values.end(); ++it)
        m_values.insert(it.key(), it.value());
}

void DatabaseSettings::store(const QString& key, const QString& value)
{
    Query query(m_connection, QStringLiteral("settings"));
    query.setSql(QStringLiteral("select * from settings where key=:key"));
    query.setParameter(QStringLiteral("key"), key);
    query.open();
    if (query.eof()) {
        query.append();
        query.setValue(QStringLiteral("key"), key);
    } else {
        query.edit();
    }
    query.setValue(QStringLiteral("value"), value);
    query.post();
}

} // namespace data
