#pragma once

#include <QString>

class QTableView;
class QWidget;

namespace data {

// Per-user values of the organisation "Tavrik", application "Melbrin". Numbers are kept as
// decimal text, truth values as "1" and "0"; a missing value or text that is not a decimal
// integer reads as the default.
int ReadRegInt(const QString& name, int defaultValue);
void WriteRegInt(const QString& name, int value);
bool ReadRegBool(const QString& name, bool defaultValue);
void WriteRegBool(const QString& name, bool value);

// A grid column's width when none is stored, by the declared type of the column it shows.
int defaultColumnWidth(const QString& declaredType);

} // namespace data
