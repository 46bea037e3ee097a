#include "SystemKeyStore.h"

namespace data {
namespace {

// Placeholder until the QtKeychain store is in: remembers nothing.
class NoSystemStore final : public KeyStore
{
public:
    bool available() override { return false; }
    std::optional<QString> find(const QString&) override { return std::nullopt; }
    bool remember(const QString&, const QString&, QString*) override { return false; }
    void forget(const QString&) override { }
};

} // namespace

std::unique_ptr<KeyStore> makeSystemKeyStore()
{
    return std::make_unique<NoSystemStore>();
}

} // namespace data
