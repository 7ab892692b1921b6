#pragma once

#include "timecards/ContactPicker.h"

#include <QDialog>
#include <QFutureWatcher>
#include <atomic>
#include <memory>
#include <optional>

class QLineEdit;
class QTableView;
class QLabel;

namespace quorvale {

namespace db {
class Connection;
}

class ContactListModel;

// The contact picker every window uses: a search field over the active
// contacts and the list of those that match. Typing narrows the list, the
// arrow keys move in it without leaving the field, Enter takes the selected
// contact (the first match unless another was chosen), Escape takes none.
//
// A long list opens on its first rows; the rest is read meanwhile on a thread of
// its own, over a connection of its own to the same database, and fills the list
// in when it comes without moving the choice. Enter before then waits for it.
class ContactPickerDialog : public QDialog {
    Q_OBJECT

public:
    // Reads the contacts; throws QvError when they cannot be read. contactTerm
    // is the administrator's name for a contact.
    ContactPickerDialog(db::Connection &cnnLink, const QString &contactTerm,
                        QWidget *parent = nullptr);
    ~ContactPickerDialog() override;

    // `OpenItemList`: runs the picker; the chosen contact, or nullopt when none
    // was chosen.
    static std::optional<PickedContact> OpenItemList(QWidget *parent, db::Connection &cnnLink,
                                                     const QString &contactTerm = {});

    QLineEdit *searchField() const { return m_search; }
    // Whether the whole list is in (a short list is at once).
    bool complete() const { return m_picker.complete(); }
    // Waits for the rest of the list and puts it in (tests, and Enter).
    void waitForTheRest();
    QTableView *contactList() const { return m_list; }
    // The contact the list's selection stands for now.
    std::optional<PickedContact> selected() const;
    std::optional<PickedContact> chosen() const { return m_chosen; }

    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The rest of the list as the reading thread hands it over, or what stopped it.
    struct Rest {
        std::vector<PickerContactRow> rows;
        QString failure;
    };

    void readTheRest(db::Connection &cnnLink);
    void restArrived();
    void typed(const QString &text);
    void showCount();
    void selectRow(int row);
    void selectContact(qint32 id);

    ContactPicker m_picker;
    bool m_reading = false; // the rest is being read and not yet taken
    std::atomic<bool> m_stopReading{false};
    QFutureWatcher<Rest> m_rest;
    QString m_restFailure;
    std::unique_ptr<ContactListModel> m_model;
    QLineEdit *m_search;
    QTableView *m_list;
    QLabel *m_count;
    std::optional<PickedContact> m_chosen;
};

} // namespace quorvale
