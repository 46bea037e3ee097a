#include "BatchLock.h"

#include "data/Connection.h"
#include "data/Engine.h"
#include "data/Error.h"

#include <QDeadlineTimer>
#include <QThread>
#include <algorithm>

namespace exchange {
namespace {

// How often a waiting batch asks again.
constexpr std::chrono::milliseconds retryEvery {100};

} // namespace

BatchLock::BatchLock(data::Connection& connection, std::chrono::milliseconds wait)
    : m_connection(connection)
{
    const QDeadlineTimer deadline(qint64(wait.count()));
    while (!m_connection.engine().tryLockBatch()) {
        if (deadline.hasExpired())
            throw data::Error(batchBusyMessage);
        QThread::msleep(ulong(std::clamp<qint64>(deadline.remainingTime(), 1, retryEvery.count())));
    }
}

BatchLock::~BatchLock()
{
    try {
        m_connection.engine().unlockBatch();
    } catch (...) {
        // The server releases a lock when its session ends, which is how a release fails.
    }
}

} // namespace exchange
