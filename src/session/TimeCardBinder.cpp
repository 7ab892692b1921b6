#include "TimeCardBinder.h"

#include "support/Prompts.h"
#include "timecards/TimeCardEditor.h"

namespace quorvale {

namespace {

std::optional<qint32> idOf(const QVariant &v)
{
    if (v.isNull() || v.toInt() == 0)
        return std::nullopt;
    return v.toInt();
}

} // namespace

TimeCardBinder::TimeCardBinder(TimeCardEditor &editor, BinderContext context)
    : m_editor(editor), m_context(std::move(context))
{
}

bool TimeCardBinder::write(const QString &column, const QVariant &value)
{
    return m_editor.writeField(column, value);
}

QString TimeCardBinder::durationShown(const QVariant &stored)
{
    return Duration::fromColumnOrZero(stored).toShown();
}

DurationContext TimeCardBinder::durationContext()
{
    return DurationContext{m_context.billingInUse,
                           m_editor.timeCards().value(QStringLiteral("RateSource")).toString()};
}

void TimeCardBinder::tell(const QString &text, PromptIcon icon)
{
    if (m_context.prompts)
        m_context.prompts->messageBox(QStringLiteral("Quorvale"), text, PromptButtons::Ok, icon);
}

DurationFieldResult TimeCardBinder::durationLeft(DurationField field, const QString &typed)
{
    db::Recordset &rs = m_editor.timeCards();
    DurationFieldResult r =
        durationFieldLeft(field, typed, rs.value(durationColumn(field)), durationContext());
    if (!r.refused && r.store && field == DurationField::TimeSpent && m_editor.timerRunsHere()) {
        // The next tick would write the run's own count over it.
        r = DurationFieldResult{};
        r.refused = true;
        r.message = QStringLiteral("The timer is running on this TimeCard. Pause it before typing "
                                   "the time spent, or use Add or Subtract Time.");
    }
    if (r.refused) {
        tell(r.message, PromptIcon::Warning);
        return r;
    }
    if (!r.store || !write(r.column, r.storedText))
        return r;
    if (r.recomputeValue)
        recomputeValue();
    if (field == DurationField::TimeSpent) {
        const EndFromStart end = endFromStart(rs.value(QStringLiteral("StartDate")),
                                              rs.value(QStringLiteral("StartTime")),
                                              *Duration::fromStored(r.storedText));
        if (!end.problem.isEmpty()) {
            tell(end.problem, PromptIcon::Information);
        } else {
            write(QStringLiteral("EndDate"), end.endDate);
            write(QStringLiteral("EndTime"), end.endTime);
        }
    }
    return r;
}

RateCard TimeCardBinder::card()
{
    const db::Recordset &rs = m_editor.timeCards();
    RateCard c;
    c.rateSource = rs.value(QStringLiteral("RateSource")).toString();
    c.rateLevel = rs.value(QStringLiteral("RateLevel")).toString();
    c.rate = Money::fromStored(rs.value(QStringLiteral("Rate")));
    c.flatRate = Money::fromStored(rs.value(QStringLiteral("FlatRate")));
    c.quantity = rs.value(QStringLiteral("Quantity"));
    c.realization = Realization::fromStored(rs.value(QStringLiteral("Realization")));
    c.keys.userId = rs.value(QStringLiteral("UserId")).toInt();
    if (m_context.staffId != 0)
        c.keys.staffId = m_context.staffId;
    c.keys.contactId = idOf(rs.value(QStringLiteral("ContactID")));
    c.keys.activity1Id = idOf(rs.value(QStringLiteral("Activity1ID")));
    c.keys.activity2Id = idOf(rs.value(QStringLiteral("Activity2ID")));
    return c;
}

void TimeCardBinder::writeRates(const RateFields &f)
{
    if (!write(QStringLiteral("RateSource"), f.card.rateSource))
        return;
    write(QStringLiteral("RateLevel"), f.card.rateLevel);
    write(QStringLiteral("Rate"), f.card.rate.toStored());
    write(QStringLiteral("Value"), f.value.toStored());
}

RateFields TimeCardBinder::rateSourceChosen(const QString &source)
{
    const RateFields f = cbRateSource_Click(card(), source, m_context.rates);
    writeRates(f);
    return f;
}

RateFields TimeCardBinder::rateLevelChosen(int index)
{
    const RateCard c = card();
    const RateFields f =
        cbHourlyRate_Click(c, FillRateCombo(c, m_context.rates), index, m_context.rates);
    writeRates(f);
    return f;
}

bool TimeCardBinder::activityChosen(int level, qint32 id)
{
    const QString column =
        level == 1 ? QStringLiteral("Activity1ID") : QStringLiteral("Activity2ID");
    const QVariant old = m_editor.timeCards().value(column);
    const QVariant chosen = id == 0 ? QVariant() : QVariant(id);
    if (!write(column, chosen))
        return false;
    if (m_follower && idOf(old) != idOf(chosen) && !m_follower(column, chosen)) {
        write(column, old);
        return false;
    }
    if (!m_context.billingInUse)
        return true;
    const Terms &terms = m_context.rates.options.terms;
    const QString source = m_editor.timeCards().value(QStringLiteral("RateSource")).toString();
    if (source == (level == 1 ? terms.activity1 : terms.activity2) + QStringLiteral(" Rates"))
        rateSourceChosen(source);
    return true;
}

void TimeCardBinder::rateTyped(const QString &text)
{
    const std::optional<Money> rate = Money::parse(text);
    if (rate && write(QStringLiteral("Rate"), rate->toStored()))
        recomputeValue();
}

void TimeCardBinder::flatFeeTyped(const QString &text)
{
    const std::optional<Money> fee = Money::parse(text);
    if (fee && write(QStringLiteral("FlatRate"), fee->toStored()))
        recomputeValue();
}

QString TimeCardBinder::realizationLeft(const QString &typed)
{
    const Realization stored =
        Realization::fromStored(m_editor.timeCards().value(QStringLiteral("Realization")));
    const RealizationEntry entry = txtRealization_LostFocus(typed, stored);
    if (entry.changed && write(QStringLiteral("Realization"), entry.realization.toStored()))
        recomputeValue();
    return entry.shown;
}

void TimeCardBinder::recomputeValue()
{
    if (!m_context.billingInUse)
        return;
    const RateCard c = card();
    const Money value =
        CalculateTimeSpentValue(ValueInputs{c.rateSource, c.quantity, c.rate, c.flatRate,
                                            c.realization, m_context.rates.realizationInUse});
    write(QStringLiteral("Value"), value.toStored());
}

} // namespace quorvale
