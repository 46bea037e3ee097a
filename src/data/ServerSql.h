#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace data {

// A statement with the program's parameter marks ("?", "?N", ":name") turned into the
// server's numbered ones ("$N"), numbered as the file numbers them: "?" takes the next
// number, "?N" the number N, and a name its number from its first use.
struct ServerSql
{
    QByteArray text; // UTF-8
    // Per number from 1: the name without its colon, empty for a positional mark.
    std::vector<QString> names;
};

// Marks inside string literals, quoted identifiers, dollar quotes, comments and "::" casts
// are left as they are.
ServerSql translateParameters(const QString& sql);

// The address with any password taken out of it (user:secret@ and password=...).
QString addressWithoutPassword(const QString& address);

} // namespace data
