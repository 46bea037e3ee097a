#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <vector>

namespace data {

class Connection;
class Query;

// Per member, when the card data last changed and when the card was last printed, as UTC
// texts of one fixed ISO 8601 form ("2026-12-10T16:30:00.000Z"), so that texts compare as the
// times do. Both stay Null on a file that never used them.
inline const QString changedColumn = QStringLiteral("changedutc");
inline const QString printedColumn = QStringLiteral("printedutc");

QString utcText(const QDateTime& time);

// The members whose card is out of date: changed and not printed since. A member of an older
// file has neither time and is not listed until its data changes.
QString reprintCondition();

// Stamps the change time of a query's pending row, once its new values are set, when it is
// appended or any of them differs from the row as it was read. Queries without the time
// columns (a read-only older file) are left alone.
class CardChange
{
public:
    // Before edit() or append(); appended says which one follows.
    CardChange(const Query& query, bool appended);
    // After the new values are set, before post(). Returns false only when the query has the
    // time columns and the pending row holds nothing but the values the row was read with.
    bool stamp(Query& query, const QDateTime& now = QDateTime::currentDateTimeUtc()) const;

private:
    bool m_appended = false;
};

// Stamps the change time of the row being edited, as CardChange::stamp does once it found a
// difference, for a change known to be one (a photo replaced by one of another size) without
// the old values being read.
void stampChanged(Query& query, const QDateTime& now = QDateTime::currentDateTimeUtc());

// Stamps the print time of the members of those seq numbers, in one transaction; never
// earlier than a member's change time, so that a card printed in the same instant as the
// change is not listed again. Throws Error with the reason when the file cannot take it
// (nothing is stored then).
void markPrinted(Connection& connection, const std::vector<qlonglong>& seqs,
                 const QDateTime& now = QDateTime::currentDateTimeUtc());

} // namespace data
