#pragma once

#include "data/TimeCard.h"
#include "outlook/AutoAppointment.h"
#include "outlook/JournalProcessing.h"
#include "outlook/LinkMaintenance.h"
#include "outlook/ManualAppointment.h"
#include "session/ProgramParts.h"
#include "timecards/TimerTypes.h"

#include <functional>
#include <memory>

namespace quorvale {

class Clock;

// The current TimeCard's items in the item store: its journal entry rewritten
// from the journal templates when a changed TimeCard is left, and each saved
// timer run as a time-detail appointment. Takes its values from the TimeCard.
class TimeCardMirror {
public:
    TimeCardMirror(const ProgramParts &parts, const Clock &clock);
    ~TimeCardMirror();

    // The journal entry's EntryID afterwards: a new one when the entry had gone.
    QString ProcessJournalEntry(const TimeCard &card);
    // The entry of a stored TimeCard whose entry had gone, written from the row
    // as on leaving it and stored as its JournalEntryID; empty when the item
    // store cannot be reached.
    QString restoreJournalEntry(const TimeCard &card);
    void recordSegment(const TimeCard &card, const TimeSegment &segment);

    // The templates the items are written from; the AutoFill dialog changes them.
    const AutoFillTemplates &templates() const { return m_templates; }
    void setTemplates(const AutoFillTemplates &templates) { m_templates = templates; }
    // The task a TimeCard's run works on (0 for none), as the person chose it
    // in the Active Task list: a recorded run adds its time to that task.
    void setActiveTask(std::function<qint32(qint64 timeCardId)> activeTask)
    {
        m_activeTask = std::move(activeTask);
    }
    FieldTerms terms() const;

    // What linked items are rewritten from when the row's contact or activities change.

    // Out-of-office time recorded as the row's time-detail appointment.
    clsAutoAppointment::Result ManualAppointment(const TimeCard &card, const OutOfOfficeTime &time);

    // What new items for the row are filled from; the context shares the
    // pending time-detail text.
    TimeCardSnapshot snapshot(const TimeCard &card) const;
    ItemVariables variables(const TimeCard &card) const;
    TemplateContext context();

private:
    clsJournalProcessing &journal();
    clsAutoAppointment &appointments();

    ProgramParts m_parts;
    const Clock &m_clock;
    PendingTimeDetail m_pending;
    std::function<qint32(qint64)> m_activeTask;
    AutoFillTemplates m_templates;
    std::unique_ptr<clsJournalProcessing> m_journal;
    std::unique_ptr<clsAutoAppointment> m_appointments;
};

} // namespace quorvale
