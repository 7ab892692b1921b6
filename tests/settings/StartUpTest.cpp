// The start-up chain and shut-down, driven without a display: real databases
// made by the administrator tool, a real settings file, a real item store, and
// a person answering from a script.

#include "settings/StartUp.h"

#include "platform/pim/Namespace.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryKey.h"
#include "qvadmin/InitCommand.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

// Scripted answers, and a set-up dialog that does what the real one does: it
// writes the choice to the settings.
class StartUpPrompts : public test::ScriptedPrompts {
public:
    std::function<bool()> initialSetup;

    bool showDialog(const QString &name, QVariantMap &values) override
    {
        if (name == QLatin1String(DialogName::InitialSetup) && initialSetup) {
            dialogsShown << name;
            return initialSetup();
        }
        dialogsShown << name;
        return ScriptedPrompts::showDialog(name, values);
    }
    QStringList dialogsShown;
};

class StartUpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        admin::GlobalOptions globals;
        globals.programDir = programDir;
        globals.settingsFile = settingsFile;
        Registry adminRegistry(settingsFile);
        const admin::InitResult made = admin::initialise(
            {admin::locationForInit(globals), "Dana O'Neil", true, false}, adminRegistry);
        userId = made.userId;
        errors.terminate = [this](int code) { endedWith = code; };
    }

    std::unique_ptr<StartUp> start()
    {
        registry = std::make_unique<Registry>(settingsFile);
        auto s = std::make_unique<StartUp>(
            *registry, prompts, errors,
            StartUpEnvironment{programDir, itemRoot, "HH:mm:ss", 1, adminTool});
        return s;
    }

    RegistryKey key(const char *path) { return registry->openSubKey(QLatin1String(path)); }

    // Start-up ends after the message with the given title, and nothing of the
    // window is saved.
    void expectStartUpEndsWith(const char *title)
    {
        auto s = start();
        EXPECT_FALSE(s->Form_Load());
        ASSERT_FALSE(prompts.messages().isEmpty());
        EXPECT_EQ(prompts.messages().first().title, QString::fromLatin1(title));
        EXPECT_FALSE(key("Settings").hasValue("Form Width"));
    }
    QStringList titles() const
    {
        QStringList t;
        for (const auto &m : prompts.messages())
            t << m.title;
        return t;
    }

    test::TempDir tmp;
    QString programDir = tmp.filePath("prog");
    QString itemRoot = tmp.filePath("items");
    QString settingsFile = tmp.filePath("settings.ini");
    QString adminTool;
    int userId = 0;
    StartUpPrompts prompts;
    ErrorReport report{prompts, tmp.filePath("reports")};
    ErrorHandler errors{report};
    int endedWith = 0;
    std::unique_ptr<Registry> registry;
};

} // namespace

TEST_F(StartUpTest, AConfiguredUserLandsOnTheirWorkingSet)
{
    auto s = start();
    ASSERT_TRUE(s->Form_Load()) << titles().join(QLatin1Char(',')).toStdString();
    EXPECT_TRUE(prompts.messages().isEmpty());
    EXPECT_TRUE(prompts.dialogsShown.isEmpty());
    EXPECT_FALSE(s->firstRunSetup());
    EXPECT_EQ(s->settings().userId, userId);

    db::Recordset &cards = s->workingSet().timeCards();
    ASSERT_GT(cards.recordCount(), 0);
    EXPECT_EQ(cards.value("UserId").toInt(), userId);
    EXPECT_EQ(s->workingSet().windowCaption(), " Quorvale:  Dana O'Neil");
    EXPECT_EQ(s->timeFormat(), "hh:mm:ss");
    EXPECT_EQ(s->windowSizeTwips(), DefaultWindowTwips);
    EXPECT_EQ(storedWindowSize(QSize(8220, 7125)), DefaultWindowTwips)
        << "the size an earlier version saved for a window nobody resized";
    EXPECT_EQ(storedWindowSize(QSize(9000, 7125)), QSize(9000, 7125)) << "a size the person chose";

    // The terms reach the tools that name them.
    bool renamed = false;
    for (const ToolChange &c : s->toolChanges())
        renamed = renamed || (c.toolName == QLatin1String("mnuContactDESC") &&
                              c.caption == QLatin1String("Client ID") && c.visible);
    EXPECT_TRUE(renamed);

    // Default folders were taken without asking and without writing them down.
    EXPECT_TRUE(s->outlook().folder(FolderSlot::Journal).has_value());
    EXPECT_EQ(key("Settings\\Folders").readText("Journal EntryID"), QString());
    EXPECT_EQ(s->outlook().versionCode(), "11");
    EXPECT_EQ(endedWith, 0);
}

TEST_F(StartUpTest, FirstRunShowsTheSetUpBeforeAnyDatabaseAndGoesOnWhenItCompletes)
{
    {
        Registry r(settingsFile);
        r.openSubKey("Database").writeText("Setup Date", QString());
    }
    // Cancelled: the program ends without a word.
    QFile::rename(programDir + "/QVLocal.db", programDir + "/away");
    prompts.initialSetup = [] { return false; };
    auto cancelled = start();
    EXPECT_FALSE(cancelled->Form_Load());
    EXPECT_EQ(prompts.dialogsShown, QStringList{"InitialSetup"});
    EXPECT_TRUE(prompts.messages().isEmpty()); // not even the missing file was looked at
    cancelled.reset();

    // Completed: start-up continues in the same process.
    QFile::rename(programDir + "/away", programDir + "/QVLocal.db");
    prompts.initialSetup = [this] {
        registry->openSubKey("Database").writeText("Setup Date", "2026-12-06");
        return true;
    };
    auto completed = start();
    EXPECT_TRUE(completed->Form_Load());
    EXPECT_TRUE(completed->firstRunSetup());
    EXPECT_EQ(key("Database").readText("Setup Date"), "2026-12-06");
}

TEST_F(StartUpTest, WithoutLinkedDatabaseTheSetUpDateIsSimplyStamped)
{
    {
        Registry r(settingsFile);
        r.openSubKey("Database").writeText("Setup Date", QString());
        r.openSubKey("Database").writeInt("Linked DB", 0);
    }
    auto s = start();
    ASSERT_TRUE(s->Form_Load());
    EXPECT_TRUE(prompts.dialogsShown.isEmpty());
    EXPECT_TRUE(holdsDate(key("Database").readText("Setup Date")));
}

TEST_F(StartUpTest, MissingLocalDatabaseEndsStartUp)
{
    QFile::remove(programDir + "/QVLocal.db");
    prompts.answer(PromptResult::Cancel);
    expectStartUpEndsWith("Missing Database File");
}

TEST_F(StartUpTest, UnknownUserEndsStartUp)
{
    {
        Registry r(settingsFile);
        r.openSubKey("License").writeText("User ID", "9999");
    }
    expectStartUpEndsWith("Missing Quorvale User");
}

TEST_F(StartUpTest, UnreachableItemStoreEndsStartUp)
{
    // A file where the item store's root should be: it can be neither opened
    // nor made.
    QFile f(itemRoot);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    expectStartUpEndsWith("Missing Outlook Application");
}

TEST_F(StartUpTest, AnInactiveUserIsRefused)
{
    {
        db::Connection c;
        c.open("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + programDir + "/QVData.db");
        c.execute("UPDATE tblUsers SET Active = 0 WHERE UserID = ?", {userId});
    }
    expectStartUpEndsWith("Inactive Quorvale User");
}

TEST_F(StartUpTest, ClosingSavesTheWindowAndTheNextStartFindsItAsLeft)
{
    QVariant current;
    {
        auto s = start();
        ASSERT_TRUE(s->Form_Load());
        db::Recordset &cards = s->workingSet().timeCards();
        ASSERT_GT(cards.recordCount(), 2);
        cards.moveLast();
        current = cards.bookmark();
        ASSERT_TRUE(
            s->workingSet().Reorder(" ORDER BY tblTimeCards.[Value] DESC", s->options().terms));
        s->Form_QueryUnload(WindowClosing{current, s->workingSet().orderBy(), QSize(9000, 6000),
                                          true, false, true});
    }
    EXPECT_EQ(key("Settings").readText("Default Sort"), " ORDER BY tblTimeCards.[Value] DESC");
    auto again = start();
    ASSERT_TRUE(again->Form_Load());
    EXPECT_EQ(again->windowSizeTwips(), QSize(9000, 6000));
    EXPECT_FALSE(again->viewTimeDetail());
    EXPECT_EQ(again->workingSet().sortToolId(), 6045);
    EXPECT_TRUE(again->settings().settings.showHiddenTimeCards);
    EXPECT_EQ(again->workingSet().timeCards().bookmark(), current);
}

TEST_F(StartUpTest, StaleFolderIdsAreChosenAgainAndWrittenDown)
{
    {
        Registry r(settingsFile);
        RegistryKey folders = r.openSubKey("Settings\\Folders");
        folders.writeText("Tasks EntryID", "gone");
        folders.writeText("Tasks StoreID", "gone");
    }
    // The person picks the store's task folder when asked.
    pim::Namespace ns(itemRoot);
    const pim::Folder tasks = ns.GetDefaultFolder(pim::DefaultFolder::Tasks);
    prompts.answerDialog(true, {{"entryId", tasks.entryId()}, {"storeId", tasks.storeId()}});
    auto s = start();
    ASSERT_TRUE(s->Form_Load());
    EXPECT_EQ(titles(), QStringList{"Missing Tasks Folder"});
    EXPECT_EQ(key("Settings\\Folders").readText("Tasks EntryID"), tasks.entryId());
}

TEST_F(StartUpTest, ActivationReleasesTheDataConnectionAndChecksReporting)
{
    {
        Registry r(settingsFile);
        r.openSubKey("Database").writeInt("Connection Type", 1);
    }
    adminTool = settingsFile; // any file that exists stands in for the tool
    QFile::remove(programDir + "/QVReport.db");
    auto s = start();
    ASSERT_TRUE(s->Form_Load());
    ASSERT_NE(s->store().cnnData(), nullptr);
    EXPECT_FALSE(s->Form_Activate());
    EXPECT_EQ(s->store().cnnData(), nullptr);
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(prompts.messages().first().title, "Missing Report Database");
    EXPECT_TRUE(prompts.messages().first().text.contains(programDir));
    // Only the first activation checks.
    EXPECT_FALSE(s->Form_Activate());
    EXPECT_EQ(prompts.messages().size(), 1);
}
