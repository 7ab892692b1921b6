#include "SettingsFixture.h"
#include "data/AdminOptionOrdinals.h"
#include "platform/registry/RegistryPaths.h"
#include "settings/RegistrySettings.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

using namespace quorvale;
using namespace quorvale::test;

namespace {

const QString kMissingTitle = "Missing Quorvale User";
const QString kMissingText = "No user account found.  See your Quorvale Administrator.";

class GetRegSettingsTest : public SettingsFixture {
protected:
    void expectOnlyMessage(const QString &title, const QString &text)
    {
        ASSERT_EQ(prompts.messages().size(), 1);
        EXPECT_EQ(prompts.messages().front().title, title);
        EXPECT_EQ(prompts.messages().front().text, text);
        EXPECT_TRUE(reports().isEmpty());
        EXPECT_TRUE(endedWith.empty());
    }

    // Switches on one of the administrator's rate sources, or none for 0.
    void chooseRateSource(int choice)
    {
        for (int o : {AdminOption::RateSourceContact, AdminOption::RateSourceStaff,
                      AdminOption::RateSourceStaffLevel, AdminOption::RateSourceActivity1})
            setOption(o, o == choice);
    }

    void useOptions(bool contact, bool activity1, bool activity2)
    {
        setOption(AdminOption::ContactInUse, contact);
        setOption(AdminOption::Activity1InUse, activity1);
        setOption(AdminOption::Activity2InUse, activity2);
    }
};

TEST_F(GetRegSettingsTest, AnEmptySettingsFileFailsOnlyOnTheUserLookup)
{
    settings.settings.formWidth = 1; // must stay: a failed read changes nothing

    EXPECT_FALSE(getRegSettings());

    expectOnlyMessage(kMissingTitle, kMissingText);
    EXPECT_EQ(settings.settings.formWidth, 1);
    // The administrator options were read before the user was looked for.
    EXPECT_EQ(options.terms.contact, "Client");
    // Reading wrote nothing: the settings file was never created.
    EXPECT_FALSE(QFileInfo::exists(registry.filePath()));
}

TEST_F(GetRegSettingsTest, AUserIdThatIsNotOneKnownNumberFindsNoUser)
{
    for (const QString &id :
         QStringList{"4711", "abc", "1 OR 1=1", "1; DELETE FROM tblUsers", QString()}) {
        key(RegistryPaths::License).writeText("User ID", id);
        EXPECT_FALSE(getRegSettings()) << id.toStdString();
    }
    ASSERT_EQ(prompts.messages().size(), 5);
    for (const auto &m : prompts.messages()) {
        EXPECT_EQ(m.title, kMissingTitle);
        EXPECT_EQ(m.text, kMissingText);
    }
    EXPECT_TRUE(reports().isEmpty());
    EXPECT_TRUE(endedWith.empty());
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM tblUsers").toInt(), 1);
}

TEST_F(GetRegSettingsTest, AnInactiveUserMayNotLogOn)
{
    logOnAsInitialUser();
    exec("UPDATE tblUsers SET Active = 0 WHERE UserID = ?", {initialUserId});

    EXPECT_FALSE(getRegSettings());
    expectOnlyMessage("Inactive Quorvale User", "No logon allowed.  Inactive user.");
}

TEST_F(GetRegSettingsTest, AnActiveUserKeepsStaffAndPermissionAndGetsNameAndEntryIdWrittenBack)
{
    logOnAsInitialUser();
    key(RegistryPaths::License).writeText("User Name", "Ann");
    exec("UPDATE tblUsers SET UserEntryID = ? WHERE UserID = ?", {"EID-'7'", initialUserId});

    ASSERT_TRUE(getRegSettings());

    EXPECT_TRUE(prompts.messages().isEmpty());
    EXPECT_EQ(settings.userId, initialUserId);
    EXPECT_EQ(settings.staffId,
              scalar("SELECT StaffID FROM tblUsers WHERE UserID = ?", {initialUserId}).toInt());
    EXPECT_GT(settings.permissionId, 0);
    EXPECT_EQ(settings.license.userName, "Ann O'Hara");
    EXPECT_EQ(settings.license.userEid, "EID-'7'");
    Registry reread(registry.filePath());
    const RegistryKey license = reread.openSubKey("License");
    EXPECT_EQ(license.readText("User Name"), "Ann O'Hara");
    EXPECT_EQ(license.readText("User EID"), "EID-'7'");
}

TEST_F(GetRegSettingsTest, NothingIsWrittenWhenTheUserRowMatchesTheSettings)
{
    logOnAsInitialUser();
    key(RegistryPaths::License).writeText("User Name", "Ann O'Hara");
    key(RegistryPaths::License).writeText("User EID", QString());
    QFile file(registry.filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QByteArray before = file.readAll();
    const QDateTime old = QDateTime::currentDateTime().addDays(-3);
    ASSERT_TRUE(file.setFileTime(old, QFileDevice::FileModificationTime));
    file.close();

    ASSERT_TRUE(getRegSettings());

    EXPECT_EQ(QFileInfo(registry.filePath()).lastModified(), old);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

TEST_F(GetRegSettingsTest, ReadsEveryValueUnderItsOwnName)
{
    logOnAsInitialUser();
    key("Defaults\\Journal").writeText("Default Category", "J");
    key("Defaults\\Journal").writeText("Default Entry Type", "Call");
    key("Defaults\\Journal").writeText("Default Rate Level", "4");
    key("Defaults\\Journal").writeText("Default Main Activity", "70000");
    key("Defaults\\Journal").writeInt("AutoSave", 0);
    key("Defaults\\Appointments").writeText("Default Billing Interval", "15 minutes");
    key("Defaults\\Notes").writeText("Default Category", "N");
    key("Defaults\\Tasks").writeText("Default Phone Priority", "Low");
    key("Settings\\AutoFill\\Journal").writeText("9", "5");
    key("Settings\\AutoFill\\Notes").writeText("5", "4");
    key("Settings\\AutoFill\\Tasks").writeText("0", "junk");
    key("Settings\\Validation").writeInt("No Job Order", 1);
    key("Settings").writeText("Default Sort", " ORDER BY tblTimeCards.StartDate DESC");
    key("Settings").writeInt("Form Height", 9000);
    key("Settings").writeText("Last Record", "123456");
    key("Settings").writeText("Default Link Type", "3");
    key("Settings").writeInt("Startup Tip Number", 7);
    key("Settings").writeText("Mail Command", "/usr/sbin/sendmail -t -oi");

    ASSERT_TRUE(getRegSettings());
    EXPECT_EQ(settings.settings.mailCommand, "/usr/sbin/sendmail -t -oi");

    EXPECT_EQ(settings.journal.category, "J");
    EXPECT_EQ(settings.journal.entryType, "Call");
    EXPECT_EQ(settings.journal.rateLevel, "4");
    EXPECT_EQ(settings.journal.mainActivity, 70000);
    EXPECT_FALSE(settings.journal.autoSave);
    EXPECT_EQ(settings.appointments.billingInterval, "15 minutes");
    EXPECT_EQ(settings.notes.category, "N");
    EXPECT_EQ(settings.tasks.phonePriority, "Low");
    EXPECT_EQ(settings.tasks.category, "None");
    EXPECT_EQ(settings.autoFill.journal[9], 5);
    EXPECT_EQ(settings.autoFill.journal[0], 11);
    EXPECT_EQ(settings.autoFill.notes[5], 4);
    EXPECT_EQ(settings.autoFill.tasks[0], 10); // unreadable: the default
    EXPECT_TRUE(settings.validation.noJobOrder);
    EXPECT_FALSE(settings.validation.noDescription);
    EXPECT_EQ(settings.settings.defaultSort, " ORDER BY tblTimeCards.StartDate DESC");
    EXPECT_EQ(settings.settings.formHeight, 9000);
    EXPECT_EQ(settings.settings.formWidth, 8220);
    EXPECT_EQ(settings.settings.lastRecord, 123456);
    EXPECT_EQ(settings.settings.defaultLinkType, 3);
    // The tip number is read only while tips are shown.
    EXPECT_EQ(settings.settings.startupTipNumber, 0);

    key("Settings").writeInt("Startup Tips", 1);
    ASSERT_TRUE(getRegSettings());
    EXPECT_TRUE(settings.settings.startupTips);
    EXPECT_EQ(settings.settings.startupTipNumber, 7);
}

TEST_F(GetRegSettingsTest, QuickFilterTypeMovesOffFieldsNotInUseAndIsWrittenBack)
{
    logOnAsInitialUser();
    struct Case {
        qint16 stored;
        bool contact, activity1, activity2;
        qint16 expected;
    };
    const Case cases[] = {
        {2, false, true, false, 1}, // Activity 2 off, contact off: Activity 1
        {2, true, true, false, 0},  // Activity 2 off, contact on: the contact
        {0, false, true, true, 1},   {0, false, false, true, 2}, // two steps
        {1, true, false, false, 0},  // Activity 1 off, then Activity 2 off: contact
        {0, false, false, false, 1}, // nothing in use: the rules end on Activity 1
        {1, true, true, true, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "stored " << c.stored << " in use " << c.contact
                                        << c.activity1 << c.activity2);
        useOptions(c.contact, c.activity1, c.activity2);
        key("Settings").writeInt("Quick Filter Type", c.stored);

        ASSERT_TRUE(getRegSettings());

        EXPECT_EQ(settings.settings.quickFilterType, c.expected);
        Registry reread(registry.filePath());
        EXPECT_EQ(reread.openSubKey("Settings").readInt("Quick Filter Type", -1), c.expected);
    }
}

TEST_F(GetRegSettingsTest, StaffRateSourcesAreKeptWhateverTheOptions)
{
    logOnAsInitialUser();
    for (const char *source : {"Staff Level Rates", "Staff Rates"}) {
        key("Defaults\\Journal").writeText("Default Rate Source", QLatin1String(source));
        for (int choice : {AdminOption::RateSourceContact, AdminOption::RateSourceStaff,
                           AdminOption::RateSourceStaffLevel, AdminOption::RateSourceActivity1}) {
            chooseRateSource(choice);
            ASSERT_TRUE(getRegSettings());
            EXPECT_EQ(settings.journal.rateSource, QLatin1String(source)) << choice;
        }
    }
}

TEST_F(GetRegSettingsTest, AnyOtherRateSourceIsReplacedByTheAdministratorsChoice)
{
    logOnAsInitialUser();
    setOption(AdminOption::ContactTerm, "Matter");
    setOption(AdminOption::Activity2Term, "Phase");
    const auto storedSource = [this] {
        return Registry(registry.filePath())
            .openSubKey("Defaults\\Journal")
            .readText("Default Rate Source");
    };

    key("Defaults\\Journal").writeText("Default Rate Source", "Client Rates");
    chooseRateSource(AdminOption::RateSourceStaffLevel);
    ASSERT_TRUE(getRegSettings());
    EXPECT_EQ(settings.journal.rateSource, "Staff Level Rates");
    EXPECT_EQ(storedSource(), "Staff Level Rates");

    // The stored text of an old term goes the same way.
    key("Defaults\\Journal").writeText("Default Rate Source", "Flat Fee");
    chooseRateSource(AdminOption::RateSourceContact);
    ASSERT_TRUE(getRegSettings());
    EXPECT_EQ(storedSource(), "Matter Rates");

    chooseRateSource(0);
    ASSERT_TRUE(getRegSettings());
    EXPECT_EQ(settings.journal.rateSource, "Phase Rates");
    EXPECT_EQ(storedSource(), "Phase Rates");
}

TEST_F(GetRegSettingsTest, FixedFoldersBeatStoredOnesAndOnlyEmptyOnesTakeTheDefault)
{
    logOnAsInitialUser();
    const RegistryKey folders = key("Settings\\Folders");
    RegistryKey writable = registry.openSubKey(folders.path());
    writable.writeText("Journal EntryID", "my-journal");
    writable.writeText("Journal StoreID", "my-store");
    writable.writeText("TimeCard Appointments EntryID", "my-tca");
    writable.writeText("TimeCard Appointments StoreID", "my-store");
    writable.writeText("Tasks EntryID", "my-tasks");
    writable.writeText("Tasks StoreID", "my-store");
    setOption(AdminOption::JournalFolderFixed, true);
    setOption(AdminOption::JournalFolderEntryID, "shared-journal");
    setOption(AdminOption::JournalFolderStoreID, "shared-store");
    // Notes are fixed, but to nothing yet: the default folder stands in.
    setOption(AdminOption::NotesFolderFixed, true);

    ASSERT_TRUE(getRegSettings());

    EXPECT_EQ(settings.folders.journal, (FolderId{"shared-journal", "shared-store"}));
    EXPECT_EQ(settings.folders.timeCardAppointments, (FolderId{"my-tca", "my-store"}));
    EXPECT_EQ(settings.folders.tasks, (FolderId{"my-tasks", "my-store"}));
    EXPECT_EQ(settings.folders.notes, (FolderId{"default-Notes", "store-1"}));
    EXPECT_EQ(settings.folders.scheduledAppointments.entryId, "default-Scheduled Appointments");
    EXPECT_EQ(defaultFolderCalls,
              (std::vector<FolderKind>{FolderKind::Notes, FolderKind::ScheduledAppointments}));
    // The default folder is used, not stored.
    EXPECT_FALSE(
        Registry(registry.filePath()).openSubKey("Settings\\Folders").hasValue("Notes EntryID"));
}

TEST_F(GetRegSettingsTest, AnUnreadableOptionsTableGoesToTheErrorHandler)
{
    logOnAsInitialUser();
    adminOptions().close();

    EXPECT_FALSE(getRegSettings());

    EXPECT_EQ(endedWith, std::vector<int>{ErrorHandler::ExitAfterReport});
    ASSERT_EQ(reports().size(), 1);
    QFile file(tmp.filePath("reports/") + reports().front());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains("modAdminSettings:  RetrieveAdminSettingsX:")) << text.toStdString();
    EXPECT_TRUE(text.contains("modSettings: GetRegSettingsX:"));
}

} // namespace
