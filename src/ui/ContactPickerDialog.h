#pragma once

#include "timecards/ContactPicker.h"

#include <QDialog>
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
    QTableView *contactList() const { return m_list; }
    // The contact the list's selection stands for now.
    std::optional<PickedContact> selected() const;
    std::optional<PickedContact> chosen() const { return m_chosen; }

    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void typed(const QString &text);
    void selectRow(int row);

    ContactPicker m_picker;
    std::unique_ptr<ContactListModel> m_model;
    QLineEdit *m_search;
    QTableView *m_list;
    QLabel *m_count;
    std::optional<PickedContact> m_chosen;
};

} // namespace quorvale
