#pragma once

#include "platform/core/Money.h"

#include <QDate>
#include <QSqlQuery>
#include <QString>
#include <QTime>
#include <optional>

namespace quorvale::db {
class Connection;
}

namespace quorvale::admin {

// One TimeCard as generated data writes it.
struct TimeCard {
    int userId = 0;
    std::optional<int> contactId;
    std::optional<int> activity1Id;
    std::optional<int> activity2Id;
    std::optional<int> invoiceId;
    QString description;
    int estimatedSeconds = 0;
    int spentSeconds = 0;
    QDate startDate;
    QTime startTime;
    QDate endDate;
    QTime endTime;
    QString billStatus;
    QString rateSource;
    QString rateLevel;
    QString entryType;
    QString category;
    Money rate;
    Money flatRate;
    Money value;
    bool inactive = false;
    int realizationPercent = 100;
};

// The billable value of time at an hourly rate and a realization, rounded once to
// the currency's last digit: rate x seconds / 3600 x percent / 100.
Money timeValue(Money hourlyRate, int seconds, int realizationPercent);

// Appends TimeCards through one prepared INSERT; meant to run inside a
// transaction the caller holds.
class TimeCardWriter {
public:
    explicit TimeCardWriter(db::Connection &db);
    void add(const TimeCard &card);

private:
    db::Connection &m_db;
    QSqlQuery m_insert;
};

} // namespace quorvale::admin
