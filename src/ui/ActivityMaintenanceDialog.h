#pragma once

#include "data/SortOrders.h"
#include "timecards/ActivityList.h"
#include "ui/MaintenanceDialog.h"

#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace quorvale {

namespace db {
class Connection;
}

// The maintenance of one activity list (Activity 1 or Activity 2), titled
// with the administrator's term for that level.
class ActivityMaintenanceDialog : public MaintenanceDialog {
    Q_OBJECT

public:
    ActivityMaintenanceDialog(db::Connection &cnnLink, ActivityLevel level, const Terms &terms,
                              QWidget *parent = nullptr);

    // Opens the dialog modally on cnnLink.
    static void showModal(db::Connection &cnnLink, ActivityLevel level, const Terms &terms,
                          QWidget *parent = nullptr);

    QLineEdit *nameEdit() const { return m_name; }
    QLineEdit *numberEdit() const { return m_number; }
    QPlainTextEdit *descriptionEdit() const { return m_description; }
    QComboBox *contactBox() const { return m_contact; }
    QCheckBox *activeBox() const { return m_active; }

protected:
    QStringList loadEntries() override;
    std::optional<qint32> entryId(int index) const override;
    void showEntry(int index) override;
    std::optional<qint32> saveEntry(int index) override;
    RemoveOutcome removeEntry(qint32 id) override;
    QString entryName(int index) const override;

private:
    void fillContacts(db::Connection &cnnLink, const Terms &terms);

    ActivityList m_activities;
    std::vector<ActivityRow> m_rows;
    QLineEdit *m_name;
    QLineEdit *m_number;
    QPlainTextEdit *m_description;
    QComboBox *m_contact;
    QCheckBox *m_active;
    bool m_showing = false;
};

} // namespace quorvale
