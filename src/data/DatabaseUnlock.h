#pragma once

#include "Answers.h"

#include <QString>
#include <functional>
#include <optional>

namespace data {

// Asks for the passphrase; attempt counts from 1, problem says why the last one failed
// (empty on the first question). nullopt when the person cancelled.
using AskPassphrase
    = std::function<std::optional<Answers::Passphrase>(int attempt, const QString& problem)>;

inline constexpr int passphraseTries = 3;

// The key that opens the database at dataSource: the passphrase remembered for it in
// keyStore(), then the default key, then up to passphraseTries answers of ask (none when
// ask is empty). An answer that opens the file is remembered when the person asked for
// that; a remembered passphrase that no longer opens it is forgotten. A server address
// needs no key: the default key comes back untried. Throws Error with the engine's reason
// ("Cannot open '...': ...") when nothing opened the file or the person cancelled.
QString unlockDatabase(const QString& dataSource, const AskPassphrase& ask);

} // namespace data
