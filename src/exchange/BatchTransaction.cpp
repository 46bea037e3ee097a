#include "BatchTransaction.h"

#include "data/Connection.h"

namespace exchange {

BatchTransaction::BatchTransaction(data::Connection& connection)
    : m_connection(connection)
{
    m_connection.beginTransaction();
    m_open = true;
}

BatchTransaction::~BatchTransaction()
{
    if (!m_open)
        return;
    try {
        m_connection.commit();
    } catch (...) {
        try {
            m_connection.rollback();
        } catch (...) {
            // Nothing more can be done for the file here; the engine keeps it whole.
        }
    }
}

void BatchTransaction::commit()
{
    if (!m_open)
        return;
    m_open = false;
    try {
        m_connection.commit();
    } catch (...) {
        m_connection.rollback();
        throw;
    }
}

void BatchTransaction::endAfterFailure()
{
    if (m_open && m_connection.transactionLost()) {
        m_open = false;
        m_connection.rollback();
        return;
    }
    commit();
}

void BatchTransaction::rollback()
{
    if (!m_open)
        return;
    m_open = false;
    m_connection.rollback();
}

void BatchTransaction::checkpoint()
{
    commit();
    m_connection.beginTransaction();
    m_open = true;
}

} // namespace exchange
