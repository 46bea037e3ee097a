#include "MainWindowFixture.h"

#include <QAbstractItemModel>
#include <QTableView>

QStringList MainWindowFixture::listed() const
{
    QStringList names;
    const QAbstractItemModel* m = w->dbgInfo->model();
    for (int r = 0; r < m->rowCount(); ++r)
        names << m->index(r, 1).data().toString();
    return names;
}

int MainWindowFixture::count(const QString& where) const
{
    return db.scalar(QStringLiteral("select count(*) from stafftbl where ") + where).toInt();
}
