#include "Transaction.h"

#include "Connection.h"

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcDb)

namespace quorvale::db {

Transaction::Transaction(Connection &connection) : m_connection(connection)
{
    m_connection.beginTransaction();
}

Transaction::~Transaction()
{
    if (!m_active)
        return;
    try {
        m_connection.rollbackTransaction();
    } catch (const std::exception &e) {
        // A destructor must not throw; the connection's own close rolls back anyway.
        qCWarning(lcDb) << "rollback failed:" << e.what();
    }
}

void Transaction::commit()
{
    if (!m_active)
        return;
    m_connection.commitTransaction();
    m_active = false;
}

void Transaction::rollback()
{
    if (!m_active)
        return;
    m_active = false;
    m_connection.rollbackTransaction();
}

} // namespace quorvale::db
