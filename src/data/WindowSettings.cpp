#include "WindowSettings.h"

#include "SettingsStore.h"

#include <QHeaderView>
#include <QTableView>
#include <QWidget>

namespace data {

void RestoreWindow(const QString& prefix, QWidget* window)
{
    const int top = ReadRegInt(prefix + QStringLiteral("_TOP"), 0);
    const int left = ReadRegInt(prefix + QStringLiteral("_LEFT"), 0);
    const int width = ReadRegInt(prefix + QStringLiteral("_WIDTH"), 640);
    const int height = ReadRegInt(prefix + QStringLiteral("_HEIGHT"), 480);
    const bool maximised = ReadRegBool(prefix + QStringLiteral("_MAX"), false);
    window->setWindowState(window->windowState() & ~Qt::WindowMaximized);
    window->move(left, top);
    window->resize(width, height);
    if (maximised)
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

void SaveWindow(const QString& prefix, QWidget* window)
{
    const bool maximised = window->isMaximized();
    WriteRegBool(prefix + QStringLiteral("_MAX"), maximised);
    if (maximised)
        return;
    WriteRegInt(prefix + QStringLiteral("_TOP"), window->pos().y());
    WriteRegInt(prefix + QStringLiteral("_LEFT"), window->pos().x());
    WriteRegInt(prefix + QStringLiteral("_WIDTH"), window->width());
    WriteRegInt(prefix + QStringLiteral("_HEIGHT"), window->height());
}

void RestoreGridColumns(const QString& prefix, QTableView* grid,
                        const std::function<int(int column)>& defaultWidth)
{
    QHeaderView* header = grid->horizontalHeader();
    for (int i = 0; i < header->count(); ++i)
        header->resizeSection(i, ReadRegInt(prefix + u'_' + QString::number(i), defaultWidth(i)));
}

void SaveGridColumns(const QString& prefix, QTableView* grid)
{
    QHeaderView* header = grid->horizontalHeader();
    for (int i = 0; i < header->count(); ++i)
        WriteRegInt(prefix + u'_' + QString::number(i), header->sectionSize(i));
}

} // namespace data
