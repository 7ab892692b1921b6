#include "SettingsFixture.h"
#include "settings/RegistrySettings.h"

using namespace quorvale;
using namespace quorvale::test;

namespace {

class RetrieveAdminDefaultsTest : public SettingsFixture {
protected:
    bool retrieve() { return RetrieveAdminDefaults(registry, link(), *errors); }
    // The file as another process would read it.
    QString text(const char *key, const char *value)
    {
        return Registry(registry.filePath())
            .openSubKey(QLatin1String(key))
            .readText(QLatin1String(value), "<missing>");
    }
};

TEST_F(RetrieveAdminDefaultsTest, CopiesTheAdministratorsRowIntoTheSettings)
{
    exec(QStringLiteral("UPDATE tblUserSettings SET AutoFillJournal0 = 7, AutoFillNote5 = 9, "
                        "AutoFillAppointment9 = 4, NoDescription = -1, Tooltips = 0, "
                        "DefaultLinkType = 3, ViewTasks = 2, JournalRateSource = ?, FillIn2 = ?, "
                        "DefaultSort = ?"),
         {"O'Brien Rates", "ask first", " ORDER BY tblTimeCards.StartDate DESC"});

    ASSERT_TRUE(retrieve());

    EXPECT_EQ(text("Settings\\AutoFill\\Journal", "0"), "7");
    EXPECT_EQ(text("Settings\\AutoFill\\Journal", "1"), "2");
    EXPECT_EQ(text("Settings\\AutoFill\\Notes", "5"), "9");
    EXPECT_EQ(text("Settings\\AutoFill\\Appointments", "9"), "4");
    EXPECT_EQ(text("Settings\\AutoFill\\Tasks", "0"), "10");
    EXPECT_EQ(text("Settings\\Validation", "No Description"), "-1");
    EXPECT_EQ(text("Settings\\Validation", "End Before Start"), "0");
    EXPECT_EQ(text("Settings", "Tooltips"), "0");
    EXPECT_EQ(text("Settings", "Default Link Type"), "3");
    EXPECT_EQ(text("Settings", "Default Sort"), " ORDER BY tblTimeCards.StartDate DESC");
    EXPECT_EQ(text("AutoTasks", "View Tasks"), "2");
    EXPECT_EQ(text("AutoTasks", "Fill-In 2"), "ask first");
    EXPECT_EQ(text("AutoTasks", "Link User if no Contact"), "0");
    EXPECT_EQ(text("Defaults\\Journal", "Default Rate Source"), "O'Brien Rates");
    EXPECT_EQ(text("Defaults\\Tasks", "Default Status"), "Not Started");
    EXPECT_EQ(text("Defaults\\Appointments", "Default Billing Interval"), "5 minutes");
    // Not the administrator's to set.
    EXPECT_EQ(text("Settings\\Validation", "No Job Order"), "<missing>");

    // What was copied is what start-up reads.
    logOnAsInitialUser();
    ASSERT_TRUE(GetRegSettings(registry, link(), adminOptions(), defaultFolder, prompts, *errors,
                               settings, options));
    EXPECT_EQ(settings.autoFill.journal[0], 7);
    EXPECT_EQ(settings.autoFill.notes[5], 9);
    EXPECT_TRUE(settings.validation.noDescription);
    EXPECT_FALSE(settings.settings.tooltips);
    // Not a staff source: the administrator's choice replaced it.
    EXPECT_EQ(settings.journal.rateSource, options.rateSourceChoice());
}

TEST_F(RetrieveAdminDefaultsTest, AnEmptyColumnLeavesTheUsersValue)
{
    key("Defaults\\Notes").writeText("Default Category", "Mine");
    exec("UPDATE tblUserSettings SET NoteCategory = NULL");

    ASSERT_TRUE(retrieve());

    EXPECT_EQ(text("Defaults\\Notes", "Default Category"), "Mine");
    EXPECT_EQ(text("Defaults\\Tasks", "Default Category"), "None");
}

TEST_F(RetrieveAdminDefaultsTest, AValueTheSettingCannotHoldChangesNothing)
{
    key("Settings").writeInt("Time Format", 2);
    exec("UPDATE tblUserSettings SET TimeFormat = 70000");

    EXPECT_FALSE(retrieve());

    EXPECT_EQ(reports().size(), 1);
    EXPECT_EQ(endedWith, std::vector<int>{ErrorHandler::ExitAfterReport});
    EXPECT_EQ(text("Settings", "Time Format"), "2");
    EXPECT_EQ(text("AutoTasks", "Task Selection"), "<missing>");
}

TEST_F(RetrieveAdminDefaultsTest, WithoutARowNothingIsCopied)
{
    exec("DELETE FROM tblUserSettings");
    EXPECT_FALSE(retrieve());
    EXPECT_EQ(reports().size(), 1);
    EXPECT_EQ(text("AutoTasks", "Task Selection"), "<missing>");
}

TEST(VerifyRegistryKeysTest, CreatesTheMissingKeysAndKeepsWhatIsThere)
{
    TempDir tmp;
    ScriptedPrompts prompts;
    ErrorReport report(prompts, tmp.filePath("reports"));
    ErrorHandler errors(report);
    std::vector<int> ended;
    errors.terminate = [&](int code) { ended.push_back(code); };
    const QString file = tmp.filePath("user.ini");
    {
        Registry registry(file);
        registry.openSubKey("Settings").writeText("Default Browser", "firefox");
        ASSERT_TRUE(VerifyRegistryKeys(registry, errors));
    }

    Registry reread(file);
    for (const char *path :
         {"AutoTasks", "Database", "Defaults", "Defaults\\Appointments", "Defaults\\Journal",
          "Defaults\\Notes", "Defaults\\Tasks", "License", "Settings", "Settings\\AutoFill",
          "Settings\\AutoFill\\Journal", "Settings\\AutoFill\\Tasks",
          "Settings\\AutoFill\\Appointments", "Settings\\AutoFill\\Notes", "Settings\\Folders",
          "Settings\\Validation"})
        EXPECT_TRUE(reread.keyExists(QLatin1String(path))) << path;
    EXPECT_FALSE(reread.keyExists("Settings\\Nonsense"));
    EXPECT_EQ(reread.openSubKey("Settings").readText("Default Browser"), "firefox");
    EXPECT_TRUE(ended.empty());
}

} // namespace
