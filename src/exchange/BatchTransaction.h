#pragma once

namespace data {
class Connection;
}

namespace exchange {

// Groups the row writes of a long pass into a few commits, since a commit per row costs
// far more than the write. What was posted is committed on every way out, also when an
// error ends the pass, so that rows written before a failure stay stored, as they would if
// each had been committed by itself.
class BatchTransaction
{
public:
    explicit BatchTransaction(data::Connection& connection);
    // Commits what is pending; when that fails, rolls back and keeps quiet.
    ~BatchTransaction();
    BatchTransaction(const BatchTransaction&) = delete;
    BatchTransaction& operator=(const BatchTransaction&) = delete;

    // Commits now and ends the batch; throws data::Error when the commit fails.
    void commit();
    // Commits what is pending and starts a new batch.
    void checkpoint();
    // Ends the batch after a failed write: commits what stands, unless the engine has
    // already rolled the whole batch back (as it does on a full disk), when nothing is left
    // to commit. Throws data::Error when the commit fails.
    void endAfterFailure();
    // Ends the batch after a failed write, giving up what it holds.
    void rollback();

private:
    data::Connection& m_connection;
    bool m_open = false;
};

} // namespace exchange
