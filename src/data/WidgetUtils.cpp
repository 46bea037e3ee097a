#include "WidgetUtils.h"

#include "Query.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QMenu>
#include <QScreen>
#include <QSignalBlocker>
#include <QWindow>
#include <algorithm>

namespace data {

bool SelectComboText(QComboBox* combo, const QString& text)
{
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i) == text) {
            const QSignalBlocker blocker(combo);
            combo->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

void FillComboBox(Query& query, const QString& column, QComboBox* combo, const QString& keyColumn)
{
    const QSignalBlocker blocker(combo);
    combo->clear();
    struct SelectFirst
    {
        QComboBox* combo;
        ~SelectFirst()
        {
            if (combo->count() > 0)
                combo->setCurrentIndex(0);
        }
    } selectFirst {combo};
    for (query.first(); !query.eof(); query.next()) {
        const QString text = query.asString(column);
        combo->addItem(text, keyColumn.isEmpty() ? QVariant() : QVariant(query.asInt(keyColumn)));
    }
}

void FillPopupMenu(Query& query, const QString& captionColumn, const QString& tagColumn,
                   QMenu* menu, const std::function<void(QAction*)>& handler)
{
    menu->clear();
    for (query.first(); !query.eof(); query.next()) {
        const QString caption = query.asString(captionColumn);
        const qint32 tag = query.asInt(tagColumn);
        QAction* action = menu->addAction(caption);
        action->setData(tag);
        QObject::connect(action, &QAction::triggered, menu, [handler, action] { handler(action); });
    }
}

QGroupBox* groupBox(QWidget* parent, const char* name, const QString& title, QRect geometry)
{
    auto* box = place<QGroupBox>(parent, name, geometry);
    box->setTitle(title);
    return box;
}

void centreOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    QPoint client; // where the window's own area stands inside its frame
    // Before a window is first shown its frame is not known yet, and the window is placed
    // by its own area: its frame will be as its owner's, or as another shown window's.
    const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    if (!owner) {
        const QWidgetList windows = QApplication::topLevelWidgets();
        const auto shown = std::find_if(windows.begin(), windows.end(), [window](QWidget* w) {
            return w != window && w->isVisible() && w->windowHandle();
        });
        owner = shown != windows.end() ? *shown : nullptr;
    }
    if (frame.size() == window->size() && owner && owner->windowHandle()) {
        const QMargins margins = owner->windowHandle()->frameMargins();
        frame.setSize(window->size()
                      + QSize(std::max(0, margins.left() + margins.right()),
                              std::max(0, margins.top() + margins.bottom())));
        client = QPoint(std::max(0, margins.left()), std::max(0, margins.top()));
    }
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft() + client);
}

} // namespace data
