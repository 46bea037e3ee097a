#include "CardTimes.h"

#include "Connection.h"
#include "Error.h"
#include "Query.h"

namespace data {
namespace {

bool isTimeColumn(const QString& column)
{
    return column.compare(changedColumn, Qt::CaseInsensitive) == 0
        || column.compare(printedColumn, Qt::CaseInsensitive) == 0;
}

} // namespace

QString utcText(const QDateTime& time)
{
    return time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
}

QString reprintCondition()
{
    return QStringLiteral("(changedutc is not null and (printedutc is null"
                          " or changedutc > printedutc))");
}

CardChange::CardChange(const Query&, bool appended)
    : m_appended(appended)
{ }

bool CardChange::stamp(Query& query, const QDateTime& now) const
{
    if (!query.hasColumn(changedColumn))
        return true;
    // The row as it was read is still the query's stored row: only the columns set since
    // edit() can differ from it, and only those are compared (a photo is read only then).
    bool changed = m_appended;
    for (int c = 0; !changed && c < query.columnCount(); ++c) {
        const QString column = query.columnName(c);
        if (!isTimeColumn(column) && query.isModified(column))
            changed = query.value(column) != query.storedValue(column);
    }
    if (!changed)
        return false;
    stampChanged(query, now);
    return true;
}

void stampChanged(Query& query, const QDateTime& now)
{
    if (!query.hasColumn(changedColumn))
        return;
    // Later than the last print, also when the clock has gone back since.
    QString stamp = utcText(now);
    const QVariant printed = query.value(printedColumn);
    if (!printed.isNull() && stamp <= printed.toString()) {
        const QDateTime after
            = QDateTime::fromString(printed.toString(), Qt::ISODateWithMs).addMSecs(1);
        if (after.isValid())
            stamp = utcText(after);
    }
    query.setValue(changedColumn, stamp);
}

void markPrinted(Connection& connection, const std::vector<qlonglong>& seqs, const QDateTime& now)
{
    const QString stamp = utcText(now);
    connection.beginTransaction();
    try {
        for (const qlonglong seq : seqs) {
            Query update(connection, QStringLiteral("QPrinted"));
            update.setSql(QStringLiteral("select * from stafftbl where seq=:seq"));
            update.setParameter(QStringLiteral("seq"), seq);
            update.open();
            if (update.eof())
                continue; // deleted since
            const QVariant changed = update.value(changedColumn);
            update.edit();
            update.setValue(printedColumn,
                            !changed.isNull() && changed.toString() > stamp ? changed : stamp);
            update.post();
        }
        connection.commit();
    } catch (...) {
        connection.rollback();
        throw;
    }
}

} // namespace data
