#include "timecards/Validation.h"

#include "data/TimeCard.h"
#include "platform/core/Duration.h"
#include "platform/core/Money.h"
#include "support/Prompts.h"
#include "timecards/Rates.h"
#include "timecards/TimeFieldRules.h"

#include <QVariant>

namespace quorvale {

namespace {

// A shown amount ("$1,250.00", "12.5") is above zero as a whole number; a text
// that is no amount at all is not. Amounts below one fail as the rule intends:
// its test is on the whole-number part.
bool wholeAmountAboveZero(const QString &shown)
{
    QString digits;
    for (const QChar c : shown)
        if (c.isDigit() || c == u'.' || c == u',' || c == u'-')
            digits += c;
    const std::optional<Money> amount = Money::parse(digits);
    return amount && amount->units() / Money::Scale > 0;
}

bool blankJobOrder(const QString &shown)
{
    for (const QChar c : shown)
        if (c != u'_' && c != u'-' && !c.isSpace())
            return false;
    return true;
}

} // namespace

TimeCardEntry entryFromRow(const TimeCard &card, bool timerRunsHere)
{
    TimeCardEntry e;
    e.contactChosen = card.contactId.has_value();
    e.activity1Chosen = card.activity1Id.has_value();
    e.activity2Chosen = card.activity2Id.has_value();
    e.startDate = card.startDate;
    e.startTime = card.startTime;
    e.endDate = card.endDate;
    e.endTime = card.endTime;
    e.timeSpent = card.timeSpent.toStored();
    e.timerRunsHere = timerRunsHere;
    e.rateSource = card.rateSource;
    e.flatFee = card.flatRate.toString();
    e.hourlyRate = card.rate.toString();
    e.description = card.description;
    e.jobOrder = card.jobOrder;
    return e;
}

int ValidationError(const TimeCardEntry &e, const ValidationOptions &o)
{
    using namespace ValidationCode;
    if (o.contactInUse && o.contactRequired && !e.contactChosen)
        return NoContact;
    if (o.activity1InUse && o.activity1Required && !e.activity1Chosen)
        return NoActivity1;
    if (o.activity2InUse && o.activity2Required && !e.activity2Chosen)
        return NoActivity2;
    if (o.endBeforeStart && endBeforeStart(e.startDate, e.startTime, e.endDate, e.endTime))
        return EndBeforeStart;
    if (o.noTimeSpent && !e.timerRunsHere && Duration::fromColumnOrZero(e.timeSpent).isZero())
        return NoTimeSpent;
    if (o.noHourlyRate && !o.rateSourceFixed) {
        if (e.rateSource == FlatFeeSource) {
            if (!wholeAmountAboveZero(e.flatFee))
                return NoFlatFee;
        } else if (!wholeAmountAboveZero(e.hourlyRate)) {
            return NoHourlyRate;
        }
    }
    if (o.noDescription && e.description.isEmpty())
        return NoDescription;
    if (o.noJobOrder && blankJobOrder(e.jobOrder))
        return NoJobOrder;
    return Valid;
}

QString validationMessage(int code, const ValidationOptions &o)
{
    using namespace ValidationCode;
    switch (code) {
    case NoContact:
        return QStringLiteral("No ") + o.terms.contact.toLower() + QStringLiteral(" selected.");
    case NoActivity1:
        return QStringLiteral("No ") + o.terms.activity1.toLower() + QStringLiteral(" selected.");
    case NoActivity2:
        return QStringLiteral("No ") + o.terms.activity2.toLower() + QStringLiteral(" selected.");
    case EndBeforeStart:
        return QStringLiteral("End time before the start time.");
    case NoTimeSpent:
        return QStringLiteral("No time spent.");
    case NoFlatFee:
        return QStringLiteral("No flat rate entry.");
    case NoHourlyRate:
        return QStringLiteral("No hourly rate selected.");
    case NoDescription:
        return QStringLiteral("No description provided.");
    case NoJobOrder:
        // Without a term of the administrator's the field shows as "Job Order".
        return QStringLiteral("No ") +
               (o.jobOrderTerm.isEmpty() ? QStringLiteral("job order") : o.jobOrderTerm.toLower()) +
               QStringLiteral(" entered.");
    default:
        return {};
    }
}

FocusTarget validationFocus(int code, const TimeCardEntry &e)
{
    using namespace ValidationCode;
    switch (code) {
    case NoContact:
        return {0, FocusField::Description};
    case NoActivity1:
        return {0, FocusField::Activity1};
    case NoActivity2:
        return {0, FocusField::Activity2};
    case EndBeforeStart:
        // Equal dates: the times are what is wrong.
        return {3, e.startDate == e.endDate ? FocusField::StartTime : FocusField::StartDate};
    case NoTimeSpent:
        return {0, FocusField::TimeSpent};
    case NoFlatFee:
        return {4, FocusField::FlatFee};
    case NoHourlyRate:
        return {4, FocusField::HourlyRate};
    case NoDescription:
        return {1, FocusField::Description};
    case NoJobOrder:
        return {0, FocusField::JobOrder};
    default:
        return {};
    }
}

QString validationDialogText(const QString &problem)
{
    return QStringLiteral("Quorvale cannot perform the requested action until the following "
                          "problem with the current TimeCard is resolved:\n\nProblem:\n") +
           problem +
           QStringLiteral("\n\nIf you want to save this TimeCard, please correct this problem "
                          "before proceeding.  Otherwise, delete this TimeCard using the Menu "
                          "or the TimeCard Navigator.");
}

FocusTarget ProcessValidationError(int code, const TimeCardEntry &entry,
                                   const ValidationOptions &options, Prompts &prompts)
{
    if (code == ValidationCode::Valid)
        return {};
    prompts.messageBox(QString::fromLatin1(ValidationErrorTitle),
                       validationDialogText(validationMessage(code, options)), PromptButtons::Ok,
                       PromptIcon::Warning);
    return validationFocus(code, entry);
}

} // namespace quorvale
