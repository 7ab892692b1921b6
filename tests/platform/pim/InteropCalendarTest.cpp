#include "IcalFixture.h"
#include "platform/pim/AppointmentItem.h"
#include "platform/pim/Items.h"
#include "platform/pim/JournalItem.h"
#include "platform/pim/TaskItem.h"
#include "testsupport/ExternalTool.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimeZone>

using namespace quorvale;
using namespace quorvale::pim;

namespace {

// The real calendar clients, each with its own configuration and home in the
// scratch directory so nothing of the person's own files is read or touched.
class InteropCalendarTest : public test::IcalFixture {
protected:
    QString home = dir.filePath(QStringLiteral("home"));

    void SetUp() override
    {
        QDir().mkpath(home + QStringLiteral("/.config/khal"));
        QDir().mkpath(home + QStringLiteral("/.config/todoman"));
        QDir().mkpath(home + QStringLiteral("/.local/share/khal"));
        write(home + QStringLiteral("/.config/khal/config"),
              QStringLiteral("[calendars]\n[[work]]\npath = %1\ntype = calendar\n"
                             "[locale]\ntimeformat = %H:%M\ndateformat = %Y-%m-%d\n"
                             "longdateformat = %Y-%m-%d\ndatetimeformat = %Y-%m-%d %H:%M\n"
                             "longdatetimeformat = %Y-%m-%d %H:%M\nlocal_timezone = UTC\n"
                             "default_timezone = UTC\n[default]\ndefault_calendar = work\n")
                  .arg(folder(DefaultFolder::Calendar).path())
                  .toUtf8());
        write(home + QStringLiteral("/.config/todoman/config.py"),
              QStringLiteral("path = \"%1\"\ndate_format = \"%Y-%m-%d\"\ntime_format = \"%H:%M\"\n"
                             "default_list = \"Tasks\"\n")
                  .arg(folder(DefaultFolder::Tasks).path())
                  .toUtf8());
    }

    // Exit code and standard output; -1 when the client did not run.
    std::pair<int, QString> run(const QString &program, const QStringList &args)
    {
        QProcess process;
        QProcessEnvironment env = test::scratchHomeEnvironment(home);
        env.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
        process.setProcessEnvironment(env);
        process.start(program, args);
        if (!process.waitForFinished(60000))
            return {-1, QString()};
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        if (process.exitCode() != 0)
            ADD_FAILURE() << program.toStdString()
                          << " failed: " << process.readAllStandardError().toStdString()
                          << out.toStdString();
        return {process.exitCode(), out};
    }
};

TEST_F(InteropCalendarTest, KhalListsOurAppointmentsAndWeReadItsEvents)
{
    QV_NEED_TOOL("khal");
    const QDateTime start(QDate(2031, 3, 4), QTime(10, 0), QTimeZone::utc());
    auto appt = add<AppointmentItem>(DefaultFolder::Calendar);
    appt->setSubject(QStringLiteral("Acme: time detail"));
    appt->setStart(start.toLocalTime());
    appt->setDuration(45);
    appt->setLinks(
        {{QStringLiteral("Ann Lee"), QStringLiteral("c/ann.vcf"), QStringLiteral("u1")}});
    appt->userProperties().setValue(QStringLiteral("TimeCardID"), UserPropertyType::Number, 7.0);
    appt->Save();

    const auto [code, listed] =
        run(QStringLiteral("khal"),
            {QStringLiteral("list"), QStringLiteral("2031-03-04"), QStringLiteral("2031-03-05")});
    ASSERT_EQ(code, 0);
    EXPECT_TRUE(listed.contains(QStringLiteral("Acme: time detail"))) << listed.toStdString();
    EXPECT_TRUE(listed.contains(QStringLiteral("10:00"))) << listed.toStdString();

    const auto [newCode, newOut] =
        run(QStringLiteral("khal"), {QStringLiteral("new"), QStringLiteral("2031-03-05 14:00"),
                                     QStringLiteral("15:30"), QStringLiteral("From khal")});
    ASSERT_EQ(newCode, 0) << newOut.toStdString();
    std::unique_ptr<Item> found = Items(folder(DefaultFolder::Calendar))
                                      .Find(QStringLiteral("Subject"), QStringLiteral("From khal"));
    auto *made = dynamic_cast<AppointmentItem *>(found.get());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Start().toUTC(), QDateTime(QDate(2031, 3, 5), QTime(14, 0), QTimeZone::utc()));
    EXPECT_EQ(made->Duration(), 90);
    EXPECT_EQ(made->MeetingStatus(), 0);
    // Ours after a rewrite by another client keeps what we wrote.
    auto ours = reread<AppointmentItem>(*appt);
    ASSERT_TRUE(ours);
    EXPECT_EQ(ours->Links().size(), 1);
    EXPECT_EQ(ours->property(QStringLiteral("TimeCardID")), QVariant(7.0));
}

TEST_F(InteropCalendarTest, TodomanListsAndCompletesOurTasks)
{
    QV_NEED_TOOL("todoman");
    auto task = add<TaskItem>(DefaultFolder::Tasks);
    task->setSubject(QStringLiteral("Send the invoice"));
    task->setDueDate(QDateTime(QDate(2031, 1, 2), QTime(12, 0)));
    task->setImportance(2);
    task->setStatus(1);
    task->setActualWork(30);
    task->Save();

    const auto [code, listed] =
        run(QStringLiteral("todoman"), {QStringLiteral("--porcelain"), QStringLiteral("list")});
    ASSERT_EQ(code, 0);
    ASSERT_TRUE(listed.contains(QStringLiteral("Send the invoice"))) << listed.toStdString();
    const QRegularExpressionMatch id =
        QRegularExpression(QStringLiteral("\"id\": (\\d+)")).match(listed);
    ASSERT_TRUE(id.hasMatch()) << listed.toStdString();

    const auto [doneCode, doneOut] =
        run(QStringLiteral("todoman"), {QStringLiteral("done"), id.captured(1)});
    ASSERT_EQ(doneCode, 0) << doneOut.toStdString();
    auto read = reread<TaskItem>(*task);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Status(), 2);
    EXPECT_TRUE(read->Complete());
    EXPECT_EQ(read->ActualWork(), 30);
    EXPECT_EQ(read->Subject(), QStringLiteral("Send the invoice"));
}

TEST_F(InteropCalendarTest, TodomanListsATaskPastedWithControlCharactersWithoutThem)
{
    QV_NEED_TOOL("todoman");
    auto task = add<TaskItem>(DefaultFolder::Tasks);
    task->setSubject(QStringLiteral("Pay\x1b[2J\x1b]0;owned\x07 now") + QChar(0x9b) +
                     QStringLiteral("31m\x01") + QChar(0x00) + QChar(0x85) +
                     QStringLiteral(" later"));
    task->setDueDate(QDateTime(QDate(2031, 1, 2), QTime(12, 0)));
    task->Save();

    const auto [code, listed] = run(QStringLiteral("todoman"), {QStringLiteral("list")});
    ASSERT_EQ(code, 0);
    EXPECT_TRUE(listed.contains(QStringLiteral("Pay[2J]0;owned now31m later")))
        << listed.toStdString();
    for (const QChar c : listed)
        EXPECT_TRUE(c.category() != QChar::Other_Control || c == u'\n')
            << "U+" << std::hex << int(c.unicode());
}

TEST_F(InteropCalendarTest, AnEditByAnotherWriterReadsBack)
{
    QV_NEED_TOOL("python3");
    auto entry = add<JournalItem>(DefaultFolder::Journal);
    entry->setSubject(QStringLiteral("Before"));
    entry->setStart(QDateTime(QDate(2030, 1, 1), QTime(8, 0)));
    entry->setDuration(60);
    entry->Save();
    // An independent writer: plain line edits, as a sync tool might make them.
    const QString script = QStringLiteral(
        "import sys\np=sys.argv[1]\nt=open(p,newline='').read()\n"
        "t=t.replace('SUMMARY:Before','SUMMARY:After')\n"
        "t=t.replace('END:VJOURNAL','X-SYNC-TOOL;ETAG=\"1\":kept\\r\\nEND:VJOURNAL')\n"
        "open(p,'w',newline='').write(t)\n");
    const auto [code, out] =
        run(QStringLiteral("python3"), {QStringLiteral("-c"), script, entry->filePath()});
    ASSERT_EQ(code, 0) << out.toStdString();
    auto read = reread<JournalItem>(*entry);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Subject(), QStringLiteral("After"));
    EXPECT_EQ(read->Duration(), 60);
    read->setType(QStringLiteral("Task"));
    read->Save();
    EXPECT_TRUE(contentOf(read->filePath()).contains("X-SYNC-TOOL;ETAG=\"1\":kept"));
}

} // namespace
