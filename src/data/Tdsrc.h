#pragma once

#include "Connection.h"
#include "Query.h"

namespace data {

// The data module: the one connection and the four queries the windows share.
class Tdsrc
{
public:
    Tdsrc();
    ~Tdsrc(); // closes the connection, which closes every query on it
    Tdsrc(const Tdsrc&) = delete;
    Tdsrc& operator=(const Tdsrc&) = delete;

    // The program's default key: a file is keyed with it unless its office gave it a
    // passphrase of its own (see DatabaseKey.h).
    static QString password();
    static QString databaseFileName() { return QStringLiteral("cardinfo.mdb"); }

    // Connects to the file at path, adds the settings table and member columns a file of an
    // older version lacks, and opens QGroup. The other queries are opened by the commands
    // that need them: QStaff by the member list for the chosen group, QList by each card
    // preview, QAllStaff around each use, so that nothing is read before it is shown.
    // The file is opened with key (see unlockDatabase for finding it).
    void connectTo(const QString& path, const QString& key = password());
    // The key the open file was opened with.
    QString key() const { return parseConnectionString(src.connectionString()).password; }

    // The number of members in the file, counted by the engine without reading their rows:
    // the row count QAllStaff would have if it were opened now.
    int staffCount();

    // Why the settings table or member columns could not be added on connecting (a read-only
    // file, mostly); empty when the file has them. Cards then print with the defaults.
    QString extensionsProblem;
    // The user has been told of that problem since connecting.
    bool extensionsProblemTold = false;

    Connection src;
    Query QGroup;
    Query QStaff;
    Query QList;
    Query QAllStaff;
};

} // namespace data
