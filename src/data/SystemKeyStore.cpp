#include "SystemKeyStore.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <memory>
#include <qt6keychain/keychain.h>

namespace data {
namespace {

using namespace std::chrono_literals;

const QString serviceName = QStringLiteral("Melbrin");
// An entry no database can have (its names are absolute paths): reading it tells whether
// a store answers at all.
const QString probeName = QStringLiteral("melbrin: is there a store");
// How long the first question may take before the program goes on without a store, and how
// long any later one may take (a locked store may ask its owner to unlock it first).
constexpr auto probeTimeout = 3s;
constexpr auto jobTimeout = 10s;

// The Secret Service on Linux, the Credential Manager on Windows. Each question runs on a
// local event loop until the store answers or the time is up; a store that did not answer
// in time is not asked again, so a dead or hung session bus costs the program one wait.
class SystemKeyStore final : public KeyStore
{
public:
    bool available() override
    {
        if (m_state == State::Unknown)
            probe();
        return m_state == State::Working;
    }

    std::optional<QString> find(const QString& databasePath) override
    {
        if (!available())
            return std::nullopt;
        auto job = newJob<QKeychain::ReadPasswordJob>(keyStoreName(databasePath));
        if (!run(job, jobTimeout) || job->error() != QKeychain::NoError)
            return std::nullopt;
        return job->textData();
    }

    bool remember(const QString& databasePath, const QString& passphrase, QString* reason) override
    {
        const auto refuse = [&](const QString& why) {
            if (reason)
                *reason = why;
            return false;
        };
        if (!available())
            return refuse(m_problem);
        auto job = newJob<QKeychain::WritePasswordJob>(keyStoreName(databasePath));
        job->setTextData(passphrase);
        if (!run(job, jobTimeout))
            return refuse(m_problem);
        if (job->error() != QKeychain::NoError)
            return refuse(QStringLiteral("the secret store did not keep the password (%1)")
                              .arg(job->errorString()));
        return true;
    }

    void forget(const QString& databasePath) override
    {
        if (!available())
            return;
        auto job = newJob<QKeychain::DeletePasswordJob>(keyStoreName(databasePath));
        run(job, jobTimeout); // nothing remembered is no failure either
    }

private:
    enum class State { Unknown, Working, None };

    template<typename Job> static std::unique_ptr<Job> newJob(const QString& name)
    {
        auto job = std::make_unique<Job>(serviceName);
        job->setAutoDelete(false);
        job->setInsecureFallback(false); // never a plain file in place of the store
        job->setKey(name);
        return job;
    }

    // Whether the job finished within timeout. A job still under way when the time is up
    // is left to delete itself when it ends, because the store's callbacks still point at
    // it; the store is not asked again.
    template<typename Job> bool run(std::unique_ptr<Job>& job, std::chrono::milliseconds timeout)
    {
        bool done = false;
        QEventLoop loop;
        QObject::connect(job.get(), &QKeychain::Job::finished, &loop, [&] {
            done = true;
            loop.quit();
        });
        QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
        job->start();
        if (!done)
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        if (done)
            return true;
        job.release()->setAutoDelete(true);
        m_state = State::None;
        m_problem = QStringLiteral("the secret store did not answer");
        return false;
    }

    void probe()
    {
        m_state = State::None;
        if (!QCoreApplication::instance()) {
            m_problem = QStringLiteral("there is no secret store on this computer");
            return;
        }
        auto job = newJob<QKeychain::ReadPasswordJob>(probeName);
        if (!run(job, probeTimeout))
            return;
        switch (job->error()) {
        case QKeychain::NoError:
        case QKeychain::EntryNotFound:
            m_state = State::Working;
            break;
        default:
            m_problem = QStringLiteral("there is no secret store on this computer (%1)")
                            .arg(job->errorString());
        }
    }

    State m_state = State::Unknown;
    QString m_problem;
};

} // namespace

std::unique_ptr<KeyStore> makeSystemKeyStore()
{
    return std::make_unique<SystemKeyStore>();
}

} // namespace data
