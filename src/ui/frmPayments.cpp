#include "frmPayments.h"

#include "charges/Invoicing.h"
#include "charges/PaymentRecorder.h"
#include "platform/core/QvError.h"
#include "support/Prompts.h"
#include "support/Trace.h"
#include "timecards/RateChoices.h"
#include "ui/ContactMaintenanceDialog.h"
#include "ui/ContactPickerDialog.h"
#include "ui/PointerScope.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace quorvale {

namespace {

constexpr const char *Title = " Quorvale for Outlook:  New Payments";

QLineEdit *lineEdit(const char *name, int maxLength, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    // The column's width: a longer text could not be stored whole.
    edit->setMaxLength(maxLength);
    return edit;
}

// Drops what a field does not take, typed or pasted, keeping the cursor where
// the person was typing.
void filterTyped(QLineEdit *edit, const QString &text, const char *allowed)
{
    const QString kept = keepOnly(text, allowed);
    if (kept == text)
        return;
    const int cursor = edit->cursorPosition() - static_cast<int>(text.size() - kept.size());
    edit->setText(kept);
    edit->setCursorPosition(std::max(0, cursor));
}

void showText(QLineEdit *edit, const QString &text)
{
    if (edit->text() != text)
        edit->setText(text);
}

} // namespace

frmPayments::frmPayments(db::Connection &cnnLink, PaymentWindowContext context, Prompts &prompts,
                         QWidget *parent)
    : QDialog(parent), m_link(cnnLink), m_context(std::move(context)), m_prompts(prompts),
      m_entry(PaymentMethods::load(cnnLink), QDate::currentDate())
{
    setObjectName(QStringLiteral("frmPayments"));
    setWindowTitle(QLatin1String(Title));
    build();
    connectFields();
    fillInvoices();
    showEntry();
}

void frmPayments::build()
{
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    layout->addLayout(form);
    auto row = [&](const char *caption, QWidget *field, QLayout *fieldLayout = nullptr) {
        auto *label = new QLabel(QLatin1String(caption), this);
        label->setBuddy(field);
        if (fieldLayout)
            form->addRow(label, fieldLayout);
        else
            form->addRow(label, field);
    };

    m_contact = new QLineEdit(this);
    m_contact->setObjectName(QStringLiteral("txtContact"));
    m_contact->setReadOnly(true);
    m_selectContact = new QToolButton(this);
    m_selectContact->setObjectName(QStringLiteral("cmdSelectContact"));
    m_selectContact->setText(QStringLiteral("..."));
    m_selectContact->setToolTip(tr("Click to select contact."));
    m_selectContact->setAccessibleName(tr("Click to select contact."));
    m_clearContact = new QToolButton(this);
    m_clearContact->setObjectName(QStringLiteral("cmdClearContact"));
    m_clearContact->setText(QStringLiteral("X"));
    m_clearContact->setToolTip(tr("Clear contact selection."));
    m_clearContact->setAccessibleName(tr("Clear contact selection."));
    auto *contactRow = new QHBoxLayout;
    contactRow->addWidget(m_contact, 1);
    contactRow->addWidget(m_selectContact);
    contactRow->addWidget(m_clearContact);
    row("Select Contact:", m_contact, contactRow);

    m_method = new QComboBox(this);
    m_method->setObjectName(QStringLiteral("cboPaymentType"));
    for (const PaymentMethod &method : m_entry.methods().offered())
        m_method->addItem(method.Method, method.ID);
    row("Payment Method:", m_method);

    m_date = new QDateEdit(this);
    m_date->setObjectName(QStringLiteral("dtmPaymentDate"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    row("Payment Date:", m_date);

    m_amount = new QLineEdit(this);
    m_amount->setObjectName(QStringLiteral("txtPaymentAmount"));
    m_amount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_amount->installEventFilter(this);
    row("Payment Amount:", m_amount);

    auto *kind = new QGroupBox(this);
    kind->setAccessibleName(tr("Payment kind"));
    auto *kindLayout = new QHBoxLayout(kind);
    m_onAccount = new QRadioButton(tr("&Payment on account"), kind);
    m_onAccount->setObjectName(QStringLiteral("optAccount"));
    m_toFunds = new QRadioButton(tr("Payment to client &funds"), kind);
    m_toFunds->setObjectName(QStringLiteral("optFunds"));
    kindLayout->addWidget(m_onAccount);
    kindLayout->addWidget(m_toFunds);
    form->addRow(kind);

    m_invoice = new QComboBox(this);
    m_invoice->setObjectName(QStringLiteral("cboInvoice"));
    row("&Invoice:", m_invoice);

    m_description = lineEdit("txtDescription", 255, this);
    row("Payment Description:", m_description);

    m_cardPanel = new QGroupBox(this);
    m_cardPanel->setObjectName(QStringLiteral("fraCreditCard"));
    m_cardPanel->setAccessibleName(tr("Credit card"));
    auto *card = new QFormLayout(m_cardPanel);
    auto cardRow = [&](const char *caption, QLineEdit *field) {
        auto *label = new QLabel(QLatin1String(caption), m_cardPanel);
        label->setBuddy(field);
        card->addRow(label, field);
    };
    m_cardNumber = lineEdit("txtCardNumber", 50, m_cardPanel);
    cardRow("Credit Card Number:", m_cardNumber);
    m_expiration = lineEdit("txtExpiration", 4, m_cardPanel);
    cardRow("Expiration Date (MMYY):", m_expiration);
    m_cardholder = lineEdit("txtCardholder", 255, m_cardPanel);
    cardRow("Cardholder's Name:", m_cardholder);
    form->addRow(m_cardPanel);

    m_authorization = lineEdit("txtAuthorization", 50, this);
    row("Authorization Code:", m_authorization);

    auto *buttons = new QHBoxLayout;
    m_saveAdd = new QPushButton(tr("Save && &Add"), this);
    m_saveAdd->setObjectName(QStringLiteral("Command1_0"));
    m_saveExit = new QPushButton(tr("&Save && Exit"), this);
    m_saveExit->setObjectName(QStringLiteral("Command1_1"));
    m_exit = new QPushButton(tr("&Exit"), this);
    m_exit->setObjectName(QStringLiteral("Command1_2"));
    m_contactManagement = new QPushButton(tr("&Contact Management"), this);
    m_contactManagement->setObjectName(QStringLiteral("Command1_3"));
    for (QPushButton *button : {m_saveAdd, m_saveExit, m_exit, m_contactManagement}) {
        // Enter in a field must not save a payment by surprise.
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);

    const QList<QWidget *> order{m_contact,    m_selectContact,    m_clearContact, m_method,
                                 m_date,       m_amount,           m_onAccount,    m_toFunds,
                                 m_invoice,    m_description,      m_cardNumber,   m_expiration,
                                 m_cardholder, m_authorization,    m_saveAdd,      m_saveExit,
                                 m_exit,       m_contactManagement};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void frmPayments::connectFields()
{
    connect(m_selectContact, &QToolButton::clicked, this, &frmPayments::pickContact);
    connect(m_clearContact, &QToolButton::clicked, this, [this] {
        m_entry.setContact(std::nullopt);
        fillInvoices();
        showEntry();
    });
    connect(m_invoice, &QComboBox::currentIndexChanged, this, [this](int index) {
        const int number = index < 0 ? 0 : m_invoice->itemData(index).toInt();
        m_entry.setInvoice(number > 0 ? std::optional<qint32>(number) : std::nullopt);
    });
    connect(m_method, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_entry.chooseMethod(index < 0 ? std::nullopt
                                       : std::optional<qint32>(m_method->itemData(index).toInt()));
        showEntry();
    });
    connect(m_onAccount, &QRadioButton::clicked, this, [this] {
        m_entry.chooseKind(PaymentKind::OnAccount);
        showEntry();
    });
    connect(m_toFunds, &QRadioButton::clicked, this, [this] {
        m_entry.chooseKind(PaymentKind::ToFunds);
        showEntry();
    });
    connect(m_date, &QDateEdit::dateChanged, this, [this](QDate date) {
        m_entry.setDate(date);
        validate();
    });
    connect(m_amount, &QLineEdit::textEdited, this, [this](const QString &text) {
        filterTyped(m_amount, text, PaymentTexts::AmountCharacters);
        m_entry.setAmountText(m_amount->text());
        validate();
    });
    connect(m_amount, &QLineEdit::editingFinished, this, [this] { showAmount(false); });
    connect(m_description, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_entry.setDescription(text);
        validate();
    });
    connect(m_cardNumber, &QLineEdit::textEdited, this, [this](const QString &text) {
        filterTyped(m_cardNumber, text, PaymentTexts::DigitCharacters);
        m_entry.setCardNumber(m_cardNumber->text());
        validate();
    });
    connect(m_expiration, &QLineEdit::textEdited, this, [this](const QString &text) {
        filterTyped(m_expiration, text, PaymentTexts::DigitCharacters);
        m_entry.setExpiration(m_expiration->text());
        validate();
    });
    connect(m_cardholder, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_entry.setCardholder(text);
        validate();
    });
    connect(m_authorization, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_entry.setAuthorizationCode(text);
        validate();
    });
    connect(m_saveAdd, &QPushButton::clicked, this, &frmPayments::saveAndAdd);
    connect(m_saveExit, &QPushButton::clicked, this, [this] {
        if (save())
            accept();
    });
    connect(m_exit, &QPushButton::clicked, this, &frmPayments::reject);
    connect(m_contactManagement, &QPushButton::clicked, this, &frmPayments::openContactManagement);
}

bool frmPayments::eventFilter(QObject *watched, QEvent *event)
{
    // The amount is typed plain and shown as currency once it is left.
    if (watched == m_amount && event->type() == QEvent::FocusIn)
        showAmount(true);
    return QDialog::eventFilter(watched, event);
}

void frmPayments::showAmount(bool editing)
{
    const std::optional<Money> amount = m_entry.amount();
    if (!amount)
        showText(m_amount, m_entry.amountText());
    else if (editing)
        showText(m_amount, typedAmountText(*amount));
    else
        showText(m_amount, currencyText(*amount));
}

void frmPayments::showEntry()
{
    const std::optional<PickedContact> &contact = m_entry.contact();
    m_contact->setText(contact ? contact->ContactName : QString());
    {
        const QSignalBlocker blocker(m_method);
        const PaymentMethod *method = m_entry.method();
        m_method->setCurrentIndex(method ? m_method->findData(method->ID) : -1);
    }
    {
        const QSignalBlocker blocker(m_date);
        m_date->setDate(m_entry.date());
    }
    showAmount(m_amount->hasFocus());
    m_onAccount->setChecked(m_entry.kind() == PaymentKind::OnAccount);
    m_toFunds->setChecked(m_entry.kind() == PaymentKind::ToFunds);
    showText(m_description, m_entry.description());
    m_invoice->setEnabled(m_entry.kind() == PaymentKind::OnAccount && m_invoice->count() > 1);

    const bool card = m_entry.cardFieldsEnabled();
    m_cardPanel->setVisible(card);
    for (QLineEdit *field : {m_cardNumber, m_expiration, m_cardholder})
        field->setEnabled(card);
    showText(m_cardNumber, m_entry.cardNumber());
    showText(m_expiration, m_entry.expiration());
    showText(m_cardholder, m_entry.cardholder());
    m_authorization->setEnabled(m_entry.authorizationEnabled());
    showText(m_authorization, m_entry.authorizationCode());
    validate();
}

void frmPayments::validate()
{
    const bool complete = m_entry.canSave();
    m_saveAdd->setEnabled(complete);
    m_saveExit->setEnabled(complete);
    m_contactManagement->setEnabled(m_context.contactManagement && m_entry.contact().has_value());
}

void frmPayments::fillInvoices()
{
    const QSignalBlocker blocker(m_invoice);
    m_invoice->clear();
    m_invoice->addItem(tr("None: on account"), 0);
    if (const std::optional<PickedContact> &contact = m_entry.contact())
        for (const InvoiceSummary &invoice : invoicesOf(m_link, contact->QuorvaleID))
            if (invoice.balanceDue() > Money())
                m_invoice->addItem(invoiceLabel(invoice), invoice.number);
    const int chosen = m_entry.invoice() ? m_invoice->findData(*m_entry.invoice()) : 0;
    m_invoice->setCurrentIndex(chosen < 0 ? 0 : chosen);
}

void frmPayments::pickContact()
{
    try {
        std::optional<PickedContact> picked =
            ContactPickerDialog::OpenItemList(this, m_link, m_context.terms.contact);
        // Closing the picker without a choice keeps the contact there was.
        if (picked) {
            m_entry.setContact(std::move(picked));
            fillInvoices();
        }
    } catch (const QvError &error) {
        m_prompts.messageBox(QLatin1String(Title), error.description(), PromptButtons::Ok,
                             PromptIcon::Critical);
    }
    showEntry();
    if (m_entry.contact())
        m_amount->setFocus();
}

bool frmPayments::save()
{
    if (!m_entry.canSave())
        return false;
    try {
        ProcessPayment(m_link, m_entry.row(m_context.userId));
        return true;
    } catch (const QvError &error) {
        // The entry stays as it is, so the person can try again or note it down.
        m_prompts.messageBox(QLatin1String(Title), error.description(), PromptButtons::Ok,
                             PromptIcon::Critical);
        return false;
    }
}

void frmPayments::saveAndAdd()
{
    if (!save())
        return;
    m_entry.prepareNext(QDate::currentDate());
    fillInvoices();
    showEntry();
    m_contact->setFocus();
    pickContact();
}

void frmPayments::openContactManagement()
{
    std::unique_ptr<ContactCards> cards;
    std::unique_ptr<ContactMaintenanceDialog> dialog;
    try {
        const PointerScope busy(Qt::WaitCursor);
        if (m_context.contactCards)
            cards = m_context.contactCards();
        dialog =
            std::make_unique<ContactMaintenanceDialog>(m_link, m_context.terms, cards.get(), this);
        // The contact being paid for is the one to look at.
        if (const std::optional<PickedContact> &chosen = m_entry.contact())
            dialog->showEntryWithId(chosen->QuorvaleID);
    } catch (const QvError &error) {
        m_prompts.messageBox(QLatin1String(Title), error.description(), PromptButtons::Ok,
                             PromptIcon::Critical);
        return;
    }
    dialog->exec();
}

void frmPayments::showModal(db::Connection &cnnLink, const PaymentWindowContext &context,
                            Prompts &prompts, QWidget *parent)
{
    // A window that cannot read its lists does not open; the command's error
    // handler reports why.
    std::unique_ptr<frmPayments> window;
    {
        const TraceScope trace(u"frmPayments: Form_Load");
        window = std::make_unique<frmPayments>(cnnLink, context, prompts, parent);
    }
    const PointerScope arrow(Qt::ArrowCursor);
    window->exec();
}

} // namespace quorvale
