#include "LinksSummaryDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace quorvale {

LinksSummaryDialog::LinksSummaryDialog(qint64 timeCardId, const LinkCounts &counts, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLinksSummary"));
    setWindowTitle(QStringLiteral(" Links of TimeCard %1").arg(timeCardId));
    auto *form = new QFormLayout;
    int total = 0;
    for (int i = 0; i < LinkKindCount; ++i) {
        const auto kind = static_cast<LinkKind>(i);
        const int n = counts.of(kind);
        total += n;
        auto *count = new QLabel(QString::number(n), this);
        count->setObjectName(QStringLiteral("lblCount%1").arg(i));
        // Selectable, so a screen reader's focus can land on each figure.
        count->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        count->setFocusPolicy(Qt::StrongFocus);
        count->setAccessibleName(linkKindCaption(kind));
        form->addRow(linkKindCaption(kind) + QLatin1Char(':'), count);
    }
    auto *journal =
        new QLabel(counts.journalEntry ? QStringLiteral("Yes") : QStringLiteral("No"), this);
    journal->setObjectName(QStringLiteral("lblJournal"));
    journal->setAccessibleName(QStringLiteral("Journal entry"));
    form->addRow(QStringLiteral("Journal entry:"), journal);
    auto *sum = new QLabel(QString::number(total), this);
    sum->setObjectName(QStringLiteral("lblTotal"));
    sum->setAccessibleName(QStringLiteral("Links in all"));
    form->addRow(QStringLiteral("Links in all:"), sum);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

} // namespace quorvale
