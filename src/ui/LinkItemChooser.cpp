#include "LinkItemChooser.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quorvale {

LinkItemChooser::LinkItemChooser(const QString &title, std::vector<LinkCandidate> candidates,
                                 QWidget *parent)
    : QDialog(parent), m_candidates(std::move(candidates))
{
    setObjectName(QStringLiteral("LinkItemChooser"));
    setWindowTitle(title);
    auto *label = new QLabel(QStringLiteral("&Items to link to the TimeCard:"), this);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("lstItems"));
    m_list->setAccessibleName(QStringLiteral("Items to link"));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setHeaderLabels(
        {QStringLiteral("Subject"), QStringLiteral("Date"), QStringLiteral("Folder")});
    label->setBuddy(m_list);
    const QLocale locale;
    for (std::size_t i = 0; i < m_candidates.size(); ++i) {
        const LinkCandidate &c = m_candidates[i];
        auto *row = new QTreeWidgetItem(
            m_list, {c.subject,
                     c.date.isValid() ? locale.toString(c.date, QLocale::ShortFormat) : QString(),
                     c.folderName});
        row->setData(0, Qt::UserRole, static_cast<qulonglong>(i));
    }
    m_list->header()->resizeSections(QHeaderView::ResizeToContents);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Link"));
    buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this, buttons] {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(!m_list->selectedItems().isEmpty());
    });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(560, 360);
}

std::vector<LinkCandidate> LinkItemChooser::chosen() const
{
    std::vector<LinkCandidate> list;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = m_list->topLevelItem(i);
        if (row->isSelected())
            list.push_back(m_candidates.at(row->data(0, Qt::UserRole).toULongLong()));
    }
    return list;
}

} // namespace quorvale
