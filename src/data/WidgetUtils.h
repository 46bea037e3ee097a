#pragma once

#include <QRect>
#include <QString>
#include <functional>

class QAction;
class QComboBox;
class QGroupBox;
class QMenu;
class QWidget;

namespace data {

class Query;

// Selects the first item equal to text (exact, case-sensitive) without running the
// combo box's handlers; false and no change when none is equal.
bool SelectComboText(QComboBox* combo, const QString& text);

// Refills the combo box with the column of every row; selects the first item if any.
// With a key column, each item's data is that row's key (a 32-bit integer), so that items
// of the same text can be told apart. A failing row keeps the items added before it.
void FillComboBox(Query& query, const QString& column, QComboBox* combo,
                  const QString& keyColumn = {});

// Rebuilds the menu with one item per row: caption from one column, tag (the action's
// data) from another, each calling handler with its action.
void FillPopupMenu(Query& query, const QString& captionColumn, const QString& tagColumn,
                   QMenu* menu, const std::function<void(QAction*)>& handler);

// A new child widget of parent with its object name and its place (in parent's pixels), as
// the windows built in code lay out their controls.
template<typename T> T* place(QWidget* parent, const char* name, QRect geometry)
{
    auto* widget = new T(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

// A titled group box placed as place() does.
QGroupBox* groupBox(QWidget* parent, const char* name, const QString& title, QRect geometry);

// Moves a window so that it stands centred on its screen (as dialogs open).
void centreOnScreen(QWidget* window);

} // namespace data
