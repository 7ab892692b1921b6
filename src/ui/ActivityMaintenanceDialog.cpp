#include "ui/ActivityMaintenanceDialog.h"

#include "timecards/ContactList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>

namespace quorvale {

ActivityMaintenanceDialog::ActivityMaintenanceDialog(db::Connection &cnnLink, ActivityLevel level,
                                                     const Terms &terms, QWidget *parent)
    : MaintenanceDialog(parent), m_activities(cnnLink, level), m_name(new QLineEdit(this)),
      m_number(new QLineEdit(this)), m_description(new QPlainTextEdit(this)),
      m_contact(new QComboBox(this)), m_active(new QCheckBox(tr("Acti&ve"), this))
{
    setWindowTitle(tr("%1 List").arg(m_activities.term(terms)));
    m_description->setTabChangesFocus(true);
    m_description->setMaximumHeight(m_description->fontMetrics().lineSpacing() * 5);
    fillContacts(cnnLink, terms);

    form()->addRow(tr("&Name:"), m_name);
    form()->addRow(tr("N&umber:"), m_number);
    form()->addRow(tr("D&escription:"), m_description);
    form()->addRow(tr("&For %1:").arg(terms.contact), m_contact);
    form()->addRow(QString(), m_active);
    m_name->setAccessibleName(tr("Name"));
    m_number->setAccessibleName(tr("Number"));
    m_description->setAccessibleName(tr("Description"));
    m_contact->setAccessibleName(terms.contact);

    watch(m_name);
    watch(m_number);
    connect(m_description, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_showing)
            markDirty();
    });
    connect(m_contact, &QComboBox::activated, this, &ActivityMaintenanceDialog::markDirty);
    connect(m_active, &QCheckBox::clicked, this, &ActivityMaintenanceDialog::markDirty);
    finishLayout();
}

void ActivityMaintenanceDialog::showModal(db::Connection &cnnLink, ActivityLevel level,
                                          const Terms &terms, QWidget *parent)
{
    ActivityMaintenanceDialog dialog(cnnLink, level, terms, parent);
    dialog.exec();
}

void ActivityMaintenanceDialog::fillContacts(db::Connection &cnnLink, const Terms &terms)
{
    m_contact->addItem(tr("(Every %1)").arg(terms.contact), QVariant());
    // Inactive contacts too: an activity may still belong to one.
    for (const ContactRow &row : ContactList(cnnLink).load()) {
        m_contact->addItem(row.active ? row.name : tr("%1 (inactive)").arg(row.name),
                           QVariant(*row.id));
    }
}

QStringList ActivityMaintenanceDialog::loadEntries()
{
    m_rows = m_activities.load();
    QStringList texts;
    for (const ActivityRow &row : m_rows) {
        QString text =
            row.number.isEmpty() ? row.name : row.number + QStringLiteral(" ") + row.name;
        texts << (row.active ? text : tr("%1 (inactive)").arg(text));
    }
    return texts;
}

std::optional<qint32> ActivityMaintenanceDialog::entryId(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_rows.size()))
        return std::nullopt;
    return m_rows[index].id;
}

QString ActivityMaintenanceDialog::entryName(int index) const
{
    return m_rows.at(index).name;
}

void ActivityMaintenanceDialog::showEntry(int index)
{
    const ActivityRow row = index >= 0 ? m_rows.at(index) : ActivityRow{};
    m_showing = true;
    m_name->setText(row.name);
    m_number->setText(row.number);
    m_description->setPlainText(row.description);
    m_showing = false;
    int contact = 0;
    if (row.contactId) {
        contact = m_contact->findData(*row.contactId);
        if (contact < 0) {
            // A contact deleted behind our back: keep the ID rather than lose it.
            m_contact->addItem(tr("(Unknown, ID %1)").arg(*row.contactId),
                               QVariant(*row.contactId));
            contact = m_contact->count() - 1;
        }
    }
    m_contact->setCurrentIndex(contact);
    m_active->setChecked(row.active);
    showRates(row.rates);
}

std::optional<qint32> ActivityMaintenanceDialog::saveEntry(int index)
{
    ActivityRow row;
    if (index >= 0)
        row.id = m_rows.at(index).id;
    row.name = m_name->text();
    row.number = m_number->text();
    row.description = m_description->toPlainText();
    if (const QVariant contact = m_contact->currentData(); contact.isValid())
        row.contactId = contact.toInt();
    row.active = m_active->isChecked();

    QString problem = ActivityList::problem(row);
    if (!problem.isEmpty())
        m_name->setFocus();
    else if (const auto typed = rates(problem))
        row.rates = *typed;
    if (!problem.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), problem);
        return std::nullopt;
    }
    return m_activities.save(row);
}

RemoveOutcome ActivityMaintenanceDialog::removeEntry(qint32 id)
{
    return m_activities.remove(id);
}

} // namespace quorvale
