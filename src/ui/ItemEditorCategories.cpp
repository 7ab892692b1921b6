#include "ui/ItemEditorCategories.h"

#include "platform/core/QvError.h"
#include "platform/pim/Namespace.h"

#include <QDebug>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvale {

namespace {

bool containsName(const QStringList &list, const QString &name)
{
    return list.contains(name, Qt::CaseInsensitive);
}

} // namespace

QStringList splitCategories(const QString &text)
{
    QStringList list;
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = part.trimmed();
        if (!name.isEmpty() && !containsName(list, name))
            list << name;
    }
    return list;
}

ItemEditorCategoriesDialog::ItemEditorCategoriesDialog(const QStringList &masterList,
                                                       const QStringList &checked, QWidget *parent)
    : QDialog(parent), m_list(new QListWidget(this)), m_newName(new QLineEdit(this)),
      m_master(masterList)
{
    setWindowTitle(tr("Categories"));
    auto *listLabel = new QLabel(tr("&Available categories:"), this);
    listLabel->setBuddy(m_list);
    auto *newLabel = new QLabel(tr("&New category:"), this);
    newLabel->setBuddy(m_newName);
    auto *add = new QPushButton(tr("A&dd to List"), this);
    add->setAutoDefault(false);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    // The item's own categories show even when the master list lacks them.
    QStringList names = masterList;
    for (const QString &name : checked) {
        if (!containsName(names, name))
            names << name;
    }
    for (const QString &name : std::as_const(names)) {
        auto *row = new QListWidgetItem(name, m_list);
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        row->setCheckState(containsName(checked, name) ? Qt::Checked : Qt::Unchecked);
    }

    auto *newRow = new QHBoxLayout;
    newRow->addWidget(newLabel);
    newRow->addWidget(m_newName, 1);
    newRow->addWidget(add);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(newRow);
    layout->addWidget(listLabel);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);

    connect(add, &QPushButton::clicked, this, &ItemEditorCategoriesDialog::addTyped);
    connect(buttons, &QDialogButtonBox::accepted, this, &ItemEditorCategoriesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ItemEditorCategoriesDialog::reject);
}

void ItemEditorCategoriesDialog::addTyped()
{
    const QString name = m_newName->text().trimmed();
    m_newName->clear();
    if (name.isEmpty() || name.contains(QLatin1Char(',')))
        return;
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->text().compare(name, Qt::CaseInsensitive) == 0) {
            m_list->item(i)->setCheckState(Qt::Checked);
            return;
        }
    }
    auto *row = new QListWidgetItem(name, m_list);
    row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    row->setCheckState(Qt::Checked);
    m_list->scrollToItem(row);
    if (!containsName(m_master, name) && !containsName(m_added, name))
        m_added << name;
}

void ItemEditorCategoriesDialog::accept()
{
    // A name typed but not yet added is meant to be used.
    addTyped();
    QDialog::accept();
}

QStringList ItemEditorCategoriesDialog::checked() const
{
    QStringList list;
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->checkState() == Qt::Checked)
            list << m_list->item(i)->text();
    }
    return list;
}

ItemEditorCategoriesBox::ItemEditorCategoriesBox(pim::Namespace *ns, QWidget *parent)
    : QWidget(parent), m_ns(ns), m_edit(new QLineEdit(this)),
      m_choose(new QPushButton(tr("Categor&ies..."), this))
{
    m_choose->setAutoDefault(false);
    setFocusProxy(m_edit);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_choose);
    connect(m_choose, &QPushButton::clicked, this, &ItemEditorCategoriesBox::choose);
}

QString ItemEditorCategoriesBox::text() const
{
    return m_edit->text();
}

void ItemEditorCategoriesBox::setText(const QString &text)
{
    m_edit->setText(text);
}

void ItemEditorCategoriesBox::choose()
{
    const QStringList master = m_ns ? m_ns->categories() : QStringList();
    ItemEditorCategoriesDialog dialog(master, splitCategories(m_edit->text()), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (m_ns) {
        // The item gets its categories whether or not the master list can be
        // written; the list is only a convenience for choosing.
        try {
            for (const QString &name : dialog.added())
                m_ns->addCategory(name);
        } catch (const QvError &error) {
            qWarning().noquote() << "The category list could not be saved:" << error.description();
        }
    }
    const QString text = dialog.checked().join(QStringLiteral(", "));
    if (text != m_edit->text())
        m_edit->setText(text);
}

} // namespace quorvale
