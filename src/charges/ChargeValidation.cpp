#include "ChargeValidation.h"

#include "charges/ChargeRecord.h"

#include <limits>

namespace quorvale {

namespace {

bool positive(const QString &text, const QLocale &locale)
{
    const std::optional<Money> n = chargeNumber(text, locale);
    return n && *n > Money();
}

// The quantity is stored as a 32-bit whole number; more would wrap into nonsense.
bool storableQuantity(const QString &text, const QLocale &locale)
{
    const std::optional<Money> n = chargeNumber(text, locale);
    return n && *n < Money::fromWhole(std::numeric_limits<qint32>::max());
}

} // namespace

int ValidateRecord(const ChargeRecord &r, ChargeKind kind, const ChargeRules &rules,
                   bool standalone, const QLocale &locale)
{
    using namespace ChargeError;
    if (standalone) {
        if (rules.contactInUse && rules.contactRequired && r.contactName.isEmpty())
            return Contact;
        if (rules.activity1InUse && rules.activity1Required && r.activity1Id == 0)
            return Activity1;
        if (rules.activity2InUse && rules.activity2Required && r.activity2Id == 0)
            return Activity2;
        if (!rules.jobOrderTerm.isEmpty() && rules.jobOrderRequired && r.jobOrder.isEmpty())
            return JobOrder;
    }
    if (r.codeId == 0 || r.codeId == NoChargeCode)
        return Type;
    if (!r.startDate.isValid())
        return StartDate;
    const bool expense = kind == ChargeKind::Expense;
    if (expense && !r.endDate.isValid())
        return EndDate;
    if (r.description.isEmpty())
        return Description;
    if (!positive(r.quantityText, locale) || !storableQuantity(r.quantityText, locale))
        return Quantity;
    if (!positive(r.rateText, locale))
        return Rate;
    if (expense) {
        if (r.fields.purpose && r.purpose.isEmpty())
            return Purpose;
        if (r.fields.location && r.location.isEmpty())
            return Location;
        if (r.fields.participants && r.participants.isEmpty())
            return Participants;
    }
    return None;
}

QString GetErrorItem(int code, ChargeKind kind, const ChargeRules &rules)
{
    switch (code) {
    case ChargeError::Contact:
        return rules.terms.contact;
    case ChargeError::Activity1:
        return rules.terms.activity1;
    case ChargeError::Activity2:
        return rules.terms.activity2;
    case ChargeError::Type:
        return kind == ChargeKind::Expense ? QStringLiteral("expense type")
                                           : QStringLiteral("fixed charge type");
    case ChargeError::StartDate:
        return QStringLiteral("start date");
    case ChargeError::EndDate:
        return QStringLiteral("end date");
    case ChargeError::Description:
        return QStringLiteral("description");
    case ChargeError::Quantity:
        return QStringLiteral("quantity");
    case ChargeError::Rate:
        return QStringLiteral("rate");
    case ChargeError::Purpose:
        return QStringLiteral("purpose");
    case ChargeError::Location:
        return QStringLiteral("location");
    case ChargeError::Participants:
        return QStringLiteral("participants");
    case ChargeError::JobOrder:
        return rules.jobOrderTerm;
    default:
        return QString();
    }
}

QString invalidEntryText(int code, ChargeKind kind, const ChargeRules &rules)
{
    return QStringLiteral("A valid entry for the ") + GetErrorItem(code, kind, rules) +
           QStringLiteral(" is required before proceeding.\r\n\r\n") +
           QStringLiteral("Click OK to make this change, or click Cancel to discard any\r\n") +
           QStringLiteral("changes you made to this record and proceed.\r\n\r\n");
}

} // namespace quorvale
