#include "timecards/BillingStatus.h"

namespace quorvale {

const QStringList &invoicedStatuses()
{
    static const QStringList statuses{QStringLiteral("Billable"), QStringLiteral("No Charge"),
                                      QStringLiteral("No charge"),
                                      QStringLiteral("Subject to fixed charge")};
    return statuses;
}

QString invoicedCondition(const QString &column)
{
    QStringList marks;
    for (qsizetype i = 0; i < invoicedStatuses().size(); ++i)
        marks << QStringLiteral("?");
    return QStringLiteral("%1 IN (%2)").arg(column, marks.join(QStringLiteral(", ")));
}

} // namespace quorvale
