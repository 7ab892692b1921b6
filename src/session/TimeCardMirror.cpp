#include "TimeCardMirror.h"

#include "data/DataStore.h"
#include "outlook/OutlookSession.h"
#include "settings/AdminSettings.h"
#include "settings/PreparedCommands.h"
#include "settings/RegSettings.h"
#include "timecards/Clock.h"
#include "timecards/TimeCardValue.h"

namespace quorvale {

namespace {

QString lookUp(db::Command *command, std::optional<qint32> id, int column)
{
    if (!command || !id)
        return QString();
    const std::optional<QSqlRecord> found = command->first({*id});
    return found ? found->value(column).toString() : QString();
}

UserPropertyTerms propertyTerms(const AdminOptions &o)
{
    return UserPropertyTerms{o.terms.activity1, o.activity1InUse, o.terms.activity2,
                             o.activity2InUse, o.jobOrderTerm};
}

} // namespace

TimeCardMirror::TimeCardMirror(const ProgramParts &parts, const Clock &clock)
    : m_parts(parts), m_clock(clock)
{
    const AutoFillCodes &codes = parts.settings.autoFill;
    m_templates.journal = codes.journal;
    m_templates.tasks = codes.tasks;
    m_templates.appointments = codes.appointments;
    m_templates.notes = codes.notes;
}

TimeCardMirror::~TimeCardMirror() = default;

TimeCardSnapshot TimeCardMirror::snapshot(const TimeCard &card) const
{
    const PreparedCommands &c = m_parts.commands;
    TimeCardSnapshot s;
    static_cast<TimeCard &>(s) = card;
    s.userName = m_parts.settings.license.userName;
    s.contactEntryId = lookUp(c.contact.get(), card.contactId, 0);
    s.contactAccount = lookUp(c.contact.get(), card.contactId, 2);
    s.activity1Name = lookUp(c.activity1Name.get(), card.activity1Id, 0);
    s.activity2Name = lookUp(c.activity2Name.get(), card.activity2Id, 0);
    return s;
}

ItemVariables TimeCardMirror::variables(const TimeCard &card) const
{
    ItemVariables v;
    static_cast<TimeCardSnapshot &>(v) = snapshot(card);
    v.contactName = lookUp(m_parts.commands.contact.get(), card.contactId, 1);
    return v;
}

FieldTerms TimeCardMirror::terms() const
{
    const AdminOptions &o = m_parts.options;
    return FieldTerms{o.terms.contact, o.terms.activity1, o.terms.activity2, o.jobOrderTerm,
                      o.contactInUse,  o.activity1InUse,  o.activity2InUse};
}

TemplateContext TimeCardMirror::context()
{
    const RegSettings &s = m_parts.settings;
    TemplateContext t;
    t.templates = m_templates;
    t.terms = terms();
    t.timeDetailOption = s.settings.timeDetailOption;
    t.pending = &m_pending;
    t.now = m_clock.now();
    return t;
}

clsJournalProcessing &TimeCardMirror::journal()
{
    const AdminOptions &o = m_parts.options;
    if (!m_journal)
        m_journal = std::make_unique<clsJournalProcessing>(
            m_parts.outlook, m_parts.store.cnnLink(),
            JournalOptions{propertyTerms(o), o.billingInJournal});
    return *m_journal;
}

QString TimeCardMirror::ProcessJournalEntry(const TimeCard &card)
{
    TemplateContext templates = context();
    const clsJournalProcessing::Result result =
        journal().ProcessJournalEntry(snapshot(card), variables(card), templates);
    return result.outcome == clsJournalProcessing::Outcome::NotReached ? card.journalEntryId
                                                                       : result.fields.entryId;
}

QString TimeCardMirror::restoreJournalEntry(const TimeCard &card)
{
    TemplateContext templates = context();
    // Only looking at a TimeCard: a run's pending note waits for its own item.
    templates.pending = nullptr;
    const clsJournalProcessing::Result result =
        journal().ProcessJournalEntry(snapshot(card), variables(card), templates);
    return result.outcome == clsJournalProcessing::Outcome::NotReached ? QString()
                                                                       : result.fields.entryId;
}

clsAutoAppointment &TimeCardMirror::appointments()
{
    const AdminOptions &o = m_parts.options;
    if (!m_appointments)
        m_appointments = std::make_unique<clsAutoAppointment>(
            m_parts.outlook, m_parts.store.cnnLink(),
            AppointmentOptions{propertyTerms(o), o.contactInUse,
                               m_parts.settings.appointments.showTimeAs});
    return *m_appointments;
}

clsAutoAppointment::Result TimeCardMirror::ManualAppointment(const TimeCard &card,
                                                             const OutOfOfficeTime &time)
{
    TemplateContext templates = context();
    return quorvale::ManualAppointment(appointments(), m_parts.outlook, snapshot(card),
                                       variables(card), templates, time);
}

void TimeCardMirror::recordSegment(const TimeCard &card, const TimeSegment &segment)
{
    ItemVariables v = variables(card);
    v.segmentStart = segment.start;
    v.segmentEnd = segment.end;
    if (!segment.note.isEmpty())
        m_pending.set(segment.note);
    TemplateContext templates = context();
    TimeCardSnapshot s = snapshot(card);
    if (m_activeTask)
        s.activeTaskId = m_activeTask(card.id);
    appointments().ProcessAppointment(s, TimedSegment{segment.start, segment.end}, v, templates);
}

} // namespace quorvale
