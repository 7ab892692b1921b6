#include "frmUpdatePrompt.h"

#include "timecards/UpdatePrompt.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvale {

frmUpdatePrompt::frmUpdatePrompt(const QVariantMap &values, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QLatin1String(UpdatePromptText::Title));
    auto *layout = new QVBoxLayout(this);
    for (const char *text :
         {UpdatePromptText::Affects, UpdatePromptText::Question, UpdatePromptText::Proceed}) {
        auto *label = new QLabel(QLatin1String(text), this);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    m_subject = new QCheckBox(QLatin1String(UpdatePromptText::ModifySubject), this);
    m_subject->setChecked(values.value(QLatin1String(ModifySubjectKey)).toBool());
    m_body = new QCheckBox(QLatin1String(UpdatePromptText::ModifyBody), this);
    m_body->setChecked(values.value(QLatin1String(ModifyBodyKey)).toBool());
    layout->addWidget(m_subject);
    layout->addWidget(m_body);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QLatin1String(UpdatePromptText::Cancel));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // The texts above say what the ticks are for; a screen reader reads them
    // as the window's description.
    setAccessibleDescription(QLatin1String(UpdatePromptText::Affects) + QLatin1Char(' ') +
                             QLatin1String(UpdatePromptText::Question));
    setTabOrder(m_subject, m_body);
    setTabOrder(m_body, buttons);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    m_subject->setFocus();
}

bool frmUpdatePrompt::UpdatePromptDialog(QVariantMap &values, QWidget *parent)
{
    frmUpdatePrompt prompt(values, parent);
    if (prompt.exec() != QDialog::Accepted)
        return false;
    values.insert(QLatin1String(ModifySubjectKey), prompt.subjectOption()->isChecked());
    values.insert(QLatin1String(ModifyBodyKey), prompt.bodyOption()->isChecked());
    return true;
}

} // namespace quorvale
