#include "AdjustInterface.h"

#include "settings/AdminSettings.h"
#include "settings/Permissions.h"

namespace quorvale {

std::vector<ToolChange> AdaptMenus(const Terms &terms)
{
    return {
        {QStringLiteral("mnuEditActivity1List"), true,
         QStringLiteral("&Edit ") + terms.activity1 + QStringLiteral(" List")},
        {QStringLiteral("mnuEditActivity2List"), true,
         QStringLiteral("E&dit ") + terms.activity2 + QStringLiteral(" List")},
    };
}

std::vector<ToolChange> AdjustInterface(const AdminOptions &options, const Permissions &permissions)
{
    std::vector<ToolChange> changes;
    const auto sortPair = [&](const char *stem, bool visible, const QString &caption) {
        for (const char *direction : {"ASC", "DESC"})
            changes.push_back(
                {QStringLiteral("mnu") + QLatin1String(stem) + QLatin1String(direction), visible,
                 caption});
    };
    const QString id = QStringLiteral(" ID");
    sortPair("Contact", options.contactInUse, options.terms.contact + id);
    sortPair("Activity1", options.activity1InUse, options.terms.activity1 + id);
    sortPair("Activity2", options.activity2InUse, options.terms.activity2 + id);
    // Billing columns mean nothing where nothing is billed.
    for (const char *stem : {"BillStatus", "RateSource", "Rate", "Value"})
        sortPair(stem, options.billingInUse, QString());

    changes.push_back(
        {QStringLiteral("mnuContacts"),
         permissions.contactManagement && options.contactInUse && options.billingInUse, QString()});
    const bool payments = permissions.payments && options.billingInUse;
    changes.push_back({QStringLiteral("Tool5016"), payments, QString()});
    changes.push_back({QStringLiteral("mnuNewPayment"), payments, QString()});

    const bool expenses = options.billingInUse && options.expensesInUse;
    const bool charges = options.billingInUse && options.fixedChargesInUse;
    for (const char *tool : {"mnuAllExpenses", "Tool5015", "mnuNewExpense"})
        changes.push_back({QLatin1String(tool), expenses, QString()});
    for (const char *tool : {"mnuAllProductSales", "mnuNewProductSale"})
        changes.push_back({QLatin1String(tool), charges, QString()});
    changes.push_back({QStringLiteral("Tool5038"), expenses || charges, QString()});

    changes.push_back({QStringLiteral("miHContents"), true, QStringLiteral("&Contents")});
    return changes;
}

} // namespace quorvale
