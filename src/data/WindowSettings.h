#pragma once

#include <QString>
#include <functional>

class QTableView;
class QWidget;

namespace data {

// Placement of a window under prefix + "_TOP", "_LEFT", "_WIDTH", "_HEIGHT" and "_MAX".
void RestoreWindow(const QString& prefix, QWidget* window);
// Writes "_MAX"; the placement only when the window is not maximised.
void SaveWindow(const QString& prefix, QWidget* window);

// Widths of a grid's columns under prefix + "_" + column index; defaultWidth gives the
// width of a column with nothing stored.
void RestoreGridColumns(const QString& prefix, QTableView* grid,
                        const std::function<int(int column)>& defaultWidth);
void SaveGridColumns(const QString& prefix, QTableView* grid);

} // namespace data
