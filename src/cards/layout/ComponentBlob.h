#pragma once

#include <QString>

namespace data {
class Query;
}

namespace cards {

class FontLabel;

// Writes the label's stream into a blob column of the row being edited. A column that
// refuses the bytes keeps its old value; nothing is reported.
void SaveComponentToBlob(data::Query& query, const QString& column, const FontLabel& label);

// Applies the stream held in the current row's blob column to the label, record by record.
// Reading stops silently at anything it cannot take (an empty, short, foreign or damaged
// stream); the records applied before stay and the rest of the label is left as it was.
void LoadComponentFromBlob(const data::Query& query, const QString& column, FontLabel& label);

} // namespace cards
