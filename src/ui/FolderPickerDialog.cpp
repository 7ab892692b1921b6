#include "FolderPickerDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quorvale {

namespace {

constexpr int EntryIdRole = Qt::UserRole;
constexpr int StoreIdRole = Qt::UserRole + 1;

} // namespace

FolderPickerDialog::FolderPickerDialog(const QVariantMap &values, QWidget *parent)
    : QDialog(parent), m_list(new QTreeWidget(this))
{
    setWindowTitle(QStringLiteral("Select Folder"));
    auto *label = new QLabel(QStringLiteral("&Folders:"), this);
    label->setBuddy(m_list);
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("Folder"), QStringLiteral("Location")});
    m_list->setRootIsDecorated(true);
    m_list->setAccessibleName(QStringLiteral("Folders"));
    m_list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

    // One branch per store, its folders below it.
    QHash<QString, QTreeWidgetItem *> stores;
    for (const QVariant &v : values.value(QStringLiteral("folders")).toList()) {
        const QVariantMap folder = v.toMap();
        const QString storeId = folder.value(QStringLiteral("storeId")).toString();
        QTreeWidgetItem *store = stores.value(storeId);
        if (!store) {
            store =
                new QTreeWidgetItem(m_list, {folder.value(QStringLiteral("storeName")).toString()});
            store->setFlags(Qt::ItemIsEnabled);
            store->setExpanded(true);
            stores.insert(storeId, store);
        }
        auto *item = new QTreeWidgetItem(store, {folder.value(QStringLiteral("name")).toString(),
                                                 folder.value(QStringLiteral("path")).toString()});
        item->setData(0, EntryIdRole, folder.value(QStringLiteral("entryId")));
        item->setData(0, StoreIdRole, storeId);
    }
    m_list->expandAll();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(false);
    connect(m_list, &QTreeWidget::currentItemChanged, this, [ok](QTreeWidgetItem *current) {
        ok->setEnabled(current && current->data(0, EntryIdRole).isValid());
    });
    connect(m_list, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        if (item->data(0, EntryIdRole).isValid())
            accept();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(520, 360);
}

QVariantMap FolderPickerDialog::choice() const
{
    const QTreeWidgetItem *item = m_list->currentItem();
    if (!item || !item->data(0, EntryIdRole).isValid())
        return {};
    return {{QStringLiteral("entryId"), item->data(0, EntryIdRole)},
            {QStringLiteral("storeId"), item->data(0, StoreIdRole)}};
}

bool FolderPickerDialog::pick(QVariantMap &values, QWidget *parent)
{
    FolderPickerDialog dialog(values, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QVariantMap chosen = dialog.choice();
    if (chosen.isEmpty())
        return false;
    values.insert(chosen);
    return true;
}

} // namespace quorvale
