#include "ui/frmSelectParticipants.h"

#include "filters/ParticipantPicker.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvale {

frmSelectParticipants::frmSelectParticipants(const QStringList &names, QWidget *parent)
    : QDialog(parent), m_list(new QListWidget(this))
{
    setWindowTitle(tr("Participants"));
    auto *label = new QLabel(tr("&Participants:"), this);
    label->setBuddy(m_list);
    m_list->setSelectionMode(QAbstractItemView::MultiSelection);
    m_list->addItems(names);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setEnabled(false);
    // Selection by keyboard (Space) as well as by mouse enables OK.
    connect(m_list, &QListWidget::itemSelectionChanged, this,
            &frmSelectParticipants::lbContacts_Click);
    connect(buttons, &QDialogButtonBox::accepted, this, &frmSelectParticipants::OKButton_Click);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmSelectParticipants::CancelButton_Click);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
}

void frmSelectParticipants::lbContacts_Click()
{
    m_ok->setEnabled(participantsAcceptable(m_list->selectedItems().size()));
}

void frmSelectParticipants::OKButton_Click()
{
    // OK is disabled without a choice, but Enter reaches accepted() regardless.
    QStringList names;
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->isSelected())
            names << m_list->item(i)->text();
    }
    if (!participantsAcceptable(names.size()))
        return;
    m_text = quorvale::participantsText(names);
    accept();
}

void frmSelectParticipants::CancelButton_Click()
{
    reject();
}

std::optional<QString> frmSelectParticipants::pick(QWidget *parent, db::Connection &cnnLink)
{
    frmSelectParticipants picker(activeContactNames(cnnLink), parent);
    if (picker.exec() != QDialog::Accepted)
        return std::nullopt;
    return picker.participantsText();
}

} // namespace quorvale
