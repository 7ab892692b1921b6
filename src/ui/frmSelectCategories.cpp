#include "ui/frmSelectCategories.h"

#include "filters/CategoryPicker.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvale {

frmSelectCategories::frmSelectCategories(const QStringList &master, const QString &current,
                                         QWidget *parent)
    : QDialog(parent), m_list(new QListWidget(this)), m_remembered(current), m_text(current)
{
    setWindowTitle(tr("Categories"));
    auto *label = new QLabel(tr("&Categories:"), this);
    label->setBuddy(m_list);
    m_list->setSelectionMode(QAbstractItemView::MultiSelection);
    m_list->addItems(master);
    const QList<bool> chosen = preselectedCategories(master, current);
    for (int i = 0; i < m_list->count(); ++i)
        m_list->item(i)->setSelected(chosen.value(i));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &frmSelectCategories::OKButton_Click);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmSelectCategories::CancelButton_Click);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
}

void frmSelectCategories::OKButton_Click()
{
    QStringList names;
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->isSelected())
            names << m_list->item(i)->text();
    }
    m_text = quorvale::categoryText(names);
    accept();
}

void frmSelectCategories::CancelButton_Click()
{
    m_text = m_remembered;
    reject();
}

std::optional<QString> frmSelectCategories::pick(QWidget *parent, const QStringList &master,
                                                 const QString &current)
{
    frmSelectCategories picker(master, current, parent);
    if (picker.exec() != QDialog::Accepted)
        return std::nullopt;
    return picker.categoryText();
}

} // namespace quorvale
