// The command sets of the main window that need no database: help pages, the
// edit commands, and the TimeCard list's own behaviour.

#include "platform/core/QvError.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"
#include "timecards/CommandTable.h"
#include "ui/EditCommands.h"
#include "ui/GuardedApplication.h"
#include "ui/HelpCommands.h"
#include "ui/TimeCardListDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QUrlQuery>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace quorvale;

TEST(HelpCommands, TheHelpIsFoundBesideTheProgramOrWhereItWasInstalled)
{
    test::TempDir tmp;
    const auto page = [](const QString &path) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    };
    const QString bin = tmp.filePath(QStringLiteral("prefix/bin"));
    QDir().mkpath(bin);
    // Nothing there: the page beside the program is named (and said missing).
    EXPECT_EQ(HelpCommands::shippedHelpFile(bin), bin + QStringLiteral("/help/index.html"));
    const QString installed = tmp.filePath(QStringLiteral("prefix/share/quorvale/help/index.html"));
    page(installed);
    EXPECT_EQ(HelpCommands::shippedHelpFile(bin), installed);
    page(bin + QStringLiteral("/help/index.html"));
    EXPECT_EQ(HelpCommands::shippedHelpFile(bin), bin + QStringLiteral("/help/index.html"))
        << "a build's own page first";
}

TEST(HelpCommands, PagesOpenInTheBrowserAndAMissingOneIsSaid)
{
    test::ScriptedPrompts prompts;
    test::TempDir tmp;
    const QString help = tmp.filePath(QStringLiteral("index.html"));
    QList<QUrl> opened;
    bool browser = true;
    HelpCommands commands(prompts, help, QStringLiteral("16"), [&](const QUrl &url) {
        opened << url;
        return browser;
    });

    commands.run(ToolId::SupportMessage);
    ASSERT_EQ(opened.size(), 1);
    const QUrlQuery query(opened.last());
    EXPECT_EQ(query.queryItemValue(QStringLiteral("OUTLOOKVERSION")), QStringLiteral("16"));
    EXPECT_FALSE(query.queryItemValue(QStringLiteral("OPERATINGSYSTEM")).isEmpty());
    EXPECT_FALSE(query.queryItemValue(QStringLiteral("PROGRAMVERSION")).isEmpty());

    commands.run(ToolId::HelpContents); // not there yet
    EXPECT_EQ(opened.size(), 1);
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_TRUE(prompts.messages().last().text.contains(QStringLiteral("missing")));

    QFile page(help);
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    browser = false; // no browser answers
    commands.run(ToolId::HelpContents);
    EXPECT_EQ(opened.last(), QUrl::fromLocalFile(help));
    EXPECT_TRUE(prompts.messages().last().text.contains(QStringLiteral("No web browser")));
    EXPECT_TRUE(commands.handles(ToolId::Comments));
    EXPECT_FALSE(commands.handles(ToolId::About));
}

TEST(EditCommands, CutCopyAndPasteActOnTheFieldWithTheFocus)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *from = new QLineEdit(QStringLiteral("Lease"), &window);
    auto *to = new QLineEdit(&window);
    layout->addWidget(from);
    layout->addWidget(to);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    EditCommands commands(window);

    from->setFocus();
    from->selectAll();
    commands.run(ToolId::Cut);
    EXPECT_TRUE(from->text().isEmpty());
    to->setFocus();
    commands.run(ToolId::Paste);
    EXPECT_EQ(to->text(), QStringLiteral("Lease"));
    to->selectAll();
    commands.run(ToolId::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Lease"));
}

TEST(TimeCardListDialog, TypingNarrowsTheListAndEnterChoosesTheTimeCard)
{
    std::vector<TimeCardListRow> rows;
    rows.push_back({11, QDate(2026, 3, 2), QStringLiteral("Abernathy & Sons"),
                    QStringLiteral("Lease 'draft'; clause 4"), QStringLiteral("001:30:00"),
                    Money::fromWhole(270)});
    rows.push_back({12, QDate(2026, 3, 3), QStringLiteral("Blue Heron"),
                    QStringLiteral("Vaccination schedule"), QStringLiteral("000:45:00"),
                    Money::fromWhole(90)});
    rows.push_back({13, QDate(2026, 3, 4), QString(), QStringLiteral("Blue sky thinking"),
                    QStringLiteral("000:10:00"), Money()});
    TimeCardListDialog dialog(rows, 12);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.table()->model()->rowCount(), 3);

    QTest::keyClicks(dialog.findField(), QStringLiteral("blue"));
    EXPECT_EQ(dialog.table()->model()->rowCount(), 2);
    dialog.findField()->setText(QStringLiteral("'draft';"));
    ASSERT_EQ(dialog.table()->model()->rowCount(), 1);
    QTest::keyClick(dialog.table(), Qt::Key_Return);
    ASSERT_TRUE(dialog.chosen().has_value());
    EXPECT_EQ(*dialog.chosen(), 11);
}

namespace {

// An object whose every event handling fails, as a field's edit does when the
// database has gone.
class Failing : public QObject {
public:
    bool event(QEvent *) override
    {
        throw QvError(ErrorNumber::Generic, QStringLiteral("database gone"),
                      QStringLiteral("test"));
    }
};

} // namespace

TEST(GuardedApplication, AnErrorInAnEventHandlerReachesTheErrorHandler)
{
    auto *app = dynamic_cast<GuardedApplication *>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    QStringList handled;
    app->setErrorHandler([&](const std::exception &error) {
        if (const auto *qv = dynamic_cast<const QvError *>(&error))
            handled << qv->description();
    });
    Failing failing;
    QEvent event(QEvent::User);
    EXPECT_TRUE(QCoreApplication::sendEvent(&failing, &event));
    EXPECT_EQ(handled, QStringList{QStringLiteral("database gone")});
    app->setErrorHandler({});
}
