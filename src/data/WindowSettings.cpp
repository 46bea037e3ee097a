#include "WindowSettings.h"

#include "SettingsStore.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableView>
#include <QWidget>

namespace data {
namespace {

// Before a window is on the screen the size of its frame is not known, and the position it
// is given places its client area: the title bar would then be above the wanted point.
// Watches the window until its frame is known and then moves the frame to the point.
class FramePlacer : public QObject
{
public:
    FramePlacer(QWidget* window, QPoint at)
        : QObject(window)
        , m_at(at)
    {
        setObjectName(name());
        window->installEventFilter(this);
    }
    static QString name() { return QStringLiteral("framePlacer"); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* window = static_cast<QWidget*>(watched);
        const bool placed = event->type() == QEvent::Show || event->type() == QEvent::Move;
        if (placed && window->isVisible() && window->frameGeometry() != window->geometry()) {
            const auto placedBySystem
                = Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen;
            if (!(window->windowState() & placedBySystem) && window->pos() != m_at)
                window->move(m_at);
            window->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    QPoint m_at;
};

} // namespace

void RestoreWindow(const QString& prefix, QWidget* window)
{
    const int top = ReadRegInt(prefix + QStringLiteral("_TOP"), 0);
    const int left = ReadRegInt(prefix + QStringLiteral("_LEFT"), 0);
    const int width = ReadRegInt(prefix + QStringLiteral("_WIDTH"), 640);
    const int height = ReadRegInt(prefix + QStringLiteral("_HEIGHT"), 480);
    const bool maximised = ReadRegBool(prefix + QStringLiteral("_MAX"), false);
    window->setWindowState(window->windowState() & ~Qt::WindowMaximized);
    window->resize(width, height);
    window->move(left, top);
    delete window->findChild<QObject*>(FramePlacer::name(), Qt::FindDirectChildrenOnly);
    if (!window->isVisible())
        new FramePlacer(window, {left, top});
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
