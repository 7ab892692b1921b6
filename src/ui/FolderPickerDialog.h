#pragma once

#include <QDialog>
#include <QVariantMap>

class QTreeWidget;

namespace quorvale {

// Lets the person choose one folder of the item store. Takes the folders as the
// item-store connection lists them ("folders": maps with entryId, storeId, name,
// storeName, path) and hands back the chosen one's "entryId" and "storeId".
class FolderPickerDialog : public QDialog {
    Q_OBJECT

public:
    explicit FolderPickerDialog(const QVariantMap &values, QWidget *parent = nullptr);

    // Runs the dialog; on OK writes the choice into values and returns true.
    static bool pick(QVariantMap &values, QWidget *parent = nullptr);

    QTreeWidget *folderList() const { return m_list; }
    QVariantMap choice() const;

private:
    QTreeWidget *m_list;
};

} // namespace quorvale
