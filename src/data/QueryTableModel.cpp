#include "QueryTableModel.h"

#include "Error.h"
#include "Query.h"

namespace data {

QueryTableModel::QueryTableModel(Query& query, QList<ColumnSpec> columns, QObject* parent)
    : QAbstractTableModel(parent)
    , m_query(query)
    , m_columns(std::move(columns))
{ }

int QueryTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_query.rowCount();
}

int QueryTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant QueryTableModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_query.rowCount())
        return {};
    return m_query.rowValue(index.row(), m_columns.at(index.column()).field).toString();
}

QVariant QueryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return m_columns.value(section).title;
    return {};
}

void QueryTableModel::reset()
{
    beginResetModel();
    endResetModel();
}

} // namespace data
