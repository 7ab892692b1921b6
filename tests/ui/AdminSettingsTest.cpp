// What reaches a person of the administrator's and their own settings once
// the window is up: the administrator's defaults taken on request, the link
// kind the Links page opens on, and the web browser the Help pages open in.

#include "MainWindowFixture.h"
#include "data/DataStore.h"
#include "platform/registry/RegistryKey.h"
#include "platform/shell/Shell.h"
#include "settings/UserOptions.h"
#include "timecards/CommandTable.h"
#include "ui/LinksPanel.h"

#include <QComboBox>
#include <QSqlQuery>

using namespace quorvale;
using namespace quorvale::test;

namespace {

class AdminSettingsTest : public ShownDemoWindow {
protected:
    // Sets the administrator's default at a column position, as the
    // administrator's program stores it.
    void setAdminDefault(int ordinal, const QVariant &value)
    {
        db::Connection &cnn = startUp->store().cnnLink();
        QSqlQuery columns(cnn.database());
        ASSERT_TRUE(columns.exec("PRAGMA table_info(tblUserSettings)"));
        QString name;
        while (columns.next())
            if (columns.value(0).toInt() == ordinal)
                name = columns.value(1).toString();
        ASSERT_FALSE(name.isEmpty());
        cnn.execute(QStringLiteral("UPDATE tblUserSettings SET \"%1\" = ?").arg(name), {value});
    }
    QString stored(const char *value)
    {
        return Registry(settingsFile).openSubKey("Settings").readText(QLatin1String(value));
    }
    QComboBox *linkSelector() { return window().findChild<LinksPanel *>("LinksPanel")->selector(); }
};

TEST_F(AdminSettingsTest, RetrievingTheAdministratorsSettingsAsksFirstAndAppliesThemAtOnce)
{
    setAdminDefault(37, "4"); // Default Link Type: messages
    setAdminDefault(36, 0);   // Tooltips off
    const QString linkTypeBefore = stored("Default Link Type");

    prompts.answer(PromptResult::No);
    window().abMainMenu_ToolClick(ToolId::RetrieveAdminSettings);
    EXPECT_EQ(prompts.messages().last().title, " Retrieve Administrator Settings");
    EXPECT_EQ(prompts.messages().last().text,
              "Are you sure you want to retrieve the administrator's default AutoFill and User "
              "Option settings?");
    EXPECT_EQ(stored("Default Link Type"), linkTypeBefore);

    prompts.answer(PromptResult::Yes);
    window().abMainMenu_ToolClick(ToolId::RetrieveAdminSettings);
    EXPECT_EQ(stored("Default Link Type"), "4");
    EXPECT_EQ(startUp->settings().settings.defaultLinkType, 4);
    EXPECT_FALSE(startUp->settings().settings.tooltips);
    // The Links page opens on the administrator's kind, without a restart.
    EXPECT_EQ(linkSelector()->currentIndex(), static_cast<int>(LinkListKind::Messages));
    EXPECT_EQ(window().statusBar()->currentMessage(), "Review");
}

TEST_F(AdminSettingsTest, TheLinksPageOpensOnTheDefaultLinkTypeAtStart)
{
    const struct {
        int setting;
        LinkListKind kind;
    } cases[] = {{0, LinkListKind::TimeDetail},
                 {2, LinkListKind::PersonalTasks},
                 {5, LinkListKind::Documents},
                 {9, LinkListKind::PersonalTasks}};
    for (const auto &c : cases) {
        close();
        Registry(settingsFile)
            .openSubKey("Settings")
            .writeText("Default Link Type", QString::number(c.setting));
        ASSERT_NO_FATAL_FAILURE(open());
        EXPECT_EQ(linkSelector()->currentIndex(), static_cast<int>(c.kind)) << c.setting;
    }
}

TEST_F(AdminSettingsTest, AChosenWebBrowserGetsTheAddressAsOneArgument)
{
    // A browser that writes what it was given, as a person's script would.
    const QString log = tmp.filePath("opened.txt");
    const QString browser = tmp.filePath("my browser");
    QFile script(browser);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s|' \"$@\" > \"$QV_BROWSER_LOG\"\n");
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("QV_BROWSER_LOG", log.toLocal8Bit());

    const QString page = "https://example.org/a page?x=1;y=$(id)";
    ASSERT_TRUE(shell::openWebPage(page, QStringLiteral("\"%1\" --new-tab").arg(browser)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(log).size() > 0; }, 5000));
    QFile written(log);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLocal8Bit(written.readAll()), "--new-tab|" + page + "|");
    qunsetenv("QV_BROWSER_LOG");

    // The user options refuse a browser that is not there, and keep one that is.
    UserOptions options = userOptionsFrom(startUp->settings(), QString());
    options.browserCommand = tmp.filePath("no-such-browser");
    EXPECT_TRUE(checkUserOptions(options).join(' ').contains("The web browser"));
    options.browserCommand = QStringLiteral("\"%1\"").arg(browser);
    EXPECT_FALSE(checkUserOptions(options).join(' ').contains("The web browser"));
    writeUserOptions(*registry, options);
    EXPECT_EQ(stored("Default Browser"), options.browserCommand);
}

} // namespace
