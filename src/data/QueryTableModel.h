#pragma once

#include <QAbstractTableModel>
#include <QStringList>

namespace data {

class Query;

// Shows chosen columns of a query in a grid; reset() after the query is reopened or
// changed. Reading a value the grid cannot show gives empty text.
class QueryTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct ColumnSpec
    {
        QString field;
        QString title;
    };

    QueryTableModel(Query& query, QList<ColumnSpec> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const QString& field(int column) const { return m_columns.at(column).field; }
    // Call after the query was reopened or rows were added or removed.
    void reset();

private:
    Query& m_query;
    QList<ColumnSpec> m_columns;
};

} // namespace data
