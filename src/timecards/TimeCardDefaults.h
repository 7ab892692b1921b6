#pragma once

#include "platform/core/Money.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QVariant>
#include <functional>
#include <optional>

namespace quorvale {

namespace db {
class Recordset;
}

// The registry's "Defaults\Journal" values a new TimeCard starts with.
struct NewCardSettings {
    QString category;
    QString entryType = QStringLiteral("Task");
    QString billingStatus = QStringLiteral("Billable");
    QString rateSource = QStringLiteral("Staff Rates");
    QString rateLevel;
    qint32 mainActivity = 0; // 0 = none
    qint32 subActivity = 0;  // 0 = none
};

// The administrator options the defaults depend on.
struct NewCardOptions {
    bool contactInUse = false;
    bool activity1InUse = false;
    bool activity2InUse = false;
    bool billingInUse = false;
    bool rateSourceFixed = false;
    QString fixedRateSource;
    QString fixedRateLevel;
    Money fixedHourlyRate; // used when fixed and not 0
};

// What a new TimeCard holds before anyone edits it. A null QVariant is a
// column left Null.
struct TimeCardDefaults {
    QVariant contactId;
    qint32 userId = 0;
    QVariant activity1Id;
    QVariant activity2Id;
    QString description;
    QString timeEstimated;
    QString quantity;
    QDate startDate;
    QDate endDate;
    QTime startTime; // to the minute, as the "Medium Time" field shows it
    QTime endTime;
    // Billing in use only; otherwise left Null.
    QVariant billStatus;
    QVariant rateSource;
    QVariant rateLevel;
    std::optional<Money> rate;
    std::optional<Money> flatRate;
    std::optional<Money> value;
    // The rate list is to be filled for the source (no administrator-fixed source).
    bool fillRateList = false;
    QString entryType;
    QString category;

    // Writes the values into the row being added.
    void apply(db::Recordset &row) const;
};

// Is an activity of this level (1 or 2) offered in its pick list?
using ActivityListed = std::function<bool(int level, qint32 activityId)>;
// The hourly rate of a source and level; nullopt when none is found.
using RateLookup = std::function<std::optional<Money>(const QString &source, const QString &level)>;

// `SetFieldDefaultValues`: the defaults of a new TimeCard of userId, created at now.
// A default activity is taken only when its pick list offers it.
TimeCardDefaults SetFieldDefaultValues(const NewCardSettings &settings,
                                       const NewCardOptions &options, qint32 userId,
                                       const QDateTime &now, const ActivityListed &listed,
                                       const RateLookup &lookupRate);

} // namespace quorvale
