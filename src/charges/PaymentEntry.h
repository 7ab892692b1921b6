#pragma once

#include "charges/PaymentMethods.h"
#include "charges/PaymentRow.h"
#include "platform/core/Money.h"
#include "timecards/ContactPicker.h"

#include <QDate>
#include <QString>
#include <optional>

namespace quorvale {

enum class PaymentKind { OnAccount, ToFunds };

// The first rule an entry breaks; None when it can be saved. Nothing is said to
// the person: the save buttons simply stay disabled.
enum class PaymentProblem {
    None,
    NoContact,
    NoMethod,
    NoDate,
    NoAmount, // empty, not a number, or not above zero
    NoDescription,
    CardIncomplete, // card number, a four-digit expiration and the cardholder
    NoAuthorization,
};

namespace PaymentTexts {
inline constexpr const char *FundDescription = "Payment to fund.";
// What each typed field lets through.
inline constexpr const char *AmountCharacters = "1234567890.";
inline constexpr const char *DigitCharacters = "1234567890";
} // namespace PaymentTexts

// text with every character not in allowed removed: what a key filter lets
// through, applied to pasted text as well.
QString keepOnly(const QString &text, const char *allowed);

// An amount as typed: digits with at most one '.', more than zero decimals
// allowed (rounded to the currency's four). nullopt for anything else, signs,
// letters and quotes included.
std::optional<Money> parseTypedAmount(const QString &text);
// The plain typed form of an amount ("100.5" for 100.5000), which parses back
// to the same value.
QString typedAmountText(Money amount);

// One new payment being entered: the choices of the payment window and the
// rules between them. The window shows what this holds and passes on what the
// person does.
class PaymentEntry {
public:
    // Selects the first offered method (when there is one) with its effects.
    PaymentEntry(PaymentMethods methods, QDate today);

    const PaymentMethods &methods() const { return m_methods; }

    // A new contact drops the invoice chosen for the one before.
    void setContact(std::optional<PickedContact> contact)
    {
        m_contact = std::move(contact);
        m_invoiceId.reset();
    }
    // The invoice a payment on account settles; a payment to the client's
    // funds settles none.
    void setInvoice(std::optional<qint32> invoiceId) { m_invoiceId = invoiceId; }
    std::optional<qint32> invoice() const { return m_invoiceId; }
    const std::optional<PickedContact> &contact() const { return m_contact; }

    // A method that is not offered leaves no method chosen.
    void chooseMethod(std::optional<qint32> id);
    const PaymentMethod *method() const;
    void chooseKind(PaymentKind kind);
    PaymentKind kind() const { return m_kind; }

    void setDate(QDate date) { m_date = date; }
    QDate date() const { return m_date; }
    void setAmountText(const QString &text) { m_amountText = text; }
    const QString &amountText() const { return m_amountText; }
    std::optional<Money> amount() const { return parseTypedAmount(m_amountText); }
    void setDescription(const QString &text) { m_description = text; }
    const QString &description() const { return m_description; }

    // The card fields take digits only; what else arrives is dropped.
    void setCardNumber(const QString &text);
    const QString &cardNumber() const { return m_cardNumber; }
    void setExpiration(const QString &text);
    const QString &expiration() const { return m_expiration; }
    void setCardholder(const QString &text) { m_cardholder = text; }
    const QString &cardholder() const { return m_cardholder; }
    void setAuthorizationCode(const QString &text) { m_authorization = text; }
    const QString &authorizationCode() const { return m_authorization; }

    bool cardFieldsEnabled() const;
    bool authorizationEnabled() const;

    PaymentProblem problem() const;
    bool canSave() const { return problem() == PaymentProblem::None; }

    // The row to write for userId. Throws QvError when the entry cannot be saved.
    PaymentRow row(qint32 userId) const;

    // After a payment was saved and another follows: no contact, the method's
    // effects again, today's date, a zero amount and empty card fields.
    void prepareNext(QDate today);

private:
    void applyMethod();

    PaymentMethods m_methods;
    std::optional<qint32> m_methodId; // kept as the id, so that copies stay sound
    std::optional<PickedContact> m_contact;
    std::optional<qint32> m_invoiceId;
    PaymentKind m_kind = PaymentKind::OnAccount;
    QDate m_date;
    QString m_amountText = QStringLiteral("0");
    QString m_description;
    QString m_cardNumber;
    QString m_expiration;
    QString m_cardholder;
    QString m_authorization;
};

} // namespace quorvale
