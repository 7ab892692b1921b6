// The folder view window on real item files: the view file decides the columns
// and which items are listed; a view that cannot be shown is told, not opened.
#include "ui/FolderViewWindow.h"

#include "outlook/OutlookViews.h"
#include "platform/pim/JournalItem.h"
#include "platform/pim/Namespace.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <gtest/gtest.h>
#include <memory>

using namespace quorvale;

namespace {

class FolderViewWindowTest : public ::testing::Test {
protected:
    test::TempDir dir;
    pim::Namespace ns{dir.filePath(QStringLiteral("Items"))};
    test::ScriptedPrompts prompts;

    void SetUp() override
    {
        QFile view(dir.filePath("XML1.txt"));
        ASSERT_TRUE(view.open(QIODevice::WriteOnly));
        view.write(R"(<view name="Quorvale TimeCards">
  <filter field="Quorvale Staff" equals="[QVUserName]"/>
  <column field="TimeCardID" heading="TimeCard"/>
  <column field="Subject" heading="Subject"/>
  <column field="[MainActivity]" heading="[MainActivity]"/>
</view>)");
    }

    void addEntry(int timeCardId, const QString &subject, const QString &staff)
    {
        pim::JournalItem entry(ns.GetDefaultFolder(pim::DefaultFolder::Journal));
        entry.setSubject(subject);
        entry.setStart(QDateTime(QDate(2026, 3, timeCardId), QTime(9, 0)));
        entry.userProperties().setValue("TimeCardID", pim::UserPropertyType::Number,
                                        double(timeCardId));
        entry.userProperties().setValue("Quorvale Staff", pim::UserPropertyType::Text, staff);
        entry.userProperties().setValue("Service", pim::UserPropertyType::Text, "Audit");
        entry.Save();
    }

    FolderViewWindow::Request request(const QString &viewFile = "XML1.txt")
    {
        return {ns.GetDefaultFolder(pim::DefaultFolder::Journal),
                dir.filePath(viewFile),
                "Quorvale TimeCards",
                {"Ann O'Hara", QStringLiteral("Service")}};
    }

    void expectNotAvailable()
    {
        ASSERT_EQ(prompts.messages().size(), 1);
        EXPECT_EQ(prompts.messages()[0].title, " View Not Available");
        EXPECT_EQ(prompts.messages()[0].text,
                  "We're sorry, but Quorvale could not open the requested  view.  Please see "
                  "your administrator.");
    }
};

TEST_F(FolderViewWindowTest, ListsTheUsersJournalEntriesInTheViewsColumns)
{
    addEntry(12, "Second <entry> & more", "Ann O'Hara");
    addEntry(3, "First entry", "Ann O'Hara");
    addEntry(7, "Someone else's", "Bob");

    std::unique_ptr<FolderViewWindow> window(FolderViewWindow::open(prompts, request()));
    ASSERT_TRUE(window);
    EXPECT_TRUE(prompts.messages().isEmpty());
    window->show();

    ASSERT_EQ(window->rowCount(), 2);
    QHeaderView *header = window->table()->horizontalHeader();
    ASSERT_EQ(header->count(), 3);
    EXPECT_EQ(window->table()->model()->headerData(2, Qt::Horizontal).toString(), "Service");
    // TimeCard numbers sort as numbers, not as text ("12" before "3").
    EXPECT_EQ(window->cellText(0, 0), "3");
    EXPECT_EQ(window->cellText(1, 0), "12");
    EXPECT_EQ(window->cellText(1, 1), "Second <entry> & more");
    EXPECT_EQ(window->cellText(0, 2), "Audit");
    window->table()->sortByColumn(0, Qt::DescendingOrder);
    EXPECT_EQ(window->cellText(0, 0), "12");

    EXPECT_EQ(window->findChild<QLabel *>("lblStatus")->text(), "2 items");
    EXPECT_TRUE(window->windowTitle().startsWith("Quorvale TimeCards"));
    EXPECT_FALSE(window->table()->accessibleName().isEmpty());
}

TEST_F(FolderViewWindowTest, AViewThatCannotBeShownIsToldAndNotOpened)
{
    EXPECT_EQ(FolderViewWindow::open(prompts, request("XML9.txt")), nullptr);
    expectNotAvailable();

    prompts = test::ScriptedPrompts();
    auto noFolder = request();
    noFolder.folder.reset();
    EXPECT_EQ(FolderViewWindow::open(prompts, noFolder), nullptr);
    expectNotAvailable();

    prompts = test::ScriptedPrompts();
    auto goneFolder = request();
    ASSERT_TRUE(QDir(goneFolder.folder->path()).removeRecursively());
    EXPECT_EQ(FolderViewWindow::open(prompts, goneFolder), nullptr);
    expectNotAvailable();
}

} // namespace
