#pragma once

#include <QHash>
#include <QString>

namespace data {

class Connection;

// What newer versions of the program keep in a card database beside the original four
// tables: the settings table (key and value texts, for the choices that belong to the
// database rather than to the computer) and, per member, when the card data last changed and
// when the card was last printed (UTC, nullable). A file that lacks any of them gains them,
// in one transaction; nothing else of its schema changes. Throws Error with the engine's
// reason when the file cannot be written (a read-only file, mostly); it then stays as it was.
void addMissingExtensions(Connection& connection);

// True when the file already has the settings table and the two member columns.
bool hasExtensions(Connection& connection);

// The key/value settings of one database. Values are read once on load; an absent table or
// key reads as the fallback.
class DatabaseSettings
{
public:
    explicit DatabaseSettings(Connection& connection);

    // Re-reads every setting from the file.
    void load();
    QString value(const QString& key, const QString& fallback = QString()) const;
    bool contains(const QString& key) const { return m_values.contains(key); }
    // Stores one setting (inserting or replacing it). Throws Error with the reason when the
    // file cannot take it; nothing is stored then.
    void setValue(const QString& key, const QString& value);
    // Stores several settings in one transaction: all of them or none.
    void setValues(const QHash<QString, QString>& values);

private:
    void store(const QString& key, const QString& value);

    Connection& m_connection;
    QHash<QString, QString> m_values;
};

} // namespace data
