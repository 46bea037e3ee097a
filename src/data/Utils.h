#pragma once

#include <QString>
#include <QVariant>
#include <optional>

namespace data {

class Query;

// Finds the first row whose key column equals value and reads its result column; when no
// row matches, result is 0 (or empty) and the current row stays where it was.
bool LocateInt(Query& query, const QString& value, const QString& keyColumn,
               const QString& resultColumn, qint32& result);
bool LocateStr(Query& query, qint32 value, const QString& keyColumn, const QString& resultColumn,
               QString& result);

// Reads a value as text without ever failing: Null gives empty text and true, an absent
// field (nullopt) or an unreadable value empty text and false. Dates and times read in the
// user's short date (and long time without its time zone, when the time of day is not
// midnight) format; numbers in plain decimal form with up to 15 significant digits.
bool FieldAsString(const std::optional<QVariant>& field, QString& result);

// The fixed message boxes.
// reason: why, when known (the engine's message); see Answers::failure.
void ShowPostError(const QString& reason = {});
void ShowCreateError(const QString& reason = {});
void ShowSettingsSaved();
bool ConfirmDelete();
bool ConfirmOverwrite();

} // namespace data
