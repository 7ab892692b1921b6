#pragma once

#include "timecards/TimeCardDelete.h"

#include <QDialog>

namespace quorvale {

// "View Links Summary": how many items of each kind the TimeCard is linked to,
// and whether its journal entry is there.
class LinksSummaryDialog : public QDialog {
    Q_OBJECT

public:
    LinksSummaryDialog(qint64 timeCardId, const LinkCounts &counts, QWidget *parent = nullptr);
};

} // namespace quorvale
