#include "data/DataStore.h"
#include "data/DatabaseSettings.h"
#include "outlook/AutoAppointment.h"
#include "outlook/JournalProcessing.h"
#include "outlook/NewJournalEntry.h"
#include "outlook/OutlookSession.h"
#include "outlook/ProgramStoreFixture.h"
#include "platform/pim/AppointmentItem.h"
#include "platform/pim/ContactItem.h"
#include "platform/pim/Items.h"
#include "platform/pim/JournalItem.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/TaskItem.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

// A real program database made by the administrator tool, a real item store
// and the connection every item operation goes through.
class JournalTimeDetailTest : public test::ProgramStoreFixture {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(openProgramAndStore());
        card.id = static_cast<qint32>(
            cnn().insertReturningKey("INSERT INTO tblTimeCards (UserId, Description) VALUES (1, ?)",
                                     {"kept as stored"}, "TimeCardID"));
    }

    QVariant column(const QString &sql, const QVariantList &params = {})
    {
        return cnn().scalar(sql, params);
    }
    const pim::Folder &folder(FolderSlot slot) { return *session.folder(slot); }
    // Read as another run of the program would: from the files alone.
    template <typename Kind> std::unique_ptr<Kind> reread(const QString &entryId)
    {
        pim::Namespace fresh(root, false);
        std::unique_ptr<pim::Item> item = fresh.itemFromId(entryId, {});
        return std::unique_ptr<Kind>(dynamic_cast<Kind *>(item.release()));
    }
    QString newEntry()
    {
        const auto fields = NewJournalEntry(session, {"Task", "None", "Ann O'Hara"},
                                            QDateTime(QDate(2031, 3, 4), QTime(8, 0)));
        cnn().execute("UPDATE tblTimeCards SET JournalEntryID = ? WHERE TimeCardID = ?",
                      {fields->entryId, card.id});
        card.journalEntryId = fields->entryId;
        return fields->entryId;
    }

    const UserPropertyTerms terms{"Project", true, "Phase", false, "Job Order"};
    TimeCardSnapshot card = [] {
        TimeCardSnapshot c;
        c.description = "He said \"stop\"; then left, quickly";
        c.timeSpent = Duration::fromSeconds(90 * 60);
        c.startDate = QDate(2031, 3, 4);
        c.startTime = QTime(9, 0);
        c.endDate = QDate(2031, 3, 4);
        c.endTime = QTime(10, 30);
        c.billStatus = "Billable";
        c.rateSource = "Staff Rates";
        c.rate = Money::fromWhole(120);
        c.value = Money::fromUnits(1800005);
        c.rateLevel = "3";
        c.realization = Realization::fromPercent(85);
        c.entryType = "Phone call";
        c.category = "Clients; \"A\", Phone";
        c.userName = "Ann O'Hara";
        c.contactAccount = "ACC;7,\"x\"";
        c.activity1Name = "Design; \"phase 2\", v1";
        c.jobOrder = "123-45-6789";
        return c;
    }();
    // iCalendar files keep line ends as "\n" and drop a subject's last blank.
    const ItemTexts texts{"Ann O'Hara: Design; \"phase 2\":", "Description: \nHe said \"stop\";\n"};
};

TEST_F(JournalTimeDetailTest, JournalEntryTakesItsTextsFromTheJournalTemplatesOnce)
{
    const QString entryId = newEntry();
    ItemVariables variables;
    variables.description = "Drafted the lease";
    variables.userName = "Ann O'Hara";
    PendingTimeDetail expectedPending;
    expectedPending.set("09:00-10:14");
    TemplateContext expectedContext{{}, {}, true, &expectedPending, {}, {}};
    const QString subject =
        FormatSubject(TemplateKind::Journal, variables, nullptr, expectedContext);
    const QString body = FormatBody(TemplateKind::Journal, variables, nullptr, expectedContext);
    ASSERT_TRUE(subject.contains("09:00-10:14"));

    PendingTimeDetail pending;
    pending.set("09:00-10:14");
    TemplateContext context{{}, {}, true, &pending, {}, {}};
    clsJournalProcessing journal(session, cnn(), {terms, false});
    const auto result = journal.ProcessJournalEntry(card, variables, context);
    EXPECT_EQ(result.outcome, clsJournalProcessing::Outcome::Rewritten);
    EXPECT_TRUE(pending.isEmpty());
    auto entry = reread<pim::JournalItem>(entryId);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->Subject(), subject.trimmed());
    EXPECT_EQ(entry->Body(), QString(body).replace("\r\n", "\n"));
}

TEST_F(JournalTimeDetailTest, JournalEntryIsCreatedAndRewrittenWithItsUserProperties)
{
    const QString entryId = newEntry();
    auto created = reread<pim::JournalItem>(entryId);
    ASSERT_TRUE(created);
    EXPECT_EQ(created->Subject() + created->Type(), "New Quorvale TimeCardTask");

    clsJournalProcessing journal(session, cnn(), {terms, true});
    const auto result = journal.ProcessJournalEntry(card, texts);
    EXPECT_EQ(result.outcome, clsJournalProcessing::Outcome::Rewritten);
    EXPECT_EQ(result.fields.entryId, entryId);

    QFile file(created->filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("X-QUORVALE-TIMECARDID"));
    auto entry = reread<pim::JournalItem>(entryId);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->Subject(), texts.subject);
    EXPECT_EQ(entry->Body(), texts.body);
    EXPECT_EQ(entry->Start(), QDateTime(QDate(2031, 3, 4), QTime(9, 0)));
    EXPECT_EQ(entry->Duration(), 90);
    EXPECT_EQ(entry->Type(), "Phone call");
    EXPECT_EQ(entry->CategoriesText(), card.category);
    EXPECT_EQ(entry->BillingInformation(), card.contactAccount);
    const auto &p = entry->userProperties();
    EXPECT_EQ(p.value("TimeCardID"), QVariant(double(card.id)));
    EXPECT_EQ(p.value("QuorvaleID"), QVariant(entryId));
    EXPECT_EQ(p.value("Project"), QVariant(card.activity1Name));
    EXPECT_FALSE(p.Find("Phase"));
    EXPECT_EQ(p.value("Job Order"), QVariant("123-45-6789"));
    EXPECT_EQ(p.value("Time Spent"), QVariant("001:30:00"));
    EXPECT_EQ(p.value("Time Estimated"), QVariant("000:00:00"));
    EXPECT_EQ(p.value("Value").value<Money>(), card.value);
    EXPECT_EQ(p.value("Rate Level"), QVariant(3.0));
    EXPECT_EQ(p.value("Realization"), QVariant(0.85));

    // Billing turned off, and an end before the start: the figures go, the end
    // follows the time spent.
    card.endDate = QDate(2031, 3, 3);
    journal.setOptions({terms, false});
    journal.ProcessJournalEntry(card, texts);
    entry = reread<pim::JournalItem>(entryId);
    EXPECT_FALSE(entry->userProperties().Find("Value"));
    EXPECT_EQ(entry->End(), QDateTime(QDate(2031, 3, 4), QTime(10, 30)));
}

TEST(JournalFormatTimeSpent, ReadsBothTimeForms)
{
    const std::pair<const char *, int> cases[] = {
        {"1:30:00", 90}, {"0013000", 90},   {"001:30:29", 90}, {"0013030", 91},
        {"", 0},         {"1000000", 6000}, {"x:y:z", 0},
    };
    for (const auto &[text, minutes] : cases)
        EXPECT_EQ(clsJournalProcessing::FormatTimeSpent(
                      Duration::fromColumnOrZero(QString::fromLatin1(text))),
                  minutes)
            << text;
    EXPECT_EQ(clsJournalProcessing::FormatTimeSpent(
                  Duration::fromColumnOrZero(QStringLiteral("  13000"))),
              90)
        << "blanks count as 0";
}

TEST_F(JournalTimeDetailTest, DeletedJournalEntryIsRecreatedAndTheTimeCardPointsAtIt)
{
    const QString oldId = newEntry();
    cnn().execute(
        "INSERT INTO tblAppointments (JournalEntryID, TimeCardID, EntryID) VALUES (?, ?, 'a')",
        {oldId, card.id});
    ASSERT_TRUE(QFile::remove(reread<pim::JournalItem>(oldId)->filePath()));

    clsJournalProcessing journal(session, cnn(), {terms, false});
    const auto result = journal.ProcessJournalEntry(card, texts);

    EXPECT_EQ(result.outcome, clsJournalProcessing::Outcome::Recreated);
    const QString newId = result.fields.entryId;
    EXPECT_NE(newId, oldId);
    auto recreated = reread<pim::JournalItem>(newId);
    EXPECT_EQ(recreated ? recreated->Subject() : QString(), texts.subject);
    EXPECT_EQ(column("SELECT JournalEntryID FROM tblTimeCards WHERE TimeCardID = ?", {card.id}),
              QVariant(newId));
    EXPECT_EQ(column("SELECT Description FROM tblTimeCards WHERE TimeCardID = ?", {card.id}),
              QVariant("kept as stored"));
    EXPECT_EQ(column("SELECT JournalEntryID FROM tblAppointments"), QVariant(newId));
}

TEST_F(JournalTimeDetailTest, StoreGoneIsReconnectedOrReported)
{
    newEntry();
    clsJournalProcessing journal(session, cnn(), {terms, false});

    // Root removed: reconnecting makes a store there again, and the entry anew.
    ASSERT_TRUE(QDir(root).removeRecursively());
    const auto result = journal.ProcessJournalEntry(card, texts);
    EXPECT_EQ(result.outcome, clsJournalProcessing::Outcome::Recreated);
    EXPECT_TRUE(reread<pim::JournalItem>(result.fields.entryId));

    // Root blocked by a file: 10321, and the TimeCard keeps its entry.
    ASSERT_TRUE(QDir(root).removeRecursively());
    QFile blocker(root);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    card.journalEntryId = result.fields.entryId;
    try {
        journal.ProcessJournalEntry(card, texts);
        ADD_FAILURE() << "no error for an unreachable store";
    } catch (const QvError &error) {
        EXPECT_EQ(error.number(), ErrorNumber::OutlookInstance);
    }
    EXPECT_EQ(column("SELECT JournalEntryID FROM tblTimeCards WHERE TimeCardID = ?", {card.id}),
              QVariant(result.fields.entryId));
}

class AutoAppointmentTest : public JournalTimeDetailTest {
protected:
    // khal's view of the TimeCard Appointments folder on that day.
    QString khalList(const QString &day)
    {
        QFile config(dir.filePath("khal.conf"));
        if (!config.open(QIODevice::WriteOnly))
            return {};
        config.write(
            QStringLiteral("[calendars]\n[[tc]]\npath = %1\n[sqlite]\npath = %2\n[locale]\n"
                           "timeformat = %H:%M\ndateformat = %Y-%m-%d\n"
                           "longdateformat = %Y-%m-%d\ndatetimeformat = %Y-%m-%d %H:%M\n"
                           "longdatetimeformat = %Y-%m-%d %H:%M\n")
                .arg(folder(FolderSlot::TimeCardAppointments).path(), dir.filePath("khal.db"))
                .toUtf8());
        config.close();
        QProcess khal;
        khal.start("khal", {"-c", config.fileName(), "list", day, "1d"});
        khal.waitForFinished(60000);
        return QString::fromUtf8(khal.readAllStandardOutput());
    }
    int linkRows() { return column("SELECT COUNT(*) FROM tblTimedAppointments").toInt(); }

    const AppointmentOptions options{terms, true, "Out of office"};
    const TimedSegment segment{QDateTime(QDate(2031, 3, 4), QTime(9, 0)),
                               QDateTime(QDate(2031, 3, 4), QTime(10, 14, 40))};
};

TEST_F(AutoAppointmentTest, TimedRunLeavesOneLinkedAppointmentAndGrowsTheTask)
{
    auto contact = pim::newItem(folder(FolderSlot::Contacts));
    auto *person = dynamic_cast<pim::ContactItem *>(contact.get());
    person->setFullName("Bo \"Jr\" Smith");
    person->setCompanyName("Acme; Ltd, Inc");
    person->Save();
    auto taskItem = pim::newItem(folder(FolderSlot::Tasks));
    auto *task = dynamic_cast<pim::TaskItem *>(taskItem.get());
    task->setSubject("Call back");
    task->setActualWork(30);
    task->Save();
    card.contactEntryId = person->EntryID();
    card.journalEntryId = "journal/entry.ics";
    card.activeTaskId = static_cast<qint32>(
        cnn().insertReturningKey("INSERT INTO tblTasks (EntryID, TimeCardID) VALUES (?, ?)",
                                 {task->EntryID(), card.id}, "TaskID"));

    ItemVariables variables;
    PendingTimeDetail pending;
    pending.set("09:00-10:14");
    TemplateContext context{{}, {}, true, &pending, {}, {}};
    clsAutoAppointment timeDetail(session, cnn(), options);
    const auto result = timeDetail.ProcessAppointment(card, segment, variables, context);

    ASSERT_TRUE(result.written);
    EXPECT_EQ(result.minutes, 75);
    EXPECT_TRUE(result.taskUpdated);
    EXPECT_EQ(reread<pim::TaskItem>(task->EntryID())->ActualWork(), 105);
    auto appointment = reread<pim::AppointmentItem>(result.entryId);
    ASSERT_TRUE(appointment);
    EXPECT_EQ(appointment->Subject(), "Bo \"Jr\" Smith: 09:00-10:14");
    EXPECT_TRUE(pending.isEmpty());
    EXPECT_EQ(appointment->Start(), segment.start);
    EXPECT_EQ(appointment->End(), segment.end);
    EXPECT_EQ(appointment->BusyStatus(), 3);
    EXPECT_FALSE(appointment->ReminderSet());
    EXPECT_EQ(appointment->CategoriesText(), card.category);
    EXPECT_EQ(appointment->Companies(), "Acme; Ltd, Inc");
    EXPECT_EQ(appointment->BillingInformation(), card.contactAccount);
    ASSERT_EQ(appointment->Links().size(), 1);
    EXPECT_EQ(appointment->Links().front().name, "Bo \"Jr\" Smith");
    EXPECT_EQ(appointment->userProperties().value("QuorvaleID"), QVariant(result.entryId));
    EXPECT_EQ(appointment->userProperties().value("Project"), QVariant(card.activity1Name));

    EXPECT_EQ(linkRows(), 1);
    EXPECT_EQ(
        column("SELECT TimeCardID FROM tblTimedAppointments WHERE EntryID = ?", {result.entryId}),
        QVariant(card.id));
    const auto kept = timeDetail.AppointmentsOfJournalEntry(card.journalEntryId);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept.front().entryId, result.entryId);
    EXPECT_EQ(kept.front().duration, 75);
    EXPECT_EQ(kept.front().start, segment.start);

    if (!QStandardPaths::findExecutable("khal").isEmpty()) {
        EXPECT_TRUE(khalList("2031-03-04").contains("Bo \"Jr\" Smith: 09:00-10:14"));
    }

    // Without an active task no task is touched.
    card.activeTaskId = 0;
    EXPECT_FALSE(timeDetail.ProcessAppointment(card, segment, texts).taskUpdated);
    EXPECT_EQ(reread<pim::TaskItem>(task->EntryID())->ActualWork(), 105);
    EXPECT_EQ(linkRows(), 2);
}

TEST_F(AutoAppointmentTest, FailedLinkLeavesNeitherRowsNorAppointment)
{
    cnn().execute("CREATE TEMP TRIGGER refuse BEFORE INSERT ON link0.tblAppointments "
                  "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    clsAutoAppointment timeDetail(session, cnn(), options);
    EXPECT_THROW(timeDetail.ProcessAppointment(card, segment, texts), QvError);
    EXPECT_EQ(linkRows(), 0);
    EXPECT_EQ(pim::Items(folder(FolderSlot::TimeCardAppointments)).Count(), 0);
}

} // namespace

namespace {

// With no card to name the client and no note for the run, the templates make
// no title: the items are titled from the TimeCard instead of standing blank.
TEST_F(AutoAppointmentTest, ItemsTheTemplatesLeaveUntitledAreTitledFromTheTimeCard)
{
    ItemVariables variables;
    static_cast<TimeCardSnapshot &>(variables) = card;
    variables.contactName = "Abernathy & Sons; \"Joinery\"";
    variables.activity2Name = "Website";
    TemplateContext context{{}, {}, true, nullptr, {}, {}};
    clsAutoAppointment timeDetail(session, cnn(), options);
    const auto result = timeDetail.ProcessAppointment(card, segment, variables, context);
    ASSERT_TRUE(result.written);
    EXPECT_EQ(reread<pim::AppointmentItem>(result.entryId)->Subject(),
              "Abernathy & Sons; \"Joinery\": Design; \"phase 2\", v1, Website");
    if (!QStandardPaths::findExecutable("khal").isEmpty()) {
        EXPECT_TRUE(khalList("2031-03-04").contains("Abernathy & Sons; \"Joinery\": Design"));
    }

    const QString entryId = newEntry();
    variables.description = "Fitted the doors\nand the frames";
    clsJournalProcessing journal(session, cnn(), {terms, false});
    journal.ProcessJournalEntry(card, variables, context);
    EXPECT_EQ(reread<pim::JournalItem>(entryId)->Subject(),
              "Abernathy & Sons; \"Joinery\": Fitted the doors");

    // Nothing at all to go by: still a title a person can find.
    ItemVariables bare;
    bare.id = 42;
    EXPECT_EQ(bare.journalSubjectFallback(), "TimeCard 42");
    EXPECT_EQ(bare.timeDetailSubjectFallback(), "TimeCard 42");
    bare.description = "Only this";
    EXPECT_EQ(bare.timeDetailSubjectFallback(), "Only this");
}

} // namespace
