#pragma once

#include <QString>

struct sqlite3;

namespace data {

class Connection;

// The search across groups, as the engine answers it: a member is found when its name,
// Chinese name or staff no contains the text bound to the parameter ":find". Letter case is
// ignored in every script (Unicode case folding, not only A to Z), the text is matched by
// whole characters, and every character of it, "%" and "_" too, stands for itself.
QString memberSearchCondition(Connection& connection);
// The condition as the file engine answers it.
QString fileSearchCondition();
// The parameter's name in memberSearchCondition(), without its colon.
inline QString memberSearchParameter()
{
    return QStringLiteral("find");
}

// Case folding as the condition applies it, for comparisons made outside the engine.
QString foldedText(const QString& text);

// Adds the functions the condition calls to a newly opened connection.
void registerSearchFunctions(sqlite3* db);

// While keep is true the engine holds the pages of every member in memory, so that each
// keystroke of a search reads them from there rather than decrypting them again (about 2 KB
// of each member lies beside its photo's first bytes: 10,000 members take some 5,000
// pages); turning it on reads them in. Off again, the usual small cache lets a long transaction
// write its pages as it goes.
void keepMembersInMemory(Connection& connection, bool keep);

} // namespace data
