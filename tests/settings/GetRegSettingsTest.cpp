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

const QString kMissingTitle = QStringLiteral("Missing Quorvale User");
const QString kMissingText =
    QStringLiteral("No user account found.  See your Quorvale Administrator.");

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
    EXPECT_EQ(options.terms.contact, QStringLiteral("Client"));
    // Reading wrote nothing: the settings file was never created.
    EXPECT_FALSE(QFileInfo::exists(registry.filePath()));
}

TEST_F(GetRegSettingsTest, AUserIdThatIsNotOneNumberFindsNoUser)
{
    for (const QString &id : {QStringLiteral("abc"), QStringLiteral("1 OR 1=1"),
                              QStringLiteral("1; DELETE FROM tblUsers"), QString()}) {
        key(RegistryPaths::License).writeText(QStringLiteral("User ID"), id);
        EXPECT_FALSE(getRegSettings()) << id.toStdString();
    }
    ASSERT_EQ(prompts.messages().size(), 4);
    for (const auto &m : prompts.messages())
        EXPECT_EQ(m.text, kMissingText);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM tblUsers")).toInt(), 1);
}

TEST_F(GetRegSettingsTest, AnUnknownUserIdFindsNoUser)
{
    key(RegistryPaths::License).writeText(QStringLiteral("User ID"), QStringLiteral("4711"));
    EXPECT_FALSE(getRegSettings());
    expectOnlyMessage(kMissingTitle, kMissingText);
}

TEST_F(GetRegSettingsTest, AnInactiveUserMayNotLogOn)
{
    logOnAsInitialUser();
    exec(QStringLiteral("UPDATE tblUsers SET Active = 0 WHERE UserID = ?"), {initialUserId});

    EXPECT_FALSE(getRegSettings());
    expectOnlyMessage(QStringLiteral("Inactive Quorvale User"),
                      QStringLiteral("No logon allowed.  Inactive user."));
}

TEST_F(GetRegSettingsTest, AnActiveUserKeepsStaffAndPermissionAndGetsNameAndEntryIdWrittenBack)
{
    logOnAsInitialUser();
    key(RegistryPaths::License).writeText(QStringLiteral("User Name"), QStringLiteral("Ann"));
    exec(QStringLiteral("UPDATE tblUsers SET UserEntryID = ? WHERE UserID = ?"),
         {QStringLiteral("EID-'7'"), initialUserId});

    ASSERT_TRUE(getRegSettings());

    EXPECT_TRUE(prompts.messages().isEmpty());
    EXPECT_EQ(settings.userId, initialUserId);
    EXPECT_EQ(
        settings.staffId,
        scalar(QStringLiteral("SELECT StaffID FROM tblUsers WHERE UserID = ?"), {initialUserId})
            .toInt());
    EXPECT_GT(settings.permissionId, 0);
    EXPECT_EQ(settings.license.userName, QStringLiteral("Ann O'Hara"));
    EXPECT_EQ(settings.license.userEid, QStringLiteral("EID-'7'"));
    Registry reread(registry.filePath());
    const RegistryKey license = reread.openSubKey(QStringLiteral("License"));
    EXPECT_EQ(license.readText(QStringLiteral("User Name")), QStringLiteral("Ann O'Hara"));
    EXPECT_EQ(license.readText(QStringLiteral("User EID")), QStringLiteral("EID-'7'"));
}

TEST_F(GetRegSettingsTest, NothingIsWrittenWhenTheUserRowMatchesTheSettings)
{
    logOnAsInitialUser();
    key(RegistryPaths::License)
        .writeText(QStringLiteral("User Name"), QStringLiteral("Ann O'Hara"));
    key(RegistryPaths::License).writeText(QStringLiteral("User EID"), QString());
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
    key("Defaults\\Journal").writeText(QStringLiteral("Default Category"), QStringLiteral("J"));
    key("Defaults\\Journal")
        .writeText(QStringLiteral("Default Entry Type"), QStringLiteral("Call"));
    key("Defaults\\Journal").writeText(QStringLiteral("Default Rate Level"), QStringLiteral("4"));
    key("Defaults\\Journal")
        .writeText(QStringLiteral("Default Main Activity"), QStringLiteral("70000"));
    key("Defaults\\Journal").writeInt(QStringLiteral("AutoSave"), 0);
    key("Defaults\\Appointments")
        .writeText(QStringLiteral("Default Billing Interval"), QStringLiteral("15 minutes"));
    key("Defaults\\Notes").writeText(QStringLiteral("Default Category"), QStringLiteral("N"));
    key("Defaults\\Tasks")
        .writeText(QStringLiteral("Default Phone Priority"), QStringLiteral("Low"));
    key("Settings\\AutoFill\\Journal").writeText(QStringLiteral("9"), QStringLiteral("5"));
    key("Settings\\AutoFill\\Notes").writeText(QStringLiteral("5"), QStringLiteral("4"));
    key("Settings\\AutoFill\\Tasks").writeText(QStringLiteral("0"), QStringLiteral("junk"));
    key("Settings\\Validation").writeInt(QStringLiteral("No Job Order"), 1);
    key("Settings")
        .writeText(QStringLiteral("Default Sort"),
                   QStringLiteral(" ORDER BY tblTimeCards.StartDate DESC"));
    key("Settings").writeInt(QStringLiteral("Form Height"), 9000);
    key("Settings").writeText(QStringLiteral("Last Record"), QStringLiteral("123456"));
    key("Settings").writeText(QStringLiteral("Default Link Type"), QStringLiteral("3"));
    key("Settings").writeInt(QStringLiteral("Startup Tip Number"), 7);

    ASSERT_TRUE(getRegSettings());

    EXPECT_EQ(settings.journal.category, QStringLiteral("J"));
    EXPECT_EQ(settings.journal.entryType, QStringLiteral("Call"));
    EXPECT_EQ(settings.journal.rateLevel, QStringLiteral("4"));
    EXPECT_EQ(settings.journal.mainActivity, 70000);
    EXPECT_FALSE(settings.journal.autoSave);
    EXPECT_EQ(settings.appointments.billingInterval, QStringLiteral("15 minutes"));
    EXPECT_EQ(settings.notes.category, QStringLiteral("N"));
    EXPECT_EQ(settings.tasks.phonePriority, QStringLiteral("Low"));
    EXPECT_EQ(settings.tasks.category, QStringLiteral("None"));
    EXPECT_EQ(settings.autoFill.journal[9], 5);
    EXPECT_EQ(settings.autoFill.journal[0], 11);
    EXPECT_EQ(settings.autoFill.notes[5], 4);
    EXPECT_EQ(settings.autoFill.tasks[0], 10); // unreadable: the default
    EXPECT_TRUE(settings.validation.noJobOrder);
    EXPECT_FALSE(settings.validation.noDescription);
    EXPECT_EQ(settings.settings.defaultSort,
              QStringLiteral(" ORDER BY tblTimeCards.StartDate DESC"));
    EXPECT_EQ(settings.settings.formHeight, 9000);
    EXPECT_EQ(settings.settings.formWidth, 8220);
    EXPECT_EQ(settings.settings.lastRecord, 123456);
    EXPECT_EQ(settings.settings.defaultLinkType, 3);
    // The tip number is read only while tips are shown.
    EXPECT_EQ(settings.settings.startupTipNumber, 0);

    key("Settings").writeInt(QStringLiteral("Startup Tips"), 1);
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
        key("Settings").writeInt(QStringLiteral("Quick Filter Type"), c.stored);

        ASSERT_TRUE(getRegSettings());

        EXPECT_EQ(settings.settings.quickFilterType, c.expected);
        Registry reread(registry.filePath());
        EXPECT_EQ(reread.openSubKey(QStringLiteral("Settings"))
                      .readInt(QStringLiteral("Quick Filter Type"), -1),
                  c.expected);
    }
}

TEST_F(GetRegSettingsTest, StaffRateSourcesAreKeptWhateverTheOptions)
{
    logOnAsInitialUser();
    for (const char *source : {"Staff Level Rates", "Staff Rates"}) {
        key("Defaults\\Journal")
            .writeText(QStringLiteral("Default Rate Source"), QLatin1String(source));
        for (int choice : {AdminOption::RateSourceContact, AdminOption::RateSourceStaff,
                           AdminOption::RateSourceStaffLevel, AdminOption::RateSourceActivity1}) {
            setOption(AdminOption::RateSourceContact, false);
            setOption(AdminOption::RateSourceStaff, false);
            setOption(AdminOption::RateSourceStaffLevel, false);
            setOption(AdminOption::RateSourceActivity1, false);
            setOption(choice, true);
            ASSERT_TRUE(getRegSettings());
            EXPECT_EQ(settings.journal.rateSource, QLatin1String(source)) << choice;
        }
    }
}

TEST_F(GetRegSettingsTest, AnyOtherRateSourceIsReplacedByTheAdministratorsChoice)
{
    logOnAsInitialUser();
    setOption(AdminOption::ContactTerm, QStringLiteral("Matter"));
    setOption(AdminOption::Activity2Term, QStringLiteral("Phase"));
    for (int choice : {AdminOption::RateSourceContact, AdminOption::RateSourceStaff,
                       AdminOption::RateSourceStaffLevel, AdminOption::RateSourceActivity1})
        setOption(choice, false);
    const auto storedSource = [this] {
        return Registry(registry.filePath())
            .openSubKey(QStringLiteral("Defaults\\Journal"))
            .readText(QStringLiteral("Default Rate Source"));
    };

    key("Defaults\\Journal")
        .writeText(QStringLiteral("Default Rate Source"), QStringLiteral("Client Rates"));
    setOption(AdminOption::RateSourceStaffLevel, true);
    ASSERT_TRUE(getRegSettings());
    EXPECT_EQ(settings.journal.rateSource, QStringLiteral("Staff Level Rates"));
    EXPECT_EQ(storedSource(), QStringLiteral("Staff Level Rates"));

    // The stored text of an old term goes the same way.
    key("Defaults\\Journal")
        .writeText(QStringLiteral("Default Rate Source"), QStringLiteral("Flat Fee"));
    setOption(AdminOption::RateSourceStaffLevel, false);
    setOption(AdminOption::RateSourceContact, true);
    ASSERT_TRUE(getRegSettings());
    EXPECT_EQ(storedSource(), QStringLiteral("Matter Rates"));

    setOption(AdminOption::RateSourceContact, false);
    ASSERT_TRUE(getRegSettings());
    EXPECT_EQ(settings.journal.rateSource, QStringLiteral("Phase Rates"));
    EXPECT_EQ(storedSource(), QStringLiteral("Phase Rates"));
}

TEST_F(GetRegSettingsTest, FixedFoldersBeatStoredOnesAndOnlyEmptyOnesTakeTheDefault)
{
    logOnAsInitialUser();
    const RegistryKey folders = key("Settings\\Folders");
    RegistryKey writable = registry.openSubKey(folders.path());
    writable.writeText(QStringLiteral("Journal EntryID"), QStringLiteral("my-journal"));
    writable.writeText(QStringLiteral("Journal StoreID"), QStringLiteral("my-store"));
    writable.writeText(QStringLiteral("TimeCard Appointments EntryID"), QStringLiteral("my-tca"));
    writable.writeText(QStringLiteral("TimeCard Appointments StoreID"), QStringLiteral("my-store"));
    writable.writeText(QStringLiteral("Tasks EntryID"), QStringLiteral("my-tasks"));
    writable.writeText(QStringLiteral("Tasks StoreID"), QStringLiteral("my-store"));
    setOption(AdminOption::JournalFolderFixed, true);
    setOption(AdminOption::JournalFolderEntryID, QStringLiteral("shared-journal"));
    setOption(AdminOption::JournalFolderStoreID, QStringLiteral("shared-store"));
    // Notes are fixed, but to nothing yet: the default folder stands in.
    setOption(AdminOption::NotesFolderFixed, true);

    ASSERT_TRUE(getRegSettings());

    EXPECT_EQ(settings.folders.journal,
              (FolderId{QStringLiteral("shared-journal"), QStringLiteral("shared-store")}));
    EXPECT_EQ(settings.folders.timeCardAppointments,
              (FolderId{QStringLiteral("my-tca"), QStringLiteral("my-store")}));
    EXPECT_EQ(settings.folders.tasks,
              (FolderId{QStringLiteral("my-tasks"), QStringLiteral("my-store")}));
    EXPECT_EQ(settings.folders.notes,
              (FolderId{QStringLiteral("default-Notes"), QStringLiteral("store-1")}));
    EXPECT_EQ(settings.folders.scheduledAppointments.entryId,
              QStringLiteral("default-Scheduled Appointments"));
    EXPECT_EQ(defaultFolderCalls,
              (std::vector<FolderKind>{FolderKind::Notes, FolderKind::ScheduledAppointments}));
    // The default folder is used, not stored.
    EXPECT_FALSE(Registry(registry.filePath())
                     .openSubKey(QStringLiteral("Settings\\Folders"))
                     .hasValue(QStringLiteral("Notes EntryID")));
}

TEST_F(GetRegSettingsTest, AnUnreadableOptionsTableGoesToTheErrorHandler)
{
    logOnAsInitialUser();
    adminOptions().close();

    EXPECT_FALSE(getRegSettings());

    EXPECT_EQ(endedWith, std::vector<int>{ErrorHandler::ExitAfterReport});
    ASSERT_EQ(reports().size(), 1);
    QFile file(tmp.filePath(QStringLiteral("reports/")) + reports().front());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("modAdminSettings:  RetrieveAdminSettingsX:")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("modSettings: GetRegSettingsX:")));
}

} // namespace
