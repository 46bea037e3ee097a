#include "QuerySource.h"

#include "data/Query.h"
#include "data/Utils.h"

namespace cards {

void QuerySource::first()
{
    m_query.first();
}

void QuerySource::next()
{
    m_query.next();
}

bool QuerySource::atEnd() const
{
    return m_query.eof();
}

bool QuerySource::hasColumn(const QString& column) const
{
    return m_query.hasColumn(column);
}

QString QuerySource::displayText(const QString& column) const
{
    QString text;
    data::FieldAsString(m_query.value(column), text);
    return text;
}

} // namespace cards
