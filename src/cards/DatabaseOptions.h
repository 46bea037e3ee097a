#pragma once

#include "cards/CardOptions.h"

namespace data {
class DatabaseSettings;
}

namespace cards {

// The card options kept in the database's settings table (watermark, output, code element,
// text shrinking) read into options; an absent or unreadable value leaves the default.
void readDatabaseOptions(const data::DatabaseSettings& settings, CardOptions& options);

// Stores those options; throws data::Error with the reason when the file cannot take them.
void writeDatabaseOptions(data::DatabaseSettings& settings, const CardOptions& options);

// The stored texts of the choices, as the command line takes them too.
QString outputName(CardOutput output); // "a4", "card"
QString codeKindName(CodeElement::Kind kind); // "none", "code128", "qr"
// False for a text that names none; output is left as it was.
bool outputFromName(const QString& name, CardOutput& output);
bool codeKindFromName(const QString& name, CodeElement::Kind& kind);

} // namespace cards
