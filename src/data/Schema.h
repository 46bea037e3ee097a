#pragma once

#include <QString>

namespace data {

// Writes a new card database at path: the four tables and the settings table, the "DEFAULT" group,
// one row per printable field and one row of layout settings. Refuses to replace an existing file.
void createStarterDatabase(const QString& path, const QString& password);

} // namespace data
