#include "KeyStore.h"

#include <QDir>
#include <QFileInfo>

namespace data {
namespace {

class NoKeyStore final : public KeyStore
{
public:
    bool available() override { return false; }
    std::optional<QString> find(const QString&) override { return std::nullopt; }
    bool remember(const QString&, const QString&, QString* reason) override
    {
        if (reason)
            *reason = QStringLiteral("there is no secret store on this computer");
        return false;
    }
    void forget(const QString&) override { }
};

NoKeyStore none;
KeyStore* current = &none;

} // namespace

QString keyStoreName(const QString& databasePath)
{
    return QDir::cleanPath(QFileInfo(databasePath).absoluteFilePath());
}

KeyStore& keyStore()
{
    return *current;
}

void setKeyStore(KeyStore* store)
{
    current = store ? store : &none;
}

} // namespace data
