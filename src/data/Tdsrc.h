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

    // Connects to the file at path and opens the four queries in their order.
    void connectTo(const QString& path);

    Connection src;
    Query QGroup;
    Query QStaff;
    Query QList;
    Query QAllStaff;
};

} // namespace data
