#include "ui/ContactMaintenanceDialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>

namespace quorvale {

ContactMaintenanceDialog::ContactMaintenanceDialog(db::Connection &cnnLink, const Terms &terms,
                                                   QWidget *parent)
    : MaintenanceDialog(parent), m_contacts(cnnLink), m_name(new QLineEdit(this)),
      m_account(new QLineEdit(this)), m_active(new QCheckBox(tr("Acti&ve"), this)),
      m_realization(new QLineEdit(this))
{
    setWindowTitle(tr("%1 List").arg(terms.contact));
    form()->addRow(tr("&Name:"), m_name);
    form()->addRow(tr("&Account:"), m_account);
    form()->addRow(QString(), m_active);
    form()->addRow(tr("&Realization:"), m_realization);
    m_name->setAccessibleName(tr("Name"));
    m_account->setAccessibleName(tr("Account"));
    m_realization->setAccessibleName(tr("Time realization"));
    m_realization->setToolTip(tr("The share of the time's value that is billed, as a percentage."));
    for (QLineEdit *edit : {m_name, m_account, m_realization})
        watch(edit);
    connect(m_active, &QCheckBox::clicked, this, &ContactMaintenanceDialog::markDirty);
    finishLayout();
}

void ContactMaintenanceDialog::showModal(db::Connection &cnnLink, const Terms &terms,
                                         QWidget *parent)
{
    ContactMaintenanceDialog dialog(cnnLink, terms, parent);
    dialog.exec();
}

QStringList ContactMaintenanceDialog::loadEntries()
{
    m_rows = m_contacts.load();
    QStringList texts;
    for (const ContactRow &row : m_rows)
        texts << (row.active ? row.name : tr("%1 (inactive)").arg(row.name));
    return texts;
}

std::optional<qint32> ContactMaintenanceDialog::entryId(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_rows.size()))
        return std::nullopt;
    return m_rows[index].id;
}

QString ContactMaintenanceDialog::entryName(int index) const
{
    return m_rows.at(index).name;
}

void ContactMaintenanceDialog::showEntry(int index)
{
    const ContactRow row = index >= 0 ? m_rows.at(index) : ContactRow{};
    m_name->setText(row.name);
    m_account->setText(row.account);
    m_active->setChecked(row.active);
    m_realization->setText(realizationEditText(row.timeRealization));
    showRates(row.rates);
}

std::optional<qint32> ContactMaintenanceDialog::saveEntry(int index)
{
    ContactRow row;
    if (index >= 0)
        row.id = m_rows.at(index).id;
    row.name = m_name->text();
    row.account = m_account->text();
    row.active = m_active->isChecked();

    QString problem = ContactList::problem(row);
    QWidget *offending = m_name;
    if (problem.isEmpty()) {
        if (const auto realization = parseTypedRealization(m_realization->text()))
            row.timeRealization = *realization;
        else {
            problem = tr("The realization must be a percentage from 0 to 100.");
            offending = m_realization;
        }
    }
    if (problem.isEmpty()) {
        if (const auto typed = rates(problem))
            row.rates = *typed;
        else
            offending = nullptr; // rates() has put the focus on the rate
    }
    if (!problem.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), problem);
        if (offending)
            offending->setFocus();
        return std::nullopt;
    }
    return m_contacts.save(row);
}

RemoveOutcome ContactMaintenanceDialog::removeEntry(qint32 id)
{
    return m_contacts.remove(id);
}

} // namespace quorvale
