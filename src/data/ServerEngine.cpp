#include "ServerEngine.h"

#include "Error.h"

namespace data {
namespace {

ServerPasswordPrompt& passwordPrompt()
{
    static ServerPasswordPrompt prompt;
    return prompt;
}

} // namespace

void setServerPasswordPrompt(ServerPasswordPrompt prompt)
{
    passwordPrompt() = std::move(prompt);
}

std::unique_ptr<Engine> openServer(const QString& address)
{
    throw Error(
        QStringLiteral("Cannot connect to '%1': this build has no server support").arg(address));
}

} // namespace data
