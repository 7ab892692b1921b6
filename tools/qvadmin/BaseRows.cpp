#include "qvadmin/BaseRows.h"

#include "data/AdminOptionOrdinals.h"
#include "platform/db/Connection.h"
#include "qvadmin/MasterRows.h"
#include "support/Version.h"

#include <QStringList>
#include <QVariantList>

namespace quorvale::admin {

namespace {

QString optionColumn(int ordinal)
{
    const auto name = schema::adminOptionColumns[static_cast<std::size_t>(ordinal)].column.name;
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

void setAdminOptions(db::Connection &db, const std::vector<std::pair<int, QVariant>> &values)
{
    QStringList assignments;
    QVariantList params;
    for (const auto &[ordinal, value] : values) {
        assignments << optionColumn(ordinal) + QStringLiteral(" = ?");
        params << value;
    }
    db.execute(QStringLiteral("UPDATE tblAdminOptions SET ") +
                   assignments.join(QStringLiteral(", ")),
               params);
}

} // namespace

void switchAdminOptionsOn(db::Connection &db, std::initializer_list<int> ordinals)
{
    std::vector<std::pair<int, QVariant>> values;
    for (int ordinal : ordinals)
        values.emplace_back(ordinal, true);
    setAdminOptions(db, values);
}

BaseRowIds insertBaseRows(db::Connection &db, const QString &userName)
{
    setAdminOptions(db, {
                            {AdminOption::ContactTerm, QString::fromLatin1(ContactTermText)},
                            {AdminOption::Activity1Term, QString::fromLatin1(Activity1TermText)},
                            {AdminOption::Activity2Term, QString::fromLatin1(Activity2TermText)},
                            {AdminOption::BillingInUse, true},
                            {AdminOption::ContactInUse, true},
                            {AdminOption::Activity1InUse, true},
                            {AdminOption::Activity2InUse, true},
                            {AdminOption::ProgramVersion, Version::Revision},
                            {AdminOption::UpgradeRequest, 0},
                        });

    BaseRowIds ids;
    ids.fullPermissionId =
        insertPermissionSet(db, {QStringLiteral("Full"), {true, true, true, true, true}});
    ids.standardPermissionId =
        insertPermissionSet(db, {QStringLiteral("Standard"), {true, true, true, true, false}});
    ids.restrictedPermissionId =
        insertPermissionSet(db, {QStringLiteral("Restricted"), {true, false, false, false, false}});

    const Rates seniorRates = rateLadder(180, -20);
    ids.staffId = insertStaffLevel(
        db, {QStringLiteral("Senior Consultant"), ids.fullPermissionId, seniorRates});
    ids.userId = insertUser(db, {userName, ids.staffId, ids.fullPermissionId, true, seniorRates});
    return ids;
}

} // namespace quorvale::admin
