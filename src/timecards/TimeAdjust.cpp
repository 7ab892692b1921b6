#include "TimeAdjust.h"

#include "platform/core/Duration.h"
#include "support/Prompts.h"

namespace quorvale {

namespace {

AdjustAmount amount(qint64 seconds, const char *caption, const char *spoken)
{
    return {seconds, QString::fromLatin1(caption),
            QStringLiteral("Click to add or subtract %1.").arg(QLatin1String(spoken))};
}

} // namespace

std::vector<AdjustAmount> adjustAmounts(const QString &defaultBillingInterval)
{
    std::vector<AdjustAmount> amounts;
    if (defaultBillingInterval == QLatin1String("6 minutes")) {
        amounts = {amount(6 * 60, "&6 minutes", "6 minutes"),
                   amount(12 * 60, "&12 minutes", "12 minutes"),
                   amount(18 * 60, "1&8 minutes", "18 minutes")};
    } else {
        amounts = {amount(5 * 60, "&5 minutes", "5 minutes"),
                   amount(10 * 60, "&10 minutes", "10 minutes"),
                   amount(20 * 60, "&20 minutes", "20 minutes")};
    }
    amounts.push_back(amount(30 * 60, "3&0 minutes", "30 minutes"));
    amounts.push_back(amount(3600, "1 &hour", "1 hour"));
    amounts.push_back(amount(2 * 3600, "2 hou&rs", "2 hours"));
    return amounts;
}

QVariantMap toDialogValues(const AdjustTimeInput &input)
{
    return {{QStringLiteral("Target"), static_cast<int>(input.target)},
            {QStringLiteral("Direction"), static_cast<int>(input.direction)},
            {QStringLiteral("Current"), input.current},
            {QStringLiteral("DefaultBillingInterval"), input.defaultBillingInterval}};
}

AdjustTimeInput fromDialogValues(const QVariantMap &values)
{
    AdjustTimeInput input;
    input.target =
        static_cast<AdjustTarget>(qBound(0, values.value(QStringLiteral("Target")).toInt(), 2));
    input.direction = values.value(QStringLiteral("Direction")).toInt() == 1
                          ? AdjustDirection::Subtract
                          : AdjustDirection::Add;
    input.current = values.value(QStringLiteral("Current"));
    input.defaultBillingInterval =
        values.value(QStringLiteral("DefaultBillingInterval")).toString();
    return input;
}

TimeAdjust::TimeAdjust(AdjustTimeInput input, Prompts &prompts)
    : m_input(std::move(input)), m_prompts(prompts),
      m_amounts(adjustAmounts(m_input.defaultBillingInterval))
{
}

void TimeAdjust::chooseAmount(std::size_t index)
{
    if (index >= m_amounts.size())
        return;
    m_chosen = index;
    m_typed.clear();
}

void TimeAdjust::typeAmount(const QString &text)
{
    m_typed = text;
    if (!text.trimmed().isEmpty())
        m_chosen.reset();
}

std::optional<qint64> TimeAdjust::amountSeconds() const
{
    if (!m_typed.trimmed().isEmpty()) {
        const std::optional<Duration> typed = Duration::fromTyped(m_typed);
        return typed ? std::optional(typed->seconds()) : std::nullopt;
    }
    return m_chosen ? m_amounts[*m_chosen].seconds : 0;
}

bool TimeAdjust::warn(const QString &text)
{
    m_prompts.messageBox(QLatin1String(TimeAdjustTexts::WarningCaption), text, PromptButtons::Ok,
                         PromptIcon::Warning);
    return false;
}

bool TimeAdjust::accept()
{
    const auto amount = amountSeconds();
    if (!amount)
        return warn(Duration::refusal(m_typed));
    const qint64 sign = m_input.direction == AdjustDirection::Add ? 1 : -1;

    if (m_input.target == AdjustTarget::TimeDetail) {
        const qint64 minutes = m_input.current.toLongLong();
        const qint64 adjusted = minutes + sign * ((*amount + 30) / 60);
        if (adjusted < 0)
            return warn(QLatin1String(TimeAdjustTexts::Negative));
        m_result = adjusted;
        return true;
    }

    // A text that is no duration counts as none rather than stopping the dialog.
    const Duration adjusted =
        Duration::fromColumnOrZero(m_input.current) + Duration::fromSeconds(sign * *amount);
    if (adjusted.seconds() < 0)
        return warn(QLatin1String(TimeAdjustTexts::Negative));
    if (!adjusted.fitsStored())
        return warn(QLatin1String(TimeAdjustTexts::TooLong));
    m_result = adjusted.toStored();
    return true;
}

std::optional<QVariant> TimeAddSubtract(Prompts &prompts, AdjustTarget target,
                                        AdjustDirection direction,
                                        const QString &defaultBillingInterval,
                                        const AdjustTimeSource &source)
{
    if (target == AdjustTarget::TimeSpent && source.pauseTimer)
        source.pauseTimer();
    QVariantMap values =
        toDialogValues({target, direction, source.current(), defaultBillingInterval});
    if (!prompts.showDialog(QLatin1String(AdjustTimeDialogName), values))
        return std::nullopt;
    return values.value(QLatin1String(AdjustTimeResultKey));
}

} // namespace quorvale
