#pragma once

#include "data/SortOrders.h"
#include "timecards/ContactList.h"
#include "ui/MaintenanceDialog.h"

#include <vector>

class QCheckBox;
class QLineEdit;

namespace quorvale {

namespace db {
class Connection;
}

// "Manage contacts...": adds, edits and deactivates the contacts, titled with
// the administrator's contact term.
class ContactMaintenanceDialog : public MaintenanceDialog {
    Q_OBJECT

public:
    ContactMaintenanceDialog(db::Connection &cnnLink, const Terms &terms,
                             QWidget *parent = nullptr);

    // Opens the dialog modally on cnnLink.
    static void showModal(db::Connection &cnnLink, const Terms &terms, QWidget *parent = nullptr);

    QLineEdit *nameEdit() const { return m_name; }
    QLineEdit *accountEdit() const { return m_account; }
    QCheckBox *activeBox() const { return m_active; }
    QLineEdit *realizationEdit() const { return m_realization; }

protected:
    QStringList loadEntries() override;
    std::optional<qint32> entryId(int index) const override;
    void showEntry(int index) override;
    std::optional<qint32> saveEntry(int index) override;
    RemoveOutcome removeEntry(qint32 id) override;
    QString entryName(int index) const override;

private:
    ContactList m_contacts;
    std::vector<ContactRow> m_rows;
    QLineEdit *m_name;
    QLineEdit *m_account;
    QCheckBox *m_active;
    QLineEdit *m_realization;
};

} // namespace quorvale
