#include "outlook/LinkMaintenance.h"

#include "data/DataStore.h"
#include "data/DatabaseSettings.h"
#include "outlook/NewJournalEntry.h"
#include "outlook/OutlookSession.h"
#include "outlook/ProgramStoreFixture.h"
#include "platform/core/QvError.h"
#include "platform/pim/ContactItem.h"
#include "platform/pim/Items.h"
#include "platform/pim/JournalItem.h"
#include "platform/pim/MailItem.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/NoteItem.h"
#include "platform/pim/TaskItem.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "support/UpdatePrompt.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"

#include <QFile>
#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

// A TimeCard with its journal entry, a task, a note and a sent message in a
// real item store, and an expense and a fixed charge in a real database.
class LinkMaintenanceTest : public test::ProgramStoreFixture {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(openProgramAndStore());
        oldContact = addContact("Olga Old", "Old & Co");
        newContact = addContact("Nina New", "New Ltd");
        design = addActivity("Design");
        review = addActivity("Review; \"final\"");
        const QString entryId =
            NewJournalEntry(session, {"Task", "None", "Ann O'Hara"}, QDateTime::currentDateTime())
                ->entryId;
        cardId = cnn().insertReturningKey(
            "INSERT INTO tblTimeCards (UserId, ContactID, Activity1ID, Description, "
            "JournalEntryID) VALUES (1, ?, ?, 'Lease', ?)",
            {oldContact, design, entryId}, "TimeCardID");
        LinkMaintenanceHooks hooks;
        hooks.card = [this](qint64 id) { return readCard(id); };
        hooks.templates = [] { return TemplateContext{}; };
        hooks.progress = [this](int done, int total) { progress.append({done, total}); };
        maintenance = std::make_unique<LinkMaintenance>(
            session, cnn(), prompts,
            LinkMaintenanceOptions{true, true, true, {"Service", true, "Project", false, {}}},
            std::move(hooks));
    }

    qint32 addContact(const QString &name, const QString &company)
    {
        auto item = pim::Items(*session.folder(FolderSlot::Contacts)).Add();
        auto *contact = dynamic_cast<pim::ContactItem *>(item.get());
        contact->setFullName(name);
        contact->setCompanyName(company);
        contact->Save();
        contactIds[name] = contact->EntryID();
        return static_cast<qint32>(cnn().insertReturningKey(
            "INSERT INTO tblContacts (ContactName, ContactEntryID, Active) VALUES (?, ?, -1)",
            {name, contact->EntryID()}, "ContactID"));
    }
    qint32 addActivity(const QString &name)
    {
        return static_cast<qint32>(cnn().insertReturningKey(
            "INSERT INTO tblMainActivities (ActivityName, Active) VALUES (?, -1)", {name},
            "ActivityID"));
    }
    // An item linked to the TimeCard, filled as an earlier run left it.
    QString link(const pim::Folder &folder, const char *table)
    {
        auto item = pim::Items(folder).Add();
        item->setSubject("old subject");
        item->setBody("old body");
        const pim::ContactLink olga{"Olga Old", contactIds["Olga Old"], {}};
        if (auto *ical = dynamic_cast<pim::IcalItem *>(item.get()))
            ical->setLinks({olga});
        else if (auto *message = dynamic_cast<pim::MailItem *>(item.get()))
            message->setLinks({olga});
        item->Save();
        cnn().execute(QStringLiteral("INSERT INTO %1 (TimeCardID, EntryID) VALUES (?, ?)")
                          .arg(QLatin1String(table)),
                      {cardId, item->EntryID()});
        return item->EntryID();
    }
    void addCharges(const QVariant &invoiceId)
    {
        for (const char *table : {"tblExpenses", "tblFixedCharges"})
            cnn().execute(QStringLiteral("INSERT INTO %1 (TimeCardID, UserID, ContactID, "
                                         "Activity1ID, InvoiceID) VALUES (?, 1, ?, ?, ?)")
                              .arg(QLatin1String(table)),
                          {cardId, oldContact, design, invoiceId});
    }
    QVariant charge(const char *table, const char *column)
    {
        return cnn().scalar(QStringLiteral("SELECT %1 FROM %2 WHERE TimeCardID = ?")
                                .arg(QLatin1String(column), QLatin1String(table)),
                            {cardId});
    }
    template <typename Kind> std::unique_ptr<Kind> reread(const QString &entryId)
    {
        pim::Namespace fresh(root, false);
        std::unique_ptr<pim::Item> item = fresh.itemFromId(entryId, {});
        return std::unique_ptr<Kind>(dynamic_cast<Kind *>(item.release()));
    }
    QString journalEntryId()
    {
        return cnn()
            .scalar("SELECT JournalEntryID FROM tblTimeCards WHERE TimeCardID = ?", {cardId})
            .toString();
    }

    // Reads the TimeCard back as the main window hands it over: the row as it
    // stands, with the names its keys look up.
    std::optional<ItemVariables> readCard(qint64 id)
    {
        QSqlQuery q = cnn().prepare(
            "SELECT t.ContactID, t.Activity1ID, t.JournalEntryID, c.ContactEntryID, a.ActivityName "
            "FROM tblTimeCards t LEFT JOIN tblContacts c ON c.ContactID = t.ContactID LEFT JOIN "
            "tblMainActivities a ON a.ActivityID = t.Activity1ID WHERE t.TimeCardID = ?");
        cnn().run(q, {id});
        if (!q.next())
            return std::nullopt;
        ItemVariables c;
        c.id = static_cast<qint32>(id);
        c.userName = "Ann O'Hara";
        c.contactId = q.value(0).toInt();
        c.activity1Id = q.value(1).toInt();
        c.journalEntryId = q.value(2).toString();
        c.contactEntryId = q.value(3).toString();
        c.activity1Name = q.value(4).toString();
        return c;
    }
    // The window writes the new value into the row before the links follow it.
    bool change(const char *column, qint32 value, bool subject, bool body)
    {
        cnn().execute(QStringLiteral("UPDATE tblTimeCards SET %1 = ? WHERE TimeCardID = ?")
                          .arg(QLatin1String(column)),
                      {value, cardId});
        prompts.answerDialog(true, {{ModifySubjectKey, subject}, {ModifyBodyKey, body}});
        return maintenance->UpdateLinks(QLatin1String(column), value, cardId, false);
    }

    QMap<QString, QString> contactIds;
    qint32 oldContact = 0, newContact = 0, design = 0, review = 0;
    qint64 cardId = 0;
    QList<std::pair<int, int>> progress;
    std::unique_ptr<LinkMaintenance> maintenance;
};

} // namespace

TEST_F(LinkMaintenanceTest, ActivityChangeWithoutTicksMovesChargesAndPropertiesOnly)
{
    addCharges(QVariant());
    const QString task = link(*session.folder(FolderSlot::Tasks), "tblTasks");
    const QString note = link(*session.folder(FolderSlot::Notes), "tblNotes");

    ASSERT_TRUE(change("Activity1ID", review, false, false));

    EXPECT_EQ(charge("tblExpenses", "Activity1ID").toInt(), review);
    EXPECT_EQ(charge("tblFixedCharges", "Activity1ID").toInt(), review);
    EXPECT_EQ(charge("tblExpenses", "ContactID").toInt(), oldContact);
    auto t = reread<pim::TaskItem>(task);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->Subject(), "old subject");
    EXPECT_EQ(t->Body(), "old body");
    ASSERT_EQ(t->Links().size(), 1);
    EXPECT_EQ(t->Links().front().name, "Olga Old");
    EXPECT_EQ(t->userProperties().value("Service").toString(), "Review; \"final\"");
    EXPECT_EQ(t->userProperties().value("TimeCardID").toInt(), cardId);
    auto n = reread<pim::NoteItem>(note);
    ASSERT_TRUE(n);
    EXPECT_EQ(n->Body(), "old body");
    EXPECT_FALSE(n->userProperties().value("Service").isValid());
    auto j = reread<pim::JournalItem>(journalEntryId());
    EXPECT_EQ(j->userProperties().value("Service").toString(), "Review; \"final\"");
    // The journal entry and both items, each counted once.
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last(), std::make_pair(3, 3));
}

TEST_F(LinkMaintenanceTest, ContactChangeRelinksRewritesTextsAndFollowsInvoicedCharges)
{
    addCharges(42);
    const QString task = link(*session.folder(FolderSlot::Tasks), "tblTasks");
    const QString note = link(*session.folder(FolderSlot::Notes), "tblNotes");
    const QString gone =
        link(*session.folder(FolderSlot::ScheduledAppointments), "tblScheduledAppointments");
    const QString message =
        link(session.nameSpace().GetDefaultFolder(pim::DefaultFolder::SentMail), "tblMessages");
    session.nameSpace().GetItemFromID(gone, {})->Delete();

    ASSERT_TRUE(change("ContactID", newContact, true, true));

    // Invoiced charges keep naming the TimeCard's contact.
    EXPECT_EQ(charge("tblExpenses", "ContactID").toInt(), newContact);
    EXPECT_EQ(charge("tblFixedCharges", "ContactID").toInt(), newContact);
    auto t = reread<pim::TaskItem>(task);
    ASSERT_EQ(t->Links().size(), 1);
    EXPECT_EQ(t->Links().front().name, "Nina New");
    EXPECT_EQ(t->Companies(), "New Ltd");
    EXPECT_TRUE(t->Subject().startsWith("Nina New:")) << t->Subject().toStdString();
    EXPECT_TRUE(t->Body().contains("Nina New"));
    EXPECT_TRUE(reread<pim::NoteItem>(note)->Body().contains("Nina New"));
    auto j = reread<pim::JournalItem>(journalEntryId());
    ASSERT_EQ(j->Links().size(), 1);
    EXPECT_EQ(j->Links().front().name, "Nina New");
    auto m = reread<pim::MailItem>(message);
    ASSERT_TRUE(m);
    ASSERT_EQ(m->Links().size(), 1);
    EXPECT_EQ(m->Links().front().name, "Nina New");
    EXPECT_EQ(m->Links().front().entryId, contactIds["Nina New"]);
    EXPECT_EQ(m->Subject(), "old subject");
    EXPECT_EQ(m->Body().trimmed(), "old body");
    EXPECT_EQ(m->userProperties().value("TimeCardID").toInt(), cardId);
    EXPECT_TRUE(prompts.messages().isEmpty());
    EXPECT_EQ(progress.last(), std::make_pair(5, 5));
}

TEST_F(LinkMaintenanceTest, WithoutLinksOnlyTheJournalEntryFollows)
{
    ASSERT_TRUE(change("Activity1ID", review, true, false));
    auto j = reread<pim::JournalItem>(journalEntryId());
    EXPECT_EQ(j->userProperties().value("Service").toString(), "Review; \"final\"");
    EXPECT_TRUE(j->Subject().startsWith("Olga Old:"));
    EXPECT_EQ(progress.last(), std::make_pair(1, 1));
}

TEST_F(LinkMaintenanceTest, CancelOrAnUnknownFieldChangesNothing)
{
    addCharges(QVariant());
    const QString task = link(*session.folder(FolderSlot::Tasks), "tblTasks");
    const auto bytes = [](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray taskBefore = bytes(reread<pim::TaskItem>(task)->filePath());
    const QByteArray journalBefore = bytes(reread<pim::JournalItem>(journalEntryId())->filePath());

    prompts.answerDialog(false);
    EXPECT_FALSE(maintenance->UpdateLinks("ContactID", newContact, cardId, false));
    EXPECT_THROW(maintenance->UpdateLinks("ContactID = 0; --", newContact, cardId, true), QvError);

    EXPECT_EQ(charge("tblExpenses", "ContactID").toInt(), oldContact);
    EXPECT_EQ(charge("tblFixedCharges", "ContactID").toInt(), oldContact);
    EXPECT_EQ(bytes(reread<pim::TaskItem>(task)->filePath()), taskBefore);
    EXPECT_EQ(bytes(reread<pim::JournalItem>(journalEntryId())->filePath()), journalBefore);
    EXPECT_TRUE(progress.isEmpty());
}
