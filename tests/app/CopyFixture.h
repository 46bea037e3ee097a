#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace data {
class Connection;
}

// A card database with everything a copy must carry: groups whose numbers have gaps (and one
// whose number is not its row's), members with photos of several kinds, change and print
// times and a gap in their numbers, renamed captions, layout settings with a background
// picture, a custom font and every flag away from the starter's, and database settings.
// Written through the program's own queries, so that it can fill a file or a server.
void fillCardDatabase(data::Connection& connection);

// Opens a connection on a file path or a server address, keyed with the program's password.
void openCardDatabase(data::Connection& connection, const QString& dataSource);

// Every row of one table in the order of its row ids, each value as the engine reads it
// (photos and other blobs as their bytes); the row version and, when leaveOut names them,
// further columns are not in it.
struct TableDump
{
    QString table;
    QStringList columns;
    QList<QVariantList> rows;
    bool operator==(const TableDump&) const = default;
};
QList<TableDump> dumpCardTables(const QString& dataSource, const QStringList& leaveOut = {});

// The first difference between two dumps, for a failure message; empty when they are equal.
QString firstDifference(const QList<TableDump>& a, const QList<TableDump>& b);

// The number the next new group would get.
qint64 nextGroupNumber(const QString& dataSource);
