#include "timecards/TimeCardDelete.h"

#include "data/DataStore.h"
#include "data/WorkingSet.h"
#include "platform/core/QvError.h"
#include "platform/pim/Items.h"
#include "platform/pim/Namespace.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/DemoStore.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"
#include "timecards/TimeCardEditor.h"

#include <QFile>
#include <gtest/gtest.h>
#include <memory>

using namespace quorvale;

namespace {

// The item store behind the deleter, as the main window will have it.
struct StoreDeleter : LinkedItemDeleter {
    explicit StoreDeleter(pim::Namespace &ns) : ns(ns) {}
    bool deleteItem(const QString &entryId, const QString &storeId) override
    {
        try {
            if (auto item = ns.itemFromId(entryId, storeId))
                item->Delete();
            return true;
        } catch (const QvError &) {
            return false;
        }
    }
    pim::Namespace &ns;
};

// A demonstration database whose person's first TimeCard has a link of every
// kind, each to a real item, file or charge.
struct Delete : ::testing::Test {
    test::EngineDatabase engine;
    test::TempDir tmp;
    test::ScriptedPrompts prompts;
    ErrorReport report{prompts, tmp.filePath("reports")};
    ErrorHandler errors{report};
    std::unique_ptr<DataStore> store;
    WorkingSet set{errors};
    std::unique_ptr<pim::Namespace> items;
    std::unique_ptr<StoreDeleter> deleter;
    std::unique_ptr<TimeCardEditor> editor;
    DeleteContext context;
    QStringList statuses;
    QList<int> progress;
    qint64 id = 0;
    QStringList entryIds; // timed, scheduled, task, note, message, journal
    QString document;
    qint64 openExpense = 0, billedExpense = 0, openCharge = 0;

    void SetUp() override
    {
        errors.terminate = [](int) {};
        const int userId = test::openDemoStore(tmp, engine, prompts, errors, store);
        ASSERT_TRUE(store);
        ASSERT_TRUE(set.SetRecordSet(true, store->cnnLink(), {true, Terms{}, userId, "Ann"}));
        items = std::make_unique<pim::Namespace>(tmp.filePath("items"));
        deleter = std::make_unique<StoreDeleter>(*items);
        id = set.timeCards().value("TimeCardID").toLongLong();
        link();
        set.timeCards().requery(); // shows the journal EntryID written below
        editor = std::make_unique<TimeCardEditor>(set.timeCards(), prompts, EditorOptions{});
        editor->adoTimeCardRS_MoveComplete();

        context.cnn = &cnn();
        context.items = deleter.get();
        // One store holds every folder here.
        const QString sid = folder(pim::DefaultFolder::Journal).storeId();
        context.stores = {sid, sid, sid, sid, sid};
        context.status = [this](const QString &text) { statuses << text; };
        context.progress = [this](int done, int total) {
            EXPECT_EQ(total, 11);
            progress << done;
        };
    }

    db::Connection &cnn() { return store->cnnLink(); }
    pim::Folder folder(pim::DefaultFolder kind) { return items->GetDefaultFolder(kind); }
    QString newItem(pim::DefaultFolder kind)
    {
        auto item = pim::Items(folder(kind)).Add();
        item->Save();
        return item->EntryID();
    }
    // A charge linked to the TimeCard; invoiceId null for an open one.
    qint64 charge(const char *table, const char *key, const QVariant &invoiceId = {})
    {
        return cnn().insertReturningKey(
            QString("INSERT INTO %1 (TimeCardID, UserID, InvoiceID) VALUES (?, 1, ?)").arg(table),
            {id, invoiceId}, key);
    }

    void link()
    {
        using K = pim::DefaultFolder;
        entryIds = {newItem(K::Calendar), newItem(K::Calendar), newItem(K::Tasks),
                    newItem(K::Notes),    newItem(K::Inbox),    newItem(K::Journal)};
        const char *tables[] = {"tblTimedAppointments", "tblScheduledAppointments", "tblTasks",
                                "tblNotes"};
        for (int i = 0; i < 4; ++i)
            cnn().execute(
                QString("INSERT INTO %1 (EntryID, TimeCardID) VALUES (?, ?)").arg(tables[i]),
                {entryIds[i], id});
        cnn().execute("INSERT INTO tblMessages (EntryID, StoreID, TimeCardID) VALUES (?, ?, ?)",
                      {entryIds[4], folder(K::Inbox).storeId(), id});
        // A task whose item was deleted elsewhere: deleting it again is no failure.
        cnn().execute("INSERT INTO tblTasks (EntryID, TimeCardID) VALUES ('gone/x.ics', ?)", {id});
        cnn().execute("UPDATE tblTimeCards SET JournalEntryID = ? WHERE TimeCardID = ?",
                      {entryIds[5], id});
        document = tmp.filePath("brief.odt");
        QFile file(document);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
        file.close();
        cnn().execute("INSERT INTO tblDocuments (TimeCardID, FileName, FilePath) VALUES (?, ?, ?)",
                      {id, "brief.odt", tmp.path()});
        openExpense = charge("tblExpenses", "ExpenseID");
        billedExpense = charge("tblExpenses", "ExpenseID", 9);
        openCharge = charge("tblFixedCharges", "ProductID");
    }

    bool itemExists(int i) { return items->itemFromId(entryIds[i], QString()) != nullptr; }
    int linkRows()
    {
        int n = 0;
        for (int k = 0; k < LinkKindCount; ++k)
            n += cnn()
                     .scalar(QString("SELECT COUNT(*) FROM %1 WHERE TimeCardID = ?")
                                 .arg(linkTable(LinkKind(k))),
                             {id})
                     .toInt();
        return n;
    }
    QVariant chargeCard(const char *table, const char *key, qint64 row)
    {
        return cnn().scalar(QString("SELECT TimeCardID FROM %1 WHERE %2 = ?").arg(table, key),
                            {row});
    }
    bool cardStored()
    {
        return cnn()
                   .scalar("SELECT COUNT(*) FROM tblTimeCards WHERE TimeCardID = ?", {id})
                   .toInt() == 1;
    }
};

// Delete the related items of these kinds (and the journal entry); links only else.
QVariantMap deleting(std::initializer_list<LinkKind> kinds)
{
    QVariantList chosen(LinkKindCount, false);
    for (const LinkKind kind : kinds)
        chosen[static_cast<int>(kind)] = true;
    return {{DeleteDialogKey::DeleteItems, chosen}, {DeleteDialogKey::DeleteJournal, true}};
}

} // namespace

TEST_F(Delete, EachKindLosesItsLinksAndOnlyTheChosenItemsFilesAndChargesGo)
{
    const LinkCounts counts = countLinks(cnn(), id, entryIds[5]);
    EXPECT_EQ(counts.perKind, (std::array<int, 8>{1, 1, 2, 1, 1, 1, 2, 1}));
    using K = LinkKind;
    prompts.answerDialog(
        true, deleting({K::TimedAppointments, K::Tasks, K::Messages, K::Documents, K::Expenses}));

    EXPECT_TRUE(DeleteRecordAndItems(*editor, prompts, context));

    EXPECT_EQ(prompts.dialogs().at(0).name, "frmDeleteTimeCard");
    EXPECT_FALSE(cardStored());
    EXPECT_EQ(linkRows(), 0);
    const QList<bool> kept = {false, true, false, true, false, false};
    for (int i = 0; i < entryIds.size(); ++i)
        EXPECT_EQ(itemExists(i), kept[i]) << i;
    EXPECT_FALSE(QFile::exists(document));
    EXPECT_FALSE(chargeCard("tblExpenses", "ExpenseID", openExpense).isValid());
    // Its invoice still needs it: kept, no longer linked; so is a charge not chosen.
    EXPECT_TRUE(chargeCard("tblExpenses", "ExpenseID", billedExpense).isValid());
    EXPECT_TRUE(chargeCard("tblExpenses", "ExpenseID", billedExpense).isNull());
    EXPECT_TRUE(chargeCard("tblFixedCharges", "ProductID", openCharge).isValid());
    EXPECT_TRUE(chargeCard("tblFixedCharges", "ProductID", openCharge).isNull());
    EXPECT_EQ(progress, QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(statuses, QStringList({"Deleting a TimeCard...", "Review"}));
    EXPECT_TRUE(prompts.messages().isEmpty());
    // The neighbour is current and settled as any arriving TimeCard.
    EXPECT_FALSE(editor->deleting());
    ASSERT_TRUE(editor->currentTimeCardId());
    EXPECT_NE(*editor->currentTimeCardId(), id);
    EXPECT_EQ(editor->currentJournalEntryId(), set.timeCards().value("JournalEntryID").toString());
}

TEST_F(Delete, AFailedDeleteLeavesEverythingAndACancelDoesNothing)
{
    prompts.answerDialog(false);
    EXPECT_FALSE(DeleteRecordAndItems(*editor, prompts, context));
    EXPECT_EQ(statuses.back(), "Review");
    EXPECT_TRUE(cardStored());

    // Someone else changed the TimeCard since it was shown: the rows roll back
    // and no item goes, as none may lose its link for a TimeCard that stays.
    cnn().execute("UPDATE tblTimeCards SET Description = 'changed' WHERE TimeCardID = ?", {id});
    prompts.answerDialog(true, deleting({LinkKind::Tasks, LinkKind::Expenses}));
    EXPECT_FALSE(DeleteRecordAndItems(*editor, prompts, context));

    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_TRUE(cardStored());
    EXPECT_EQ(linkRows(), 10);
    for (int i = 0; i < entryIds.size(); ++i)
        EXPECT_TRUE(itemExists(i)) << i;
    EXPECT_TRUE(QFile::exists(document));
    EXPECT_EQ(chargeCard("tblExpenses", "ExpenseID", openExpense).toLongLong(), id);
    EXPECT_EQ(editor->currentTimeCardId(), id);
    EXPECT_FALSE(editor->deleting());
}
