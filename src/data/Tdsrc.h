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

    // The database password; the file is keyed with it.
    static QString password();
    static QString databaseFileName() { return QStringLiteral("cardinfo.mdb"); }

    // Connects to the file at path, adds the settings table and member columns a file of an
    // older version lacks, and opens the four queries in their order.
    void connectTo(const QString& path);

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
