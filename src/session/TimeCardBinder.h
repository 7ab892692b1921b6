#pragma once

#include "timecards/RateChoices.h"
#include "timecards/TimeFieldRules.h"

#include <QString>
#include <QVariant>
#include <functional>

namespace quorvale {

class Prompts;
class TimeCardEditor;
enum class PromptIcon;

// What the binder needs besides the row: billing and the rate lookups.
struct BinderContext {
    bool billingInUse = false;
    RateContext rates;
    qint32 staffId = 0;
    Prompts *prompts = nullptr; // tells why a typed time is not taken
};

// Carries the main window's edits into the current TimeCard through the editor,
// so that validation, locking and the save on leaving see every change. Each
// method returns what the window shows afterwards; nothing here knows a widget.
class TimeCardBinder {
public:
    TimeCardBinder(TimeCardEditor &editor, BinderContext context);

    TimeCardEditor &editor() { return m_editor; }
    const BinderContext &context() const { return m_context; }

    // False when the TimeCard is locked (nothing is written).
    bool write(const QString &column, const QVariant &value);

    // Duration text as the field shows it ("001:23:45").
    static QString durationShown(const QVariant &stored);
    // Leaving a duration field the person typed into. A refused text has been
    // explained to the person and must stay in the field; nothing was stored.
    // Time spent typed by hand also moves the end to that long after the
    // start (or the person is told why not); the dates and times are then
    // to be shown again.
    DurationFieldResult durationLeft(DurationField field, const QString &typed);

    // Rate edits; each recomputes the value.
    RateFields rateSourceChosen(const QString &source);
    RateFields rateLevelChosen(int index);
    void rateTyped(const QString &text);
    void flatFeeTyped(const QString &text);
    // The realization as the field shows it afterwards.
    QString realizationLeft(const QString &typed);

    // An activity list's choice (0: none) goes into Activity1ID or Activity2ID;
    // when the rate comes from that level's rates it is looked up again. False
    // when nothing changed after all: the TimeCard is locked, or the linked
    // items' question was cancelled and the old activity is back.
    bool activityChosen(int level, qint32 id);

    // Carries a new activity into the linked items; false puts the old one back.
    using LinkFollower = std::function<bool(const QString &column, const QVariant &value)>;
    void setLinkFollower(LinkFollower follower) { m_follower = std::move(follower); }

    RateCard card();
    // Value := CalculateTimeSpentValue of the row, when billing is in use.
    void recomputeValue();

private:
    void writeRates(const RateFields &fields);
    DurationContext durationContext();
    void tell(const QString &text, PromptIcon icon);

    TimeCardEditor &m_editor;
    BinderContext m_context;
    LinkFollower m_follower;
};

} // namespace quorvale
