#include "MainWindowFixture.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QTableView>
#include <QTest>

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

bool MainWindowFixture::showActive()
{
    w->show();
    w->activateWindow();
    return QTest::qWaitForWindowActive(w.get());
}

void MainWindowFixture::press(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(w->windowHandle(), key, modifiers);
}

QString focusedName()
{
    QWidget* widget = QApplication::focusWidget();
    return widget ? widget->objectName() : QString();
}
