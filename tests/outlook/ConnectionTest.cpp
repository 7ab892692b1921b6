#include "SessionFixture.h"
#include "platform/core/QvError.h"
#include "platform/pim/Namespace.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"

#include <QFileInfo>

using namespace quorvale;
using namespace quorvale::pim;

namespace {

class ConnectionTest : public test::SessionFixture {
protected:
    // Puts a file where the root was, so the root can be neither found nor made.
    void blockRoot()
    {
        ASSERT_TRUE(QDir(root).removeRecursively());
        QFile file(root);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QStringList reports() const
    {
        return QDir(reportDir.path()).entryList({"error-report-*.txt"}, QDir::Files);
    }
    QString onlyReport() const
    {
        const QStringList names = reports();
        if (names.size() != 1)
            return QString();
        QFile file(reportDir.filePath(names.front()));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    test::TempDir reportDir;
    ErrorReport report{prompts, reportDir.path()};
    ErrorHandler handler{report};
    std::vector<int> exitCodes;
};

TEST_F(ConnectionTest, AFirstRunConnectsToANewStore)
{
    ASSERT_TRUE(session.CreateOutlookInstance());
    EXPECT_TRUE(session.isConnected());
    EXPECT_TRUE(session.isReachable());
    EXPECT_TRUE(prompts.messages().isEmpty());
    EXPECT_TRUE(Store::isStore(root));
    EXPECT_FALSE(session.ended());
}

TEST_F(ConnectionTest, ARootThatCannotBeMadeIsToldAndEndsTheProgram)
{
    QFile file(root);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    EXPECT_FALSE(session.CreateOutlookInstance());

    EXPECT_FALSE(session.isConnected());
    EXPECT_TRUE(session.ended());
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(prompts.messages().front().title, "Missing Outlook Application");
    EXPECT_EQ(prompts.messages().front().text,
              QStringLiteral("Quorvale cannot connect to Outlook.  Please verify that \r\n"
                             "Outlook is installed properly.  If the problem persists, please \r\n"
                             "check with your Quorvale Administrator."));
    EXPECT_FALSE(session.SetFolderObjects());
    EXPECT_THROW(session.nameSpace(), QvError);
}

TEST_F(ConnectionTest, OldVersionsReadTheCategoriesAtOnceNewOnesOnFirstUse)
{
    ASSERT_TRUE(session.CreateOutlookInstance());
    Store &store = session.nameSpace().defaultStore();

    session.CheckOLVersion();
    EXPECT_EQ(session.versionCode(), "11");
    // Read on first use, from the store's own list.
    store.setCategories({"Billable"});
    EXPECT_EQ(session.categoryList(), (QStringList{QString(), "Billable"}));

    OutlookSession old(root, registry, prompts);
    ASSERT_TRUE(old.CreateOutlookInstance());
    old.setVersionText("9.0.0.2711");
    old.CheckOLVersion();
    EXPECT_EQ(old.versionCode(), "9");
    // Read by CheckOLVersion itself: a later change is not seen.
    old.nameSpace().defaultStore().setCategories({"Later"});
    EXPECT_EQ(old.categoryList(), (QStringList{QString(), "Billable"}));

    OutlookSession empty(dir.filePath("Other"), registry, prompts);
    ASSERT_TRUE(empty.CreateOutlookInstance());
    empty.setVersionText("8.0");
    empty.CheckOLVersion();
    EXPECT_EQ(empty.versionCode(), "7");
    ASSERT_EQ(empty.categoryList().size(), 15);
    EXPECT_EQ(empty.categoryList().at(1), "Business");
    EXPECT_EQ(empty.categoryList().at(14), "Personal");
}

TEST_F(ConnectionTest, AVanishedRootIsMadeAgainAndDefaultFoldersFollow)
{
    ASSERT_TRUE(session.CreateOutlookInstance());
    ASSERT_TRUE(session.SetFolderObjects(FolderIds{}));
    const QString oldStore = session.nameSpace().defaultStore().id();
    ASSERT_TRUE(QDir(root).removeRecursively());
    EXPECT_FALSE(session.isReachable());

    EXPECT_TRUE(session.EnsureOutlook());

    EXPECT_TRUE(session.isReachable());
    EXPECT_TRUE(prompts.messages().isEmpty());
    const QString newStore = session.nameSpace().defaultStore().id();
    EXPECT_NE(newStore, oldStore);
    ASSERT_TRUE(session.folder(FolderSlot::Journal));
    EXPECT_EQ(session.folder(FolderSlot::Journal)->storeId(), newStore);
    EXPECT_TRUE(QFileInfo(session.folder(FolderSlot::Journal)->path()).isDir());
    // Reachable again: nothing more to do.
    EXPECT_TRUE(session.EnsureOutlook());
    EXPECT_EQ(session.nameSpace().defaultStore().id(), newStore);
}

TEST_F(ConnectionTest, TheErrorHandlerReopensTheStoreOnError462)
{
    handler.terminate = [this](int code) { exitCodes.push_back(code); };
    ASSERT_TRUE(session.CreateOutlookInstance());
    FolderIds ids;
    ids.journal = idOf(session.nameSpace().createFolder(session.nameSpace().defaultStore(),
                                                        "Billing Journal", ItemType::Journal));
    ASSERT_TRUE(session.SetFolderObjects(ids));
    const QString storeId = session.nameSpace().defaultStore().id();
    session.connectErrorHandler(handler);

    EXPECT_EQ(handler.handle(462, "The remote server machine does not exist.", "Quorvale"),
              ErrorHandler::Outcome::Resume);

    // The same store, reopened; the chosen folder found again without asking.
    EXPECT_EQ(session.nameSpace().defaultStore().id(), storeId);
    EXPECT_EQ(session.folderIds().journal, ids.journal);
    EXPECT_EQ(session.folder(FolderSlot::Journal)->name(), "Billing Journal");
    EXPECT_TRUE(prompts.messages().isEmpty());
    EXPECT_TRUE(exitCodes.empty());
    EXPECT_TRUE(reports().isEmpty());
}

TEST_F(ConnectionTest, AStoreThatCannotBeReachedAgainIsReportedAs10321)
{
    handler.terminate = [this](int code) { exitCodes.push_back(code); };
    ASSERT_TRUE(session.CreateOutlookInstance());
    ASSERT_TRUE(session.SetFolderObjects(FolderIds{}));
    session.connectErrorHandler(handler);
    blockRoot();

    EXPECT_FALSE(session.EnsureOutlook());

    EXPECT_EQ(exitCodes, std::vector<int>{ErrorHandler::ExitAfterReport});
    const QString text = onlyReport();
    EXPECT_TRUE(text.contains("Number: 10321\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("Description: Unable to create Outlook instance.\n"));
    EXPECT_TRUE(text.contains("Source: Quorvale\n"));
    // One attempt, one message about it: the handler does not try again.
    EXPECT_EQ(titles().count("Missing Outlook Application"), 1);
}

TEST_F(ConnectionTest, WithoutAHandlerTheFailureIsThrown)
{
    ASSERT_TRUE(session.CreateOutlookInstance());
    blockRoot();
    try {
        session.EnsureOutlook();
        ADD_FAILURE() << "no error";
    } catch (const QvError &error) {
        EXPECT_EQ(error.number(), 10321);
        EXPECT_EQ(error.description(), "Unable to create Outlook instance.");
        EXPECT_EQ(error.source(), "Quorvale");
    }
}

} // namespace
