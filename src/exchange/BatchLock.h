#pragma once

#include <QString>
#include <chrono>

namespace data {
class Connection;
}

namespace exchange {

// What a batch is refused with while another station runs one on the same database.
inline const QString batchBusyMessage
    = QStringLiteral("Another station is importing or resizing photos in this database. Try "
                     "again when it has finished.");

// Holds the database's batch lock (see data::Engine::tryLockBatch) for as long as it lives,
// so that two imports or photo passes never run on one database at once. Take it before the
// batch's transaction begins and before the rows the batch builds on are read; it is released
// after that transaction has ended.
class BatchLock
{
public:
    // How long a batch waits for another station's to end before it gives up.
    static constexpr std::chrono::milliseconds defaultWait {3000};

    // Takes the lock, asking again for up to wait while another station holds it; throws
    // data::Error with batchBusyMessage when it is still held then, and the engine's error
    // when asking fails.
    explicit BatchLock(data::Connection& connection, std::chrono::milliseconds wait = defaultWait);
    // Releases the lock; a connection that has gone away has released it already.
    ~BatchLock();
    BatchLock(const BatchLock&) = delete;
    BatchLock& operator=(const BatchLock&) = delete;

private:
    data::Connection& m_connection;
};

} // namespace exchange
