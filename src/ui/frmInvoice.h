#pragma once

#include "charges/BillingOptions.h"
#include "charges/Invoicing.h"

#include <QDialog>
#include <functional>
#include <optional>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace quorvale {

class Prompts;
namespace db {
class Connection;
}

// One client's invoice for a period: choose the client and the period, check
// the lines and totals it will hold, then create it; or void one of the
// client's earlier invoices with a reason. Creating is left to `issue`, which
// writes the document and says what it did.
class frmInvoice : public QDialog {
    Q_OBJECT

public:
    // Creates the invoice for the request; true when one was made.
    using Issue = std::function<bool(const InvoiceRequest &)>;

    frmInvoice(db::Connection &cnnLink, BillingOptions options, QString contactTerm,
               Prompts &prompts, Issue issue, QWidget *parent = nullptr);

    // Starts on that client (the current TimeCard's), when there is one.
    void setClient(qint32 contactId, const QString &name);

    // What OK would invoice now; nothing without a client or with a period
    // that is no period.
    std::optional<InvoiceRequest> request() const;
    const Invoice &preview() const { return m_preview; }

    QTableWidget *lines() const { return m_lines; }
    QComboBox *periodChoice() const { return m_period; }
    QDateEdit *fromDate() const { return m_from; }
    QDateEdit *toDate() const { return m_to; }
    QPushButton *createButton() const { return m_create; }
    QComboBox *earlierInvoices() const { return m_earlier; }
    QLineEdit *voidReason() const { return m_reason; }
    QPushButton *voidButton() const { return m_void; }

    // Voids the invoice chosen in the list of earlier ones for the reason
    // typed, after asking.
    void voidChosen();

private:
    void chooseClient();
    void periodChanged();
    void refresh();
    void fillEarlier();
    void create();

    db::Connection &m_cnn;
    BillingOptions m_options;
    QString m_contactTerm;
    Prompts &m_prompts;
    Issue m_issue;
    qint32 m_contactId = 0;
    Invoice m_preview;

    QLineEdit *m_client = nullptr;
    QComboBox *m_period = nullptr;
    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
    QTableWidget *m_lines = nullptr;
    QLabel *m_totals = nullptr;
    QPushButton *m_create = nullptr;
    QComboBox *m_earlier = nullptr;
    QLineEdit *m_reason = nullptr;
    QPushButton *m_void = nullptr;
};

} // namespace quorvale
