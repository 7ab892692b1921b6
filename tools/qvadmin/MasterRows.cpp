#include "qvadmin/MasterRows.h"

#include "platform/core/QvError.h"
#include "platform/db/Connection.h"

#include <QVariantList>

namespace quorvale::admin {

namespace {

const QString RateColumns = QStringLiteral("Rate1, Rate2, Rate3, Rate4, Rate5, Rate6");
const QString RateMarks = QStringLiteral("?, ?, ?, ?, ?, ?");

void appendRates(QVariantList &params, const Rates &rates)
{
    for (const Money &m : rates)
        params << QVariant::fromValue(m);
}

QVariant realization(int percent)
{
    return percent / 100.0;
}

int key(qlonglong k)
{
    return static_cast<int>(k);
}

} // namespace

Activity makeActivity(ActivityLevel level, const QString &name, const QString &number,
                      const QString &description)
{
    Activity a;
    a.level = level;
    a.name = name;
    a.number = number;
    a.description = description;
    return a;
}

QString activityTable(ActivityLevel level)
{
    return level == ActivityLevel::Activity1 ? QStringLiteral("tblMainActivities")
                                             : QStringLiteral("tblSubActivities");
}

int insertPermissionSet(db::Connection &db, const PermissionSet &set)
{
    QVariantList params;
    for (bool p : set.permissions)
        params << p;
    params << set.description;
    return key(db.insertReturningKey(
        QStringLiteral("INSERT INTO tblPermissions (Permission1, Permission2, Permission3, "
                       "ContactManagement, Payments, PermissionDescription) "
                       "VALUES (?, ?, ?, ?, ?, ?)"),
        params, QStringLiteral("PermissionID")));
}

int insertStaffLevel(db::Connection &db, const StaffLevel &staff)
{
    QVariantList params{staff.permissionId};
    appendRates(params, staff.rates);
    params << staff.name;
    return key(db.insertReturningKey(QStringLiteral("INSERT INTO tblStaff (PermissionID, ") +
                                         RateColumns + QStringLiteral(", StaffName) VALUES (?, ") +
                                         RateMarks + QStringLiteral(", ?)"),
                                     params, QStringLiteral("StaffID")));
}

int insertUser(db::Connection &db, const User &user)
{
    QVariantList params{user.name, QString(), user.active, user.staffId, user.permissionId};
    appendRates(params, user.rates);
    return key(db.insertReturningKey(
        QStringLiteral("INSERT INTO tblUsers (UserName, UserEntryID, Active, StaffID, "
                       "PermissionID, ") +
            RateColumns + QStringLiteral(") VALUES (?, ?, ?, ?, ?, ") + RateMarks +
            QStringLiteral(")"),
        params, QStringLiteral("UserID")));
}

int insertContact(db::Connection &db, const Contact &contact)
{
    QVariantList params{contact.name, contact.account, contact.active};
    appendRates(params, contact.rates);
    params << realization(contact.timeRealizationPercent)
           << realization(contact.expenseRealizationPercent)
           << realization(contact.fixedChargeRealizationPercent);
    return key(db.insertReturningKey(
        QStringLiteral("INSERT INTO tblContacts (ContactName, ContactAccount, Active, ") +
            RateColumns +
            QStringLiteral(", TimeRealization, ExpenseRealization, FixedChargeRealization) "
                           "VALUES (?, ?, ?, ") +
            RateMarks + QStringLiteral(", ?, ?, ?)"),
        params, QStringLiteral("ContactID")));
}

int insertActivity(db::Connection &db, const Activity &activity)
{
    QVariantList params{activity.name, activity.number, activity.description,
                        activity.contactId ? QVariant(*activity.contactId)
                                           : QVariant(QMetaType::fromType<int>()),
                        activity.active};
    appendRates(params, activity.rates);
    return key(db.insertReturningKey(
        QStringLiteral("INSERT INTO ") + activityTable(activity.level) +
            QStringLiteral(" (ActivityName, ActivityNumber, ActivityDescription, ContactID, "
                           "Active, ") +
            RateColumns + QStringLiteral(") VALUES (?, ?, ?, ?, ?, ") + RateMarks +
            QStringLiteral(")"),
        params, QStringLiteral("ActivityID")));
}

Rates rateLadder(int baseWhole, int stepWhole)
{
    Rates rates{};
    for (std::size_t i = 0; i < rates.size(); ++i)
        rates[i] = Money::fromWhole(baseWhole + static_cast<int>(i) * stepWhole);
    return rates;
}

void requireRow(db::Connection &db, const QString &table, const QString &keyColumn, int id,
                const QString &what)
{
    const QVariant found =
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table + QStringLiteral(" WHERE ") +
                      keyColumn + QStringLiteral(" = ?"),
                  {id});
    if (found.toLongLong() == 0)
        throw QvError(ErrorNumber::ItemNotFound,
                      QStringLiteral("There is no %1 with the ID %2.").arg(what).arg(id),
                      QStringLiteral("qvadmin"));
}

} // namespace quorvale::admin
