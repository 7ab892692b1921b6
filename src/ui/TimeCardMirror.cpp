#include "TimeCardMirror.h"

#include "settings/StartUp.h"
#include "timecards/Clock.h"
#include "timecards/TimeCardValue.h"

namespace quorvale {

namespace {

qint32 key(const QSqlRecord &row, const char *column)
{
    return row.value(QLatin1String(column)).toInt();
}

QString text(const QSqlRecord &row, const char *column)
{
    return row.value(QLatin1String(column)).toString();
}

Money money(const QSqlRecord &row, const char *column)
{
    return Money::fromStored(row.value(QLatin1String(column)));
}

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

TimeCardMirror::TimeCardMirror(StartUp &startUp, const Clock &clock)
    : m_startUp(startUp), m_clock(clock)
{
    const AutoFillCodes &codes = startUp.settings().autoFill;
    m_templates.journal = codes.journal;
    m_templates.tasks = codes.tasks;
    m_templates.appointments = codes.appointments;
    m_templates.notes = codes.notes;
}

TimeCardMirror::~TimeCardMirror() = default;

TimeCardSnapshot TimeCardMirror::snapshot(const QSqlRecord &row) const
{
    const PreparedCommands &c = m_startUp.commands();
    TimeCardSnapshot s;
    s.timeCardId = key(row, "TimeCardID");
    s.journalEntryId = text(row, "JournalEntryID");
    s.contactId = key(row, "ContactID");
    s.userId = key(row, "UserId");
    s.activity1Id = key(row, "Activity1ID");
    s.activity2Id = key(row, "Activity2ID");
    s.invoiceId = key(row, "InvoiceID");
    s.description = text(row, "Description");
    // As stored: Duration reads them wherever they are shown or counted.
    s.timeEstimated = text(row, "TimeEstimated");
    s.timeSpent = text(row, "Quantity");
    s.startDate = row.value(QStringLiteral("StartDate")).toDate();
    s.startTime = row.value(QStringLiteral("StartTime")).toTime();
    s.endDate = row.value(QStringLiteral("EndDate")).toDate();
    s.endTime = row.value(QStringLiteral("EndTime")).toTime();
    s.billingStatus = text(row, "BillStatus");
    s.rateSource = text(row, "RateSource");
    s.rate = money(row, "Rate");
    s.hourlyRateText = s.rate.toDisplayString();
    s.flatFee = money(row, "FlatRate");
    s.value = money(row, "Value");
    s.rateLevel = text(row, "RateLevel");
    s.realization =
        static_cast<double>(Realization::fromStored(row.value(QStringLiteral("Realization")))
                                .hundredthsOfPercent()) /
        Realization::Full;
    s.entryType = text(row, "EntryType");
    s.category = text(row, "Category");
    s.jobOrder = text(row, "JobOrder");
    s.userName = m_startUp.settings().license.userName;
    s.contactEntryId = lookUp(c.contact.get(), s.contactId, 0);
    s.contactAccount = lookUp(c.contact.get(), s.contactId, 2);
    s.activity1Name = lookUp(c.activity1Name.get(), s.activity1Id, 0);
    s.activity2Name = lookUp(c.activity2Name.get(), s.activity2Id, 0);
    return s;
}

ItemVariables TimeCardMirror::variables(const QSqlRecord &row) const
{
    const TimeCardSnapshot s = snapshot(row);
    ItemVariables v;
    v.timeCardId = s.timeCardId;
    v.description = s.description;
    v.entryType = s.entryType;
    v.category = s.category;
    v.billingStatus = s.billingStatus;
    v.userName = s.userName;
    v.contactId = s.contactId;
    v.contactName = lookUp(m_startUp.commands().contact.get(), s.contactId, 1);
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
    const AdminOptions &o = m_startUp.options();
    return FieldTerms{o.terms.contact, o.terms.activity1, o.terms.activity2, o.jobOrderTerm,
                      o.contactInUse,  o.activity1InUse,  o.activity2InUse};
}

TemplateContext TimeCardMirror::context()
{
    const RegSettings &s = m_startUp.settings();
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
    const AdminOptions &o = m_startUp.options();
    if (!m_journal)
        m_journal = std::make_unique<clsJournalProcessing>(
            m_startUp.outlook(), m_startUp.store().cnnLink(),
            JournalOptions{propertyTerms(o), o.billingInJournal});
    return *m_journal;
}

QString TimeCardMirror::ProcessJournalEntry(const QSqlRecord &row)
{
    TemplateContext templates = context();
    const clsJournalProcessing::Result result =
        journal().ProcessJournalEntry(snapshot(row), variables(row), templates);
    return result.outcome == clsJournalProcessing::Outcome::NotReached ? text(row, "JournalEntryID")
                                                                       : result.fields.entryId;
}

QString TimeCardMirror::restoreJournalEntry(const QSqlRecord &row)
{
    TemplateContext templates = context();
    // Only looking at a TimeCard: a run's pending note waits for its own item.
    templates.pending = nullptr;
    const clsJournalProcessing::Result result =
        journal().ProcessJournalEntry(snapshot(row), variables(row), templates);
    return result.outcome == clsJournalProcessing::Outcome::NotReached ? QString()
                                                                       : result.fields.entryId;
}

clsAutoAppointment &TimeCardMirror::appointments()
{
    const AdminOptions &o = m_startUp.options();
    if (!m_appointments)
        m_appointments = std::make_unique<clsAutoAppointment>(
            m_startUp.outlook(), m_startUp.store().cnnLink(),
            AppointmentOptions{propertyTerms(o), o.contactInUse,
                               m_startUp.settings().appointments.showTimeAs});
    return *m_appointments;
}

clsAutoAppointment::Result TimeCardMirror::ManualAppointment(const QSqlRecord &row,
                                                             const OutOfOfficeTime &time)
{
    TemplateContext templates = context();
    return quorvale::ManualAppointment(appointments(), m_startUp.outlook(), snapshot(row),
                                       variables(row), templates, time);
}

void TimeCardMirror::recordSegment(const QSqlRecord &row, const TimeSegment &segment)
{
    ItemVariables v = variables(row);
    v.segmentStart = segment.start;
    v.segmentEnd = segment.end;
    if (!segment.note.isEmpty())
        m_pending.set(segment.note);
    TemplateContext templates = context();
    appointments().ProcessAppointment(snapshot(row), TimedSegment{segment.start, segment.end}, v,
                                      templates);
}

} // namespace quorvale
