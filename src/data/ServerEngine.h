#pragma once

#include "Engine.h"

#include <functional>
#include <optional>

namespace data {

// Connects to the PostgreSQL database a "postgresql://" address names. The password comes
// from libpq's own sources (~/.pgpass, PGPASSWORD) or, when the server asks for one that
// those do not give, from the password prompt. Throws Error with the server's reason.
std::unique_ptr<Engine> openServer(const QString& address);

// Asks for the password of a server address; problem says why ("password authentication
// failed ..." after a wrong one, empty the first time). No answer gives up.
using ServerPasswordPrompt
    = std::function<std::optional<QString>(const QString& address, const QString& problem)>;
// The prompt every later connection uses; none (the default) asks nobody.
void setServerPasswordPrompt(ServerPasswordPrompt prompt);

} // namespace data
