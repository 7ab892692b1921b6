#include "ui/BillStatusBox.h"

#include "timecards/BillingStatus.h"

#include <QComboBox>

namespace quorvale {

void fillBillStatuses(QComboBox *box, const QStringList &statuses)
{
    for (const QString &status : statuses) {
        box->addItem(status);
        box->setItemData(box->count() - 1, billingTreatmentHelp(billingTreatment(status)),
                         Qt::ToolTipRole);
    }
    const auto describe = [box] {
        const QString help = box->currentData(Qt::ToolTipRole).toString();
        box->setToolTip(help);
        box->setAccessibleDescription(help);
    };
    QObject::connect(box, &QComboBox::currentIndexChanged, box, describe);
    describe();
}

} // namespace quorvale
