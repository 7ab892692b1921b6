#pragma once

#include "timecards/ContactList.h"
#include "timecards/RateFields.h"

#include <QDialog>
#include <QStringList>
#include <array>
#include <optional>

class QFormLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace quorvale {

// The frame both list maintenance windows share: the entries on the left, the
// chosen entry's fields and its six rates on the right, New / Save / Delete /
// Close below. Subclasses add their fields to form() and move rows between the
// fields and their list logic; this class keeps track of unsaved edits.
class MaintenanceDialog : public QDialog {
    Q_OBJECT

public:
    QListWidget *list() const { return m_list; }
    QLineEdit *rateEdit(int level) const { return m_rates[level - 1]; }
    QPushButton *newButton() const { return m_new; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *deleteButton() const { return m_delete; }
    QPushButton *closeButton() const { return m_close; }
    // The last outcome, as the line under the fields shows it.
    QString statusText() const;
    bool hasUnsavedEdits() const { return m_dirty; }

    void reject() override;

    // Shows the entry with that key, as reopening the list would.
    void showEntryWithId(qint32 id) { reload(id); }

public Q_SLOTS:
    void newEntry();
    // False when the fields did not pass or the database refused them.
    bool save();
    void deleteEntry();

protected:
    explicit MaintenanceDialog(QWidget *parent);

    QFormLayout *form() const { return m_form; }
    // Lays out the list, the fields added so far, the rates and the buttons,
    // then reloads. Called once by the subclass constructor.
    void finishLayout();
    // Every field the subclass adds reports edits through this.
    void watch(QLineEdit *edit);
    void markDirty();

    std::optional<RateSet> rates(QString &problem) const;
    void showRates(const RateSet &rates);

    // Reloads the rows, returns what the list shows for each.
    virtual QStringList loadEntries() = 0;
    virtual std::optional<qint32> entryId(int index) const = 0;
    // -1: the empty fields of a new entry.
    virtual void showEntry(int index) = 0;
    // Saves the fields as the entry at index (-1: a new one). Returns the key,
    // or nullopt after telling the person why not. Throws QvError from the
    // database.
    virtual std::optional<qint32> saveEntry(int index) = 0;
    virtual RemoveOutcome removeEntry(qint32 id) = 0;
    virtual QString entryName(int index) const = 0;

private:
    void reload(std::optional<qint32> selectId);
    void rowChanged(int row);
    // Unsaved edits are saved, dropped or kept as the person answers; false
    // to stay where they are.
    bool settleEdits();
    void showStatus(const QString &text);
    void setEditing(int index);

    QListWidget *m_list;
    QFormLayout *m_form;
    std::array<QLineEdit *, 6> m_rates{};
    QPushButton *m_new;
    QPushButton *m_save;
    QPushButton *m_delete;
    QPushButton *m_close;
    QLabel *m_status;
    int m_index = -1; // the entry in the fields; -1 a new one
    bool m_dirty = false;
    bool m_loading = false;
};

} // namespace quorvale
