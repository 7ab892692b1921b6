#pragma once

#include "data/SortOrders.h"
#include "outlook/ContactCards.h"
#include "timecards/ContactList.h"
#include "ui/MaintenanceDialog.h"

#include <QHash>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace quorvale {

namespace db {
class Connection;
}

// "Manage contacts...": adds, edits and deactivates the contacts, titled with
// the administrator's contact term. With an item store, each contact's card
// (name, company, e-mail, telephones, address) is edited beside its row.
class ContactMaintenanceDialog : public MaintenanceDialog {
    Q_OBJECT

public:
    // cards: none when the item store cannot be reached; the card fields are
    // then not shown.
    ContactMaintenanceDialog(db::Connection &cnnLink, const Terms &terms, ContactCards *cards,
                             QWidget *parent = nullptr);

    // Opens the dialog modally on cnnLink.
    static void showModal(db::Connection &cnnLink, const Terms &terms, ContactCards *cards,
                          QWidget *parent = nullptr);

    QLineEdit *nameEdit() const { return m_name; }
    QLineEdit *accountEdit() const { return m_account; }
    QCheckBox *activeBox() const { return m_active; }
    QLineEdit *realizationEdit() const { return m_realization; }
    QComboBox *incrementChoice() const { return m_increment; }
    QComboBox *roundingChoice() const { return m_direction; }
    // The card's fields by their names in ContactCardFields ("email", "city" ...).
    QLineEdit *cardEdit(const QString &name) const { return m_card.value(name); }
    QLabel *cardNote() const { return m_cardNote; }

protected:
    QStringList loadEntries() override;
    std::optional<qint32> entryId(int index) const override;
    void showEntry(int index) override;
    std::optional<qint32> saveEntry(int index) override;
    RemoveOutcome removeEntry(qint32 id) override;
    QString entryName(int index) const override;

private:
    void buildCardFields();
    ContactCardFields typedCard() const;
    void showCard(const ContactCardFields &fields);

    ContactList m_contacts;
    ContactCards *m_cards;
    QHash<QString, QLineEdit *> m_card;
    QLabel *m_cardNote = nullptr;
    ContactCards::Card m_shownCard;
    std::vector<ContactRow> m_rows;
    QLineEdit *m_name;
    QLineEdit *m_account;
    QCheckBox *m_active;
    QComboBox *m_increment = nullptr;
    QComboBox *m_direction = nullptr;
    QLineEdit *m_realization;
};

} // namespace quorvale
