#pragma once

#include "platform/core/Money.h"

#include <QString>
#include <array>
#include <optional>

namespace quorvale::db {
class Connection;
}

// The rows other rows refer to: permission sets, staff levels, users, contacts,
// activities and codes. Every value goes to the database as a bound parameter, so
// names may hold quotes or anything else a person types.
namespace quorvale::admin {

// Rate levels 1 to 6 of a rate source row.
using Rates = std::array<Money, 6>;

struct PermissionSet {
    QString description;
    std::array<bool, 5> permissions{}; // permissions 1 to 5, in column order
};

struct StaffLevel {
    QString name;
    int permissionId = 0;
    Rates rates{};
};

struct User {
    QString name;
    int staffId = 0;
    int permissionId = 0;
    bool active = true;
    Rates rates{};
};

struct Contact {
    QString name;
    QString account;
    bool active = true;
    Rates rates{};
    int timeRealizationPercent = 100;
    int expenseRealizationPercent = 100;
    int fixedChargeRealizationPercent = 100;
};

enum class ActivityLevel { Activity1 = 1, Activity2 = 2 };

struct Activity {
    ActivityLevel level = ActivityLevel::Activity1;
    QString name;
    QString number;
    QString description;
    std::optional<int> contactId; // none: offered for every contact
    bool active = true;
    Rates rates{};
};

Activity makeActivity(ActivityLevel level, const QString &name, const QString &number,
                      const QString &description);

// "tblMainActivities" for Activity 1, "tblSubActivities" for Activity 2.
QString activityTable(ActivityLevel level);

int insertPermissionSet(db::Connection &db, const PermissionSet &set);
int insertStaffLevel(db::Connection &db, const StaffLevel &staff);
int insertUser(db::Connection &db, const User &user);
int insertContact(db::Connection &db, const Contact &contact);
int insertActivity(db::Connection &db, const Activity &activity);

// Rates rounded to whole currency units from a base in whole units, one step
// per level (the usual ladder from senior to junior rates or back).
Rates rateLadder(int baseWhole, int stepWhole);

// Throws QvError unless table has a row whose key column equals id.
void requireRow(db::Connection &db, const QString &table, const QString &keyColumn, int id,
                const QString &what);

} // namespace quorvale::admin
