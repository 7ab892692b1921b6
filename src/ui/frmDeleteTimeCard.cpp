#include "ui/frmDeleteTimeCard.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quorvale {

frmDeleteTimeCard::frmDeleteTimeCard(const QVariantMap &values, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral(" Delete TimeCard"));
    setModal(true);
    m_runner = values.value(QLatin1String(DeleteDialogKey::Runner)).value<DeleteRunner>();
    const QVariantList counts = values.value(QLatin1String(DeleteDialogKey::Counts)).toList();

    auto *grid = new QGridLayout;
    for (int k = 0; k < LinkKindCount; ++k) {
        const auto kind = static_cast<LinkKind>(k);
        const int count = k < counts.size() ? counts.at(k).toInt() : 0;
        const std::size_t s = slot(kind);
        m_counts[s] =
            new QLabel(linkKindCaption(kind) + QStringLiteral(": ") + QString::number(count), this);
        m_linkOnly[s] = new QRadioButton(deleteOptionText(kind, false), this);
        m_deleteItems[s] = new QRadioButton(deleteOptionText(kind, true), this);
        auto *group = new QButtonGroup(this);
        group->addButton(m_linkOnly[s]);
        group->addButton(m_deleteItems[s]);
        m_linkOnly[s]->setChecked(true);
        // A kind without links has nothing to choose.
        m_linkOnly[s]->setEnabled(count > 0);
        m_deleteItems[s]->setEnabled(count > 0);
        grid->addWidget(m_counts[s], k * 2, 0, 2, 1);
        grid->addWidget(m_linkOnly[s], k * 2, 1);
        grid->addWidget(m_deleteItems[s], k * 2 + 1, 1);
    }
    m_journal = new QCheckBox(QLatin1String(DeleteJournalText), this);
    m_journal->setEnabled(values.value(QLatin1String(DeleteDialogKey::JournalEntry)).toBool());

    m_progress = new QProgressBar(this);
    m_progress->setRange(0, DeleteSteps);
    m_progress->setValue(0);

    m_selectAll = new QPushButton(QStringLiteral("&Select All"), this);
    m_deleteNow = new QPushButton(QStringLiteral("&Delete Now"), this);
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_deleteNow->setDefault(true);
    connect(m_selectAll, &QPushButton::clicked, this, &frmDeleteTimeCard::selectAll);
    connect(m_deleteNow, &QPushButton::clicked, this, &frmDeleteTimeCard::deleteNow);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_selectAll);
    buttons->addStretch();
    buttons->addWidget(m_deleteNow);
    buttons->addWidget(m_cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_journal);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
}

DeleteChoices frmDeleteTimeCard::choices() const
{
    DeleteChoices c;
    for (std::size_t s = 0; s < m_deleteItems.size(); ++s)
        c.deleteItems[s] = m_deleteItems[s]->isEnabled() && m_deleteItems[s]->isChecked();
    c.deleteJournalEntry = m_journal->isEnabled() && m_journal->isChecked();
    return c;
}

void frmDeleteTimeCard::selectAll()
{
    for (QRadioButton *option : m_deleteItems)
        if (option->isEnabled())
            option->setChecked(true);
    if (m_journal->isEnabled())
        m_journal->setChecked(true);
}

void frmDeleteTimeCard::deleteNow()
{
    if (m_runner.run) {
        m_selectAll->setEnabled(false);
        m_deleteNow->setEnabled(false);
        m_cancel->setEnabled(false);
        m_outcome = m_runner.run(choices(), [this](int done, int) { m_progress->setValue(done); });
    }
    accept();
}

bool frmDeleteTimeCard::DeleteTimeCardDialog(QVariantMap &values, QWidget *parent)
{
    frmDeleteTimeCard dialog(values, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const DeleteChoices c = dialog.choices();
    QVariantList items;
    for (const bool d : c.deleteItems)
        items << d;
    values.insert(QLatin1String(DeleteDialogKey::DeleteItems), items);
    values.insert(QLatin1String(DeleteDialogKey::DeleteJournal), c.deleteJournalEntry);
    if (dialog.outcome()) {
        values.insert(QLatin1String(DeleteDialogKey::Outcome), dialog.outcome()->deleted);
        values.insert(QLatin1String(DeleteDialogKey::NotDeleted), dialog.outcome()->notDeleted);
    }
    return true;
}

} // namespace quorvale
