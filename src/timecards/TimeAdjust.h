#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <functional>
#include <optional>
#include <vector>

namespace quorvale {

class Prompts;

// The Add/Subtract Time dialog's logic (frmTimeAdd): which amounts it offers,
// what the person chose, and the adjusted duration on OK.

enum class AdjustTarget { TimeEstimated = 0, TimeSpent = 1, TimeDetail = 2 };
enum class AdjustDirection { Add = 0, Subtract = 1 };

namespace TimeAdjustTexts {
inline constexpr const char *Caption = " Add/Subtract Time";
inline constexpr const char *Frame = "Time Adjustment";
inline constexpr const char *Explanation =
    "Use this screen to adjust the time and related time detail "
    "on the current TimeCard.  For example, you might use this screen after "
    "leaving the timer on inadvertently.";
inline constexpr const char *OwnFieldsNote =
    "To merely adjust the time on the current TimeCard without "
    "adjusting any linked time detail, right-click over the Time Estimated "
    "or Time Spent fields and select Add or Subtract Time.";
inline constexpr const char *TypedAmountTip =
    "Manually enter time to add or subtract (\"hhh:mm:ss\")";
inline constexpr const char *WarningCaption = "Warning";
inline constexpr const char *Negative = "Result would be negative.  Try again.";
inline constexpr const char *TooLong = "Result would be more than 999:59:59.  Try again.";
} // namespace TimeAdjustTexts

struct AdjustAmount {
    qint64 seconds;
    QString caption; // with its access key
    QString tip;     // "Click to add or subtract " + amount + "."
};

// 6, 12, 18, 30 minutes, 1 and 2 hours when the "Default Billing Interval" is
// "6 minutes"; otherwise 5, 10, 20, 30 minutes, 1 and 2 hours.
std::vector<AdjustAmount> adjustAmounts(const QString &defaultBillingInterval);

struct AdjustTimeInput {
    AdjustTarget target = AdjustTarget::TimeSpent;
    AdjustDirection direction = AdjustDirection::Add;
    // Fields 0 and 1: the field's duration text. Field 2: the appointment's
    // Duration in whole minutes.
    QVariant current;
    QString defaultBillingInterval;
};

// The values handed to and from the dialog opened by name through Prompts.
inline constexpr const char *AdjustTimeDialogName = "AdjustTimeDialog";
QVariantMap toDialogValues(const AdjustTimeInput &input);
AdjustTimeInput fromDialogValues(const QVariantMap &values);
// The key under which an accepted dialog leaves its result.
inline constexpr const char *AdjustTimeResultKey = "Result";

class TimeAdjust {
public:
    TimeAdjust(AdjustTimeInput input, Prompts &prompts);

    const AdjustTimeInput &input() const { return m_input; }
    const std::vector<AdjustAmount> &amounts() const { return m_amounts; }
    // The second explanation belongs to the TimeCard's own fields only.
    bool explainsOwnFields() const { return m_input.target != AdjustTarget::TimeDetail; }

    // A button's amount; it replaces any typed amount.
    void chooseAmount(std::size_t index);
    std::optional<std::size_t> chosenAmount() const { return m_chosen; }
    // A typed amount, in any form a duration field takes (Duration::fromTyped);
    // once it holds anything it replaces the button's amount.
    void typeAmount(const QString &text);

    // OK. True: result() holds the adjusted value. False: a warning (caption
    // "Warning") told the person why, and the dialog stays open. No amount at all
    // leaves the value as it was. For field 2 the amount counts in whole minutes,
    // rounded half up, so adding and then subtracting an amount comes back to the
    // start.
    bool accept();
    // The new duration text (fields 0, 1) or the new Duration in minutes (field 2).
    QVariant result() const { return m_result; }

private:
    std::optional<qint64> amountSeconds() const;
    bool warn(const QString &text);

    AdjustTimeInput m_input;
    Prompts &m_prompts;
    std::vector<AdjustAmount> m_amounts;
    std::optional<std::size_t> m_chosen;
    QString m_typed;
    QVariant m_result;
};

// Where TimeAddSubtract gets the value to adjust.
struct AdjustTimeSource {
    // The field's duration text, or the selected appointment's Duration in
    // minutes; read after the timer has been paused.
    std::function<QVariant()> current;
    // PauseTimer(True); set only when this TimeCard's timer runs. Called before
    // the time spent is adjusted, so the run so far is kept and then adjusted.
    std::function<void()> pauseTimer;
};

// Opens the dialog for the field and direction. The adjusted value (see
// TimeAdjust::result) or nullopt when the person cancelled; the caller writes it
// to the field, or to the appointment and saves the appointment.
std::optional<QVariant> TimeAddSubtract(Prompts &prompts, AdjustTarget target,
                                        AdjustDirection direction,
                                        const QString &defaultBillingInterval,
                                        const AdjustTimeSource &source);

} // namespace quorvale
