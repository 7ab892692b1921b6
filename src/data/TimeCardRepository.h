#pragma once

#include "data/TimeCard.h"

#include <QSqlQuery>
#include <QVariant>
#include <optional>

namespace quorvale {

namespace db {
class Connection;
}

// Single TimeCards read and written by key on the program database. The working
// set's record set and the filters' set-based statements go their own way; what
// reaches one TimeCard by its ID goes through here.
class TimeCardRepository {
public:
    explicit TimeCardRepository(db::Connection &cnnLink) : m_cnn(cnnLink) {}

    // The stored row; nullopt when there is none (deleted meanwhile).
    std::optional<TimeCard> find(qint64 id) const;

    // Points the TimeCard at its journal entry; false when there is no such row.
    bool setJournalEntryId(qint64 id, const QString &entryId);
    // A repricing's rate, realization and value.
    void setPricing(qint64 id, Money rate, Realization realization, Money value);

    // One column of one TimeCard, as a mass edit sets it on many in turn. The
    // name must be one of tblTimeCards' columns other than the key; anything
    // else is refused before any SQL is built from it.
    void setColumn(qint64 id, const QString &column, const QVariant &value);

private:
    db::Connection &m_cnn;
    // The last column's prepared statement, reused while the same column is set.
    QString m_preparedColumn;
    std::optional<QSqlQuery> m_columnUpdate;
};

// New TimeCards through one prepared INSERT of every column but the key, for
// the many rows generated data writes inside a transaction the caller holds.
class TimeCardInserter {
public:
    explicit TimeCardInserter(db::Connection &cnnLink);
    void add(const TimeCard &card);

private:
    db::Connection &m_cnn;
    QSqlQuery m_insert;
};

} // namespace quorvale
