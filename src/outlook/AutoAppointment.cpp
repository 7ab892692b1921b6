#include "outlook/AutoAppointment.h"

#include "outlook/JournalProcessing.h"
#include "outlook/OutlookSession.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"
#include "platform/pim/AppointmentItem.h"
#include "platform/pim/ContactItem.h"
#include "platform/pim/Items.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/TaskItem.h"
#include "support/Trace.h"

#include <QLoggingCategory>
#include <QSqlRecord>
#include <algorithm>

namespace quorvale {

namespace {

Q_LOGGING_CATEGORY(lcTimeDetail, "quorvale.outlook.timedetail")

const QString ProgramSource = QStringLiteral("Quorvale");

const pim::Folder &resolvedFolder(const OutlookSession &session, FolderSlot slot, const char *name)
{
    const auto &folder = session.folder(slot);
    if (!folder)
        throw QvError(ErrorNumber::OutlookInstance,
                      QStringLiteral("The %1 folder is not resolved.").arg(QLatin1String(name)),
                      ProgramSource);
    return *folder;
}

// Whole minutes, to the nearest: truncating would drop up to a minute from
// every run the task's actual work is given.
int roundedMinutes(const QDateTime &start, const QDateTime &end)
{
    const qint64 seconds = qMax<qint64>(0, start.secsTo(end));
    return static_cast<int>((seconds + 30) / 60);
}

} // namespace

clsAutoAppointment::clsAutoAppointment(OutlookSession &session, db::Connection &cnnLink,
                                       AppointmentOptions options)
    : m_session(session), m_cnnLink(cnnLink), m_options(std::move(options)),
      m_taskEntryId(cnnLink, QStringLiteral("Select EntryID From tblTasks WHERE TaskID = ?")),
      m_journalAppointments(
          cnnLink, QStringLiteral("Select * From tblAppointments WHERE JournalEntryID = ?")),
      m_insertTimedLink(cnnLink, QStringLiteral("INSERT INTO tblTimedAppointments (EntryID, "
                                                "TimeCardID) VALUES (?, ?)")),
      m_insertAppointment(cnnLink,
                          QStringLiteral("INSERT INTO tblAppointments (JournalEntryID, TimeCardID, "
                                         "EntryID, StartDate, StartTime, EndDate, EndTime, "
                                         "Duration) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"))
{
}

int clsAutoAppointment::BusyStatusFor(const QString &showTimeAs)
{
    static const QString texts[] = {QStringLiteral("Free"), QStringLiteral("Tentative"),
                                    QStringLiteral("Busy"), QStringLiteral("Out of office")};
    for (int i = 0; i < 4; ++i)
        if (showTimeAs.compare(texts[i], Qt::CaseInsensitive) == 0)
            return i;
    return 2;
}

clsAutoAppointment::Result clsAutoAppointment::ProcessAppointment(const TimeCardSnapshot &card,
                                                                  const TimedSegment &segment,
                                                                  const ItemTexts &texts)
{
    return process(card, segment, [texts](const pim::ContactItem *) { return texts; });
}

clsAutoAppointment::Result clsAutoAppointment::ProcessAppointment(const TimeCardSnapshot &card,
                                                                  const TimedSegment &segment,
                                                                  const ItemVariables &variables,
                                                                  TemplateContext &context)
{
    return process(card, segment, [&variables, &context](const pim::ContactItem *contact) {
        ItemTexts texts{FormatSubject(TemplateKind::Appointments, variables, contact, context),
                        FormatBody(TemplateKind::Appointments, variables, contact, context)};
        if (texts.subject.trimmed().isEmpty())
            texts.subject = variables.timeDetailSubjectFallback();
        return texts;
    });
}

clsAutoAppointment::Result clsAutoAppointment::process(const TimeCardSnapshot &card,
                                                       const TimedSegment &segment,
                                                       ItemTextMaker makeTexts)
{
    TraceScope trace(u"clsAutoAppointment: ProcessAppointment");
    m_card = card;
    m_segment = segment;
    if (m_segment.end < m_segment.start)
        m_segment.end = m_segment.start;
    m_makeTexts = std::move(makeTexts);
    m_texts.reset();
    return runWithStore(m_session, [this] { return AutoAppointmentEntry(); }).value_or(Result{});
}

clsAutoAppointment::Result clsAutoAppointment::AutoAppointmentEntry()
{
    const pim::Folder &folder =
        resolvedFolder(m_session, FolderSlot::TimeCardAppointments, "TimeCard Appointments");
    std::unique_ptr<pim::Item> item = pim::Items(folder).Add();
    auto *appointment = dynamic_cast<pim::AppointmentItem *>(item.get());
    if (!appointment)
        throw QvError(ErrorNumber::Generic,
                      QStringLiteral("The folder %1 holds no appointments.").arg(folder.name()),
                      ProgramSource);

    std::unique_ptr<pim::ContactItem> contact;
    if (m_options.contactInUse)
        contact = contactItemFor(m_session, m_card.contactEntryId);
    if (contact) {
        appointment->setBillingInformation(m_card.contactAccount);
        setContactFields(*appointment, *contact, m_session.versionCode());
    }
    if (!m_texts)
        m_texts = m_makeTexts(contact.get());
    appointment->setSubject(m_texts->subject);
    appointment->setBody(m_texts->body);
    appointment->setCategoriesText(m_card.category);
    appointment->setStart(m_segment.start);
    appointment->setEnd(m_segment.end);
    appointment->setReminderSet(false);
    appointment->setBusyStatus(BusyStatusFor(m_options.defaultShowTimeAs));
    // One write of the file: its user properties name it by its EntryID.
    appointment->AssignEntryID();
    WriteUserProperties(*appointment, m_card, m_options.terms);
    appointment->Save();

    Result result;
    result.written = true;
    result.entryId = appointment->EntryID();
    result.minutes = roundedMinutes(m_segment.start, m_segment.end);
    try {
        insertLinks(result.entryId, result.minutes);
    } catch (...) {
        // Unlinked, it would be listed nowhere and its time counted twice if
        // it were linked by hand later.
        try {
            appointment->Delete();
        } catch (const QvError &error) {
            qCWarning(lcTimeDetail).noquote()
                << "unlinked appointment kept:" << error.description();
        }
        throw;
    }
    result.taskUpdated = addActualWork(result.minutes);
    return result;
}

void clsAutoAppointment::insertLinks(const QString &entryId, int minutes)
{
    if (m_card.id == 0)
        return;
    db::Transaction transaction(m_cnnLink);
    m_insertTimedLink.execute({entryId, m_card.id});
    m_insertAppointment.execute({m_card.journalEntryId, m_card.id, entryId, m_segment.start.date(),
                                 m_segment.start.time(), m_segment.end.date(), m_segment.end.time(),
                                 minutes});
    transaction.commit();
}

bool clsAutoAppointment::addActualWork(int minutes)
{
    if (m_card.activeTaskId == 0)
        return false;
    const auto rows = m_taskEntryId.all({m_card.activeTaskId});
    if (rows.size() != 1)
        return false;
    const QString entryId = rows.front().value(0).toString();
    try {
        const pim::Folder &tasks = resolvedFolder(m_session, FolderSlot::Tasks, "Tasks");
        std::unique_ptr<pim::Item> item =
            m_session.nameSpace().itemFromId(entryId, tasks.storeId());
        auto *task = dynamic_cast<pim::TaskItem *>(item.get());
        if (!task)
            return false;
        task->setActualWork(task->ActualWork() + minutes);
        task->Close(0);
        return true;
    } catch (const QvError &error) {
        qCInfo(lcTimeDetail).noquote()
            << "task" << entryId << "passed over:" << error.description();
        return false;
    }
}

std::vector<JournalAppointment>
clsAutoAppointment::AppointmentsOfJournalEntry(const QString &journalEntryId)
{
    std::vector<JournalAppointment> list;
    for (const QSqlRecord &row : m_journalAppointments.all({journalEntryId})) {
        JournalAppointment a;
        a.journalEntryId = row.value(QStringLiteral("JournalEntryID")).toString();
        a.timeCardId = row.value(QStringLiteral("TimeCardID")).toInt();
        a.entryId = row.value(QStringLiteral("EntryID")).toString();
        a.start = QDateTime(row.value(QStringLiteral("StartDate")).toDate(),
                            row.value(QStringLiteral("StartTime")).toTime());
        a.end = QDateTime(row.value(QStringLiteral("EndDate")).toDate(),
                          row.value(QStringLiteral("EndTime")).toTime());
        a.duration = row.value(QStringLiteral("Duration")).toInt();
        list.push_back(std::move(a));
    }
    std::sort(
        list.begin(), list.end(),
        [](const JournalAppointment &l, const JournalAppointment &r) { return l.start < r.start; });
    return list;
}

} // namespace quorvale
