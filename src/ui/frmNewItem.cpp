#include "ui/frmNewItem.h"

#include "support/Prompts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quorvale {

frmNewItem::frmNewItem(const NewItemDialogSetup &setup, ContactChooser chooser, Prompts &prompts,
                       QWidget *parent)
    : QDialog(parent), m_chooser(std::move(chooser)), m_prompts(prompts)
{
    setWindowTitle(setup.caption);
    auto *layout = new QVBoxLayout(this);

    m_timeCard = new QRadioButton(tr(" Link to &current TimeCard"), this);
    m_timeCard->setObjectName(QStringLiteral("optTimeCard"));
    m_timeCard->setEnabled(setup.timeCardAvailable);
    layout->addWidget(m_timeCard);

    m_contactOnly = new QRadioButton(tr(" Link to &selected contact only"), this);
    m_contactOnly->setObjectName(QStringLiteral("optContact"));
    layout->addWidget(m_contactOnly);
    auto *contactRow = new QHBoxLayout;
    m_contact = new QLineEdit(this);
    m_contact->setObjectName(QStringLiteral("txtContact"));
    m_contact->setReadOnly(true);
    m_contact->setAccessibleName(setup.contactTerm);
    m_choose = new QPushButton(tr("C&hoose %1...").arg(setup.contactTerm), this);
    m_choose->setObjectName(QStringLiteral("cmdChooseContact"));
    contactRow->addSpacing(20);
    contactRow->addWidget(m_contact, 1);
    contactRow->addWidget(m_choose);
    layout->addLayout(contactRow);
    m_contactOnly->setVisible(setup.contactOption);
    m_contact->setVisible(setup.contactOption);
    m_choose->setVisible(setup.contactOption);

    m_none = new QRadioButton(tr(" &No link"), this);
    m_none->setObjectName(QStringLiteral("optNoLink"));
    layout->addWidget(m_none);

    if (setup.taskTypes) {
        auto *form = new QFormLayout;
        m_types = new QComboBox(this);
        m_types->setObjectName(QStringLiteral("cboTaskType"));
        m_types->addItems({tr("1 - Normal, using task item defaults"), tr("2 - AutoTask"),
                           tr("3 - Return call FROM the contact"),
                           tr("4 - Place call TO the contact")});
        auto *label = new QLabel(tr("Task &type:"), this);
        label->setBuddy(m_types);
        form->addRow(label, m_types);
        layout->addLayout(form);
    }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &frmNewItem::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmNewItem::reject);
    connect(m_choose, &QPushButton::clicked, this, [this] { chooseContact(); });
    for (QRadioButton *button : {m_timeCard, m_contactOnly, m_none})
        connect(button, &QRadioButton::toggled, this, [this] { modeChanged(); });

    (setup.timeCardAvailable ? m_timeCard : m_none)->setChecked(true);
    modeChanged();
}

QRadioButton *frmNewItem::modeButton(LinkMode mode) const
{
    switch (mode) {
    case LinkMode::TimeCard:
        return m_timeCard;
    case LinkMode::Contact:
        return m_contactOnly;
    case LinkMode::None:
        break;
    }
    return m_none;
}

NewItemChoice frmNewItem::choice() const
{
    NewItemChoice c;
    c.mode = m_timeCard->isChecked()      ? LinkMode::TimeCard
             : m_contactOnly->isChecked() ? LinkMode::Contact
                                          : LinkMode::None;
    if (c.mode == LinkMode::Contact) {
        c.contactId = m_contactId;
        c.contactName = m_contact->text();
    }
    if (m_types)
        c.taskType = static_cast<TaskType>(m_types->currentIndex());
    return c;
}

void frmNewItem::accept()
{
    if (m_contactOnly->isChecked() && m_contactId == 0) {
        m_prompts.messageBox(tr("Contact Required"),
                             tr("Please select a contact before proceeding"), PromptButtons::Ok,
                             PromptIcon::Information);
        m_choose->setFocus();
        return;
    }
    QDialog::accept();
}

void frmNewItem::modeChanged()
{
    const bool contact = m_contactOnly->isChecked();
    m_contact->setEnabled(contact);
    m_choose->setEnabled(contact);
}

void frmNewItem::chooseContact()
{
    if (!m_chooser)
        return;
    if (const auto picked = m_chooser()) {
        m_contactId = picked->first;
        m_contact->setText(picked->second);
    }
}

} // namespace quorvale
