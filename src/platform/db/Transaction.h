#pragma once

namespace quorvale::db {

class Connection;

// One unit of work: begins on construction, commit() makes it stick, the destructor
// rolls back whatever was not committed. Transactions on the same connection nest:
// an inner one is a savepoint, so rolling it back undoes only its own work.
class Transaction {
public:
    explicit Transaction(Connection &connection);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit();
    void rollback();
    bool isActive() const { return m_active; }

private:
    Connection &m_connection;
    bool m_active = true;
};

} // namespace quorvale::db
