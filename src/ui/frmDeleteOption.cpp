#include "frmDeleteOption.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quorvale {

frmDeleteOption::frmDeleteOption(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDeleteOption"));
    setWindowTitle(QStringLiteral("What should be deleted?"));
    auto *frame = new QGroupBox(QStringLiteral("Delete Option"), this);
    m_linkOnly = new QRadioButton(QStringLiteral(" Delete li&nk only."), frame);
    m_linkOnly->setObjectName(QStringLiteral("optLinkOnly"));
    m_itemAndLink = new QRadioButton(QStringLiteral(" &Delete item and link."), frame);
    m_itemAndLink->setObjectName(QStringLiteral("optItemAndLink"));
    // The safer choice is the one Enter takes.
    m_linkOnly->setChecked(true);
    auto *options = new QVBoxLayout(frame);
    options->addWidget(m_linkOnly);
    options->addWidget(m_itemAndLink);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(buttons);
}

LinkDeleteOption frmDeleteOption::choice() const
{
    return m_itemAndLink->isChecked() ? LinkDeleteOption::ItemAndLink : LinkDeleteOption::LinkOnly;
}

std::optional<LinkDeleteOption> frmDeleteOption::ask(QWidget *parent)
{
    frmDeleteOption dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

} // namespace quorvale
