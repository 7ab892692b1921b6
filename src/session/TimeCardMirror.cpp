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

QString lookUp(db::Command *command, qint32 id, int column)
{
    if (!command || id == 0)
        return QString();
    const std::optional<QSqlRecord> found = command->first({id});
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
    s.timeCardId = card.id;
    s.journalEntryId = card.journalEntryId;
    s.contactId = card.contactId.value_or(0);
    s.userId = card.userId;
    s.activity1Id = card.activity1Id.value_or(0);
    s.activity2Id = card.activity2Id.value_or(0);
    s.invoiceId = card.invoiceId.value_or(0);
    s.description = card.description;
    s.timeEstimated = card.timeEstimated.toStored();
    s.timeSpent = card.timeSpent.toStored();
    s.startDate = card.startDate;
    s.startTime = card.startTime;
    s.endDate = card.endDate;
    s.endTime = card.endTime;
    s.billingStatus = card.billStatus;
    s.rateSource = card.rateSource;
    s.rate = card.rate;
    s.hourlyRateText = s.rate.toDisplayString();
    s.flatFee = card.flatRate;
    s.value = card.value;
    s.rateLevel = card.rateLevel;
    s.realization = static_cast<double>(card.realization.hundredthsOfPercent()) / Realization::Full;
    s.entryType = card.entryType;
    s.category = card.category;
    s.jobOrder = card.jobOrder;
    s.userName = m_parts.settings.license.userName;
    s.contactEntryId = lookUp(c.contact.get(), s.contactId, 0);
    s.contactAccount = lookUp(c.contact.get(), s.contactId, 2);
    s.activity1Name = lookUp(c.activity1Name.get(), s.activity1Id, 0);
    s.activity2Name = lookUp(c.activity2Name.get(), s.activity2Id, 0);
    return s;
}

ItemVariables TimeCardMirror::variables(const TimeCard &card) const
{
    const TimeCardSnapshot s = snapshot(card);
    ItemVariables v;
    v.timeCardId = s.timeCardId;
    v.description = s.description;
    v.entryType = s.entryType;
    v.category = s.category;
    v.billingStatus = s.billingStatus;
    v.userName = s.userName;
    v.contactId = s.contactId;
    v.contactName = lookUp(m_parts.commands.contact.get(), s.contactId, 1);
    v.contactAccount = s.contactAccount;
    v.contactEntryId = s.contactEntryId;
    v.activity1Id = s.activity1Id;
    v.activity1Name = s.activity1Name;
    v.activity2Id = s.activity2Id;
    v.activity2Name = s.activity2Name;
    v.jobOrder = s.jobOrder;
    v.startDate = s.startDate;
    v.startTime = s.startTime;
    v.endDate = s.endDate;
    v.endTime = s.endTime;
    v.timeEstimated = s.timeEstimated;
    v.timeSpent = s.timeSpent;
    v.rateSource = s.rateSource;
    v.rateLevel = static_cast<qint16>(s.rateLevel.toInt());
    v.hourlyRate = s.rate;
    v.flatFee = s.flatFee;
    v.value = s.value;
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
    appointments().ProcessAppointment(snapshot(card), TimedSegment{segment.start, segment.end}, v,
                                      templates);
}

} // namespace quorvale
