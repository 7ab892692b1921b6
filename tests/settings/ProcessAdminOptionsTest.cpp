#include "SettingsFixture.h"
#include "data/AdminOptionOrdinals.h"
#include "settings/AdminSettings.h"
#include "settings/PreparedCommands.h"

#include <QSqlRecord>

using namespace quorvale;
using namespace quorvale::test;

namespace {

// On the demonstration office: contacts, activities of their own and shared
// ones, TimeCards, users and staff levels.
class ProcessAdminOptionsTest : public SettingsFixture {
protected:
    ProcessAdminOptionsTest() : SettingsFixture(true) {}

    void process()
    {
        ASSERT_TRUE(RetrieveAdminSettings(adminOptions(), link(), options, *errors));
        ASSERT_TRUE(ProcessAdminOptions(link(), options, commands, *errors));
    }

    static QStringList column(const std::vector<QSqlRecord> &rows, const char *name)
    {
        QStringList values;
        for (const QSqlRecord &r : rows)
            values << r.value(QLatin1String(name)).toString();
        return values;
    }

    PreparedCommands commands;
};

TEST_F(ProcessAdminOptionsTest, ActivityListsTakeTheContactOnlyWhenSomeActivityHasOne)
{
    process();
    ASSERT_TRUE(commands.activity1ListTakesContact);
    EXPECT_EQ(commands.activity1List->sql(),
              QStringLiteral("Select ActivityID,ActivityName,ActivityNumber From "
                             "tblMainActivities WHERE (ContactID = ? OR ContactID Is Null) "
                             "AND Active <> 0 ORDER BY ActivityName"));
    const int contactId = scalar("SELECT MIN(ContactID) FROM tblMainActivities").toInt();
    const auto offered = commands.activity1List->all({contactId});
    ASSERT_FALSE(offered.empty());
    EXPECT_EQ(offered.size(),
              scalar(QStringLiteral("SELECT COUNT(*) FROM tblMainActivities WHERE (ContactID = ? "
                                    "OR ContactID IS NULL) AND Active <> 0"),
                     {contactId})
                  .toULongLong());
    QStringList names = column(offered, "ActivityName");
    QStringList sorted = names;
    sorted.sort();
    EXPECT_EQ(names, sorted);

    exec("UPDATE tblMainActivities SET ContactID = NULL");
    setOption(AdminOption::Activity1SortByNumber, true);
    process();
    EXPECT_FALSE(commands.activity1ListTakesContact);
    EXPECT_EQ(commands.activity1List->sql(),
              QStringLiteral("Select ActivityID,ActivityName,ActivityNumber From "
                             "tblMainActivities WHERE Active <> 0 ORDER BY ActivityNumber"));
    const auto all = commands.activity1List->all();
    EXPECT_EQ(all.size(),
              scalar("SELECT COUNT(*) FROM tblMainActivities WHERE Active <> 0").toULongLong());
    names = column(all, "ActivityNumber");
    sorted = names;
    sorted.sort();
    EXPECT_EQ(names, sorted);
}

TEST_F(ProcessAdminOptionsTest, TheActivity2ListFollowsItsOwnTable)
{
    exec("UPDATE tblSubActivities SET ContactID = NULL");
    process();
    EXPECT_TRUE(commands.activity1ListTakesContact);
    EXPECT_FALSE(commands.activity2ListTakesContact);
    EXPECT_FALSE(commands.activity2List->sql().contains(u'?'));
    EXPECT_TRUE(commands.activity2List->sql().contains("tblSubActivities"));
}

TEST_F(ProcessAdminOptionsTest, TheLookupsRunWithTheirKeysBound)
{
    process();
    const QVariant timeCardId =
        scalar(QStringLiteral("SELECT MIN(TimeCardID) FROM tblTimeCards WHERE ContactID IS NOT "
                              "NULL AND Activity1ID IS NOT NULL"));
    const auto keys = commands.timeCardKeys->first({timeCardId});
    ASSERT_TRUE(keys);
    const QVariant contactId = keys->value("ContactID");
    const QVariant activityId = keys->value("Activity1ID");

    const auto contact = commands.contact->first({contactId});
    ASSERT_TRUE(contact);
    EXPECT_EQ(contact->value("ContactName"),
              scalar("SELECT ContactName FROM tblContacts WHERE ContactID = ?", {contactId}));

    db::Command *contactRates = commands.ratesFor(options.terms.contact + " Rates", options.terms);
    ASSERT_EQ(contactRates, commands.contactRates.get());
    const auto rates = contactRates->first({contactId});
    ASSERT_TRUE(rates);
    EXPECT_EQ(
        rates->value("Rate3").toLongLong(),
        scalar("SELECT Rate3 FROM tblContacts WHERE ContactID = ?", {contactId}).toLongLong());

    EXPECT_EQ(commands.ratesFor("Staff Rates", options.terms), commands.staffRates.get());
    EXPECT_EQ(commands.ratesFor("Staff Level Rates", options.terms),
              commands.staffLevelRates.get());
    EXPECT_EQ(commands.ratesFor(options.terms.activity2 + " Rates", options.terms),
              commands.activity2Rates.get());
    EXPECT_EQ(commands.ratesFor("Flat Fee", options.terms), nullptr);
    EXPECT_TRUE(commands.staffRates->first({initialUserId}));

    const auto name = commands.activity1Name->first({activityId});
    ASSERT_TRUE(name);
    EXPECT_FALSE(name->value(0).toString().isEmpty());

    // A key that is text from outside stays a value, whatever it holds.
    EXPECT_TRUE(commands.journalAppointments->all({"x' OR '1'='1"}).empty());
    const qlonglong taskId =
        link().insertReturningKey("INSERT INTO tblTasks (EntryID, TimeCardID) VALUES (?, ?)",
                                  {"task-'1'", timeCardId}, "TaskID");
    const auto tasks = commands.tasksOfTimeCard->all({timeCardId});
    ASSERT_EQ(tasks.size(), 1u);
    EXPECT_EQ(tasks.front().value("TaskID").toLongLong(), taskId);
    EXPECT_EQ(commands.taskEntryId->first({taskId})->value(0).toString(), "task-'1'");
}

} // namespace
