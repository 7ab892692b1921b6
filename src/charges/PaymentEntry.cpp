#include "PaymentEntry.h"

#include "platform/core/QvError.h"

namespace quorvale {

QString keepOnly(const QString &text, const char *allowed)
{
    const QString keep = QLatin1String(allowed);
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text)
        if (keep.contains(c))
            kept.append(c);
    return kept;
}

std::optional<Money> parseTypedAmount(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.count(QLatin1Char('.')) > 1 ||
        keepOnly(trimmed, PaymentTexts::AmountCharacters) != trimmed ||
        trimmed == QLatin1String("."))
        return std::nullopt;
    return Money::parse(trimmed);
}

QString typedAmountText(Money amount)
{
    QString text = amount.toString();
    // Four decimals are how the amount is kept, not how anyone types it.
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

PaymentEntry::PaymentEntry(PaymentMethods methods, QDate today)
    : m_methods(std::move(methods)), m_date(today)
{
    if (!m_methods.offered().empty())
        chooseMethod(m_methods.offered().front().ID);
}

const PaymentMethod *PaymentEntry::method() const
{
    return m_methodId ? m_methods.find(*m_methodId) : nullptr;
}

bool PaymentEntry::cardFieldsEnabled() const
{
    const PaymentMethod *m = method();
    return m && m->CreditCard;
}

bool PaymentEntry::authorizationEnabled() const
{
    const PaymentMethod *m = method();
    return m && m->Authorization;
}

void PaymentEntry::chooseMethod(std::optional<qint32> id)
{
    m_methodId = id && m_methods.find(*id) ? id : std::nullopt;
    applyMethod();
}

void PaymentEntry::applyMethod()
{
    const PaymentMethod *m = method();
    if (m_kind == PaymentKind::OnAccount)
        m_description = m ? m->Description : QString();
    if (!cardFieldsEnabled()) {
        m_cardNumber.clear();
        m_expiration.clear();
        m_cardholder.clear();
    }
}

void PaymentEntry::chooseKind(PaymentKind kind)
{
    m_kind = kind;
    if (kind == PaymentKind::ToFunds) {
        m_description = QLatin1String(PaymentTexts::FundDescription);
    } else {
        const PaymentMethod *m = method();
        m_description = m ? m->Description : QString();
    }
}

void PaymentEntry::setCardNumber(const QString &text)
{
    m_cardNumber = keepOnly(text, PaymentTexts::DigitCharacters);
}

void PaymentEntry::setExpiration(const QString &text)
{
    m_expiration = keepOnly(text, PaymentTexts::DigitCharacters);
}

PaymentProblem PaymentEntry::problem() const
{
    if (!m_contact || m_contact->QuorvaleID <= 0)
        return PaymentProblem::NoContact;
    if (!method())
        return PaymentProblem::NoMethod;
    if (!m_date.isValid())
        return PaymentProblem::NoDate;
    const std::optional<Money> entered = amount();
    if (!entered || *entered <= Money())
        return PaymentProblem::NoAmount;
    if (m_description.trimmed().isEmpty())
        return PaymentProblem::NoDescription;
    if (cardFieldsEnabled() &&
        (m_cardNumber.isEmpty() || m_expiration.size() != 4 || m_cardholder.trimmed().isEmpty()))
        return PaymentProblem::CardIncomplete;
    if (authorizationEnabled() && m_authorization.trimmed().isEmpty())
        return PaymentProblem::NoAuthorization;
    return PaymentProblem::None;
}

PaymentRow PaymentEntry::row(qint32 userId) const
{
    if (!canSave())
        throw QvError(ErrorNumber::InvalidCharacter,
                      QStringLiteral("The payment is incomplete and was not saved."),
                      QStringLiteral("frmPayments"));
    // Non-null empty texts: an unused card field is stored as '' rather than null.
    const auto text = [](const QString &s) { return s.isNull() ? QStringLiteral("") : s; };
    const bool funds = m_kind == PaymentKind::ToFunds;
    PaymentRow r;
    r.UserID = userId;
    r.ContactID = m_contact->QuorvaleID;
    r.PaymentAmount = funds ? *amount() : -*amount();
    r.PaymentDate = m_date;
    r.PaymentDescription = funds ? QLatin1String(PaymentTexts::FundDescription) : m_description;
    r.CreditCardNumber = text(m_cardNumber);
    r.CardholdersName = text(m_cardholder);
    r.CCExpirationDate = text(m_expiration);
    // A code typed for an earlier method that needed one does not belong to this one.
    r.AuthorizationCode = text(authorizationEnabled() ? m_authorization : QString());
    r.PaymentMethodID = *m_methodId;
    r.FundContribution = funds;
    if (!funds)
        r.InvoiceID = m_invoiceId;
    return r;
}

void PaymentEntry::prepareNext(QDate today)
{
    m_contact.reset();
    m_invoiceId.reset();
    m_date = today;
    m_amountText = QStringLiteral("0");
    m_cardNumber.clear();
    m_expiration.clear();
    m_cardholder.clear();
    m_authorization.clear();
    applyMethod();
}

} // namespace quorvale
