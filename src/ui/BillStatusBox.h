#pragma once

#include <QStringList>

class QComboBox;

namespace quorvale {

// Fills a bill status list whose entries say, in their tool tips and in the
// list's accessible description, what each status does at the next invoice.
void fillBillStatuses(QComboBox *box, const QStringList &statuses);

} // namespace quorvale
