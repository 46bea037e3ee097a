#pragma once

#include "report/DataSource.h"

namespace data {
class Query;
}

namespace cards {

// The rows of an open query as a report reads them. The report's cursor is the query's own,
// so a before-print handler reads the row being printed straight from the query.
class QuerySource : public report::DataSource
{
public:
    explicit QuerySource(data::Query& query)
        : m_query(query)
    { }

    void first() override;
    void next() override;
    bool atEnd() const override;
    bool hasColumn(const QString& column) const override;
    // The value as the program shows it: Null and unreadable values are empty.
    QString displayText(const QString& column) const override;

private:
    data::Query& m_query;
};

} // namespace cards
