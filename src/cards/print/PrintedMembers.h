#pragma once

#include <QString>
#include <vector>

namespace data {
class Connection;
class Query;
} // namespace data

namespace cards {

// The members whose cards the preview being shown holds, so that their print time is stored
// once the cards have really gone out. One scope stands while its preview runs; scopes nest.
class PrintedMembers
{
public:
    // The members are the seq numbers of the rows of query, which is left on its first row.
    // reason, when not empty, tells why the file cannot take the times (a read-only file).
    PrintedMembers(data::Query& rows, QString reason);
    ~PrintedMembers();
    PrintedMembers(const PrintedMembers&) = delete;
    PrintedMembers& operator=(const PrintedMembers&) = delete;

    // Stores the print time of the members; returns false, and sets the reason, when it
    // could not be stored.
    bool markPrinted(QString& reason) const;

private:
    data::Connection& m_connection;
    std::vector<qlonglong> m_seqs;
    QString m_reason;
    PrintedMembers* m_outer;
};

// Printing of the preview shown has gone out: the members of the innermost scope are marked
// printed. When the times cannot be stored, the user is told why (through the answers); the
// cards are printed all the same. Nothing happens outside a scope.
void pagesPrinted();

} // namespace cards
