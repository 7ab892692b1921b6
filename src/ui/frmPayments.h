#pragma once

#include "charges/PaymentEntry.h"
#include "data/SortOrders.h"

#include <QDialog>
#include <functional>
#include <memory>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace quorvale {

class ContactCards;

namespace db {
class Connection;
}
class Prompts;

// What the payment window takes from the running program.
struct PaymentWindowContext {
    qint32 userId = 0;
    Terms terms;
    // The contact maintenance may be opened from the window.
    bool contactManagement = false;
    // The contacts' cards it edits beside the rows; none without the item store.
    std::function<std::unique_ptr<ContactCards>()> contactCards;
};

// "New Payments": records payments received from contacts, one after another,
// as new tblPayments rows. It neither lists nor edits earlier payments. A thin
// layer over PaymentEntry: every change goes there, and the fields show what
// it then holds.
class frmPayments : public QDialog {
    Q_OBJECT

public:
    // Reads the payment methods; throws QvError when they cannot be read.
    frmPayments(db::Connection &cnnLink, PaymentWindowContext context, Prompts &prompts,
                QWidget *parent = nullptr);

    // Opens the window modally; a failure to read the methods is told to the person.
    static void showModal(db::Connection &cnnLink, const PaymentWindowContext &context,
                          Prompts &prompts, QWidget *parent = nullptr);

    const PaymentEntry &entry() const { return m_entry; }

    QLineEdit *contactField() const { return m_contact; }
    QComboBox *invoiceChoice() const { return m_invoice; }
    QToolButton *selectContactButton() const { return m_selectContact; }
    QToolButton *clearContactButton() const { return m_clearContact; }
    QComboBox *methodList() const { return m_method; }
    QDateEdit *dateField() const { return m_date; }
    QLineEdit *amountField() const { return m_amount; }
    QRadioButton *onAccountOption() const { return m_onAccount; }
    QRadioButton *toFundsOption() const { return m_toFunds; }
    QLineEdit *descriptionField() const { return m_description; }
    QWidget *cardPanel() const { return m_cardPanel; }
    QLineEdit *cardNumberField() const { return m_cardNumber; }
    QLineEdit *expirationField() const { return m_expiration; }
    QLineEdit *cardholderField() const { return m_cardholder; }
    QLineEdit *authorizationField() const { return m_authorization; }
    QPushButton *saveAddButton() const { return m_saveAdd; }
    QPushButton *saveExitButton() const { return m_saveExit; }
    QPushButton *exitButton() const { return m_exit; }
    QPushButton *contactManagementButton() const { return m_contactManagement; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build();
    void connectFields();
    void pickContact();
    void fillInvoices();
    void showEntry();
    void showAmount(bool editing);
    void validate();
    bool save();
    void saveAndAdd();
    void openContactManagement();

    db::Connection &m_link;
    PaymentWindowContext m_context;
    Prompts &m_prompts;
    PaymentEntry m_entry;

    QLineEdit *m_contact = nullptr;
    QComboBox *m_invoice = nullptr;
    QToolButton *m_selectContact = nullptr;
    QToolButton *m_clearContact = nullptr;
    QComboBox *m_method = nullptr;
    QDateEdit *m_date = nullptr;
    QLineEdit *m_amount = nullptr;
    QRadioButton *m_onAccount = nullptr;
    QRadioButton *m_toFunds = nullptr;
    QLineEdit *m_description = nullptr;
    QWidget *m_cardPanel = nullptr;
    QLineEdit *m_cardNumber = nullptr;
    QLineEdit *m_expiration = nullptr;
    QLineEdit *m_cardholder = nullptr;
    QLineEdit *m_authorization = nullptr;
    QPushButton *m_saveAdd = nullptr;
    QPushButton *m_saveExit = nullptr;
    QPushButton *m_exit = nullptr;
    QPushButton *m_contactManagement = nullptr;
};

} // namespace quorvale
