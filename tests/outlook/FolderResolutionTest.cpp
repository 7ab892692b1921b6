#include "SessionFixture.h"
#include "outlook/OutlookMessages.h"
#include "platform/pim/Namespace.h"

using namespace quorvale;
using namespace quorvale::pim;

namespace {

class FolderResolutionTest : public test::SessionFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.CreateOutlookInstance());
        ns = &session.nameSpace();
        // Something the session must leave alone.
        registry.openSubKey("Settings").writeText("Logon", "0");
    }
    Folder defaultFolder(DefaultFolder kind) { return ns->GetDefaultFolder(kind); }
    FolderIds validIds()
    {
        FolderIds ids;
        ids.contacts = idOf(defaultFolder(DefaultFolder::Contacts));
        ids.secondContacts =
            idOf(ns->createFolder(ns->defaultStore(), "Suppliers", ItemType::Contact));
        ids.journal = idOf(defaultFolder(DefaultFolder::Journal));
        ids.tasks = idOf(defaultFolder(DefaultFolder::Tasks));
        ids.timeCardAppointments =
            idOf(ns->createFolder(ns->defaultStore(), "Time Detail", ItemType::Appointment));
        ids.scheduledAppointments = idOf(defaultFolder(DefaultFolder::Calendar));
        ids.notes = idOf(defaultFolder(DefaultFolder::Notes));
        return ids;
    }
    static FolderId stale() { return {"gone", "nowhere"}; }

    Namespace *ns = nullptr;
};

TEST_F(FolderResolutionTest, ValidIdsResolveSilentlyAndWriteNothing)
{
    const FolderIds ids = validIds();
    const QByteArray before = settingsBytes();

    ASSERT_TRUE(session.SetFolderObjects(ids));

    EXPECT_TRUE(prompts.messages().isEmpty());
    EXPECT_TRUE(prompts.dialogs().isEmpty());
    EXPECT_EQ(settingsBytes(), before);
    EXPECT_EQ(session.folderIds(), ids);
    for (const FolderSlot slot : FolderSlotsInOrder) {
        ASSERT_TRUE(session.folder(slot)) << int(slot);
        EXPECT_EQ(idOf(*session.folder(slot)), ids[slot]);
    }
    EXPECT_EQ(session.folder(FolderSlot::TimeCardAppointments)->name(), "Time Detail");
    EXPECT_FALSE(session.ended());
}

TEST_F(FolderResolutionTest, EmptyIdsTakeTheDefaultFoldersAndAnEmptySecondContactsIsSkipped)
{
    const QByteArray before = settingsBytes();
    ASSERT_TRUE(session.SetFolderObjects(FolderIds{}));

    EXPECT_TRUE(prompts.messages().isEmpty());
    EXPECT_EQ(settingsBytes(), before);
    EXPECT_FALSE(session.folder(FolderSlot::SecondContacts));
    EXPECT_TRUE(session.folderIds().secondContacts.isEmpty());
    EXPECT_EQ(session.folderIds().journal, idOf(defaultFolder(DefaultFolder::Journal)));
    EXPECT_EQ(session.folderIds().timeCardAppointments,
              idOf(defaultFolder(DefaultFolder::Calendar)));
    EXPECT_EQ(session.folderIds().scheduledAppointments,
              idOf(defaultFolder(DefaultFolder::Calendar)));
    EXPECT_EQ(session.folder(FolderSlot::Notes)->defaultItemType(), ItemType::Note);
}

TEST_F(FolderResolutionTest, AStaleIdIsChosenAgainAndStored)
{
    FolderIds ids = validIds();
    ids.journal = stale();
    const Folder replacement =
        ns->createFolder(ns->defaultStore(), "Billing Journal", ItemType::Journal);
    prompts.answerDialog(true, pick(replacement));

    ASSERT_TRUE(session.SetFolderObjects(ids));

    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(prompts.messages().front().title, "Missing Journal Folder");
    EXPECT_EQ(prompts.messages().front().text,
              QStringLiteral("Quorvale cannot locate your Journal folder.  Please \r\n"
                             "select your Journal folder from the following dialog."));
    ASSERT_EQ(prompts.dialogs().size(), 1);
    EXPECT_EQ(prompts.dialogs().front().name, "FolderPicker");
    const QVariantList offered = prompts.dialogs().front().valuesIn.value("folders").toList();
    EXPECT_EQ(offered.size(), ns->allFolders().size());
    bool listed = false;
    for (const QVariant &entry : offered) {
        const QVariantMap map = entry.toMap();
        if (map.value("entryId").toString() == replacement.entryId()) {
            listed = true;
            EXPECT_EQ(map.value("storeId").toString(), replacement.storeId());
            EXPECT_EQ(map.value("name").toString(), "Billing Journal");
            EXPECT_EQ(map.value("defaultItemType").toInt(), 4);
            EXPECT_EQ(map.value("path").toString(), replacement.path());
        }
    }
    EXPECT_TRUE(listed);

    EXPECT_EQ(storedFolderValue("Journal EntryID"), replacement.entryId());
    EXPECT_EQ(storedFolderValue("Journal StoreID"), replacement.storeId());
    EXPECT_EQ(Registry(iniPath).openSubKey("Settings").readText("Logon"), "0");
    EXPECT_EQ(session.folderIds().journal, idOf(replacement));
    EXPECT_EQ(session.folder(FolderSlot::Journal), replacement);
    EXPECT_EQ(session.folderIds().tasks, ids.tasks);
}

TEST_F(FolderResolutionTest, AWrongTypeIsRefusedNamingTheWantedTypeUntilARightOneIsPicked)
{
    const Folder calendar = defaultFolder(DefaultFolder::Calendar);
    const Folder tasks = defaultFolder(DefaultFolder::Tasks);
    // Message answers and picks are separate queues; each OK box takes an Ok.
    prompts.answer(PromptResult::Ok); // Missing Tasks Folder
    prompts.answerDialog(true, pick(calendar));
    prompts.answer(PromptResult::Ok); // Invalid Folder Type
    prompts.answer(PromptResult::Yes);
    // The second pick is checked as well.
    prompts.answerDialog(true, pick(calendar));
    prompts.answer(PromptResult::Ok);
    prompts.answer(PromptResult::Yes);
    prompts.answerDialog(true, pick(tasks));

    const std::optional<Folder> folder =
        session.SetFolderObject(FolderKind::Tasks, stale().entryId, stale().storeId);

    ASSERT_TRUE(folder);
    EXPECT_EQ(*folder, tasks);
    EXPECT_EQ(titles(),
              (QStringList{"Missing Tasks Folder", " Invalid Folder Type", "Missing Tasks Setting",
                           " Invalid Folder Type", "Missing Tasks Setting"}));
    EXPECT_EQ(prompts.messages().at(1).text,
              QStringLiteral("The selected folder is the wrong type.  Please \r\n"
                             "select a Tasks folder."));
    EXPECT_EQ(prompts.messages().at(2).buttons, PromptButtons::YesNo);
    EXPECT_EQ(prompts.messages().at(2).text,
              QStringLiteral("You did not select a folder.  Do you wish to try again?\r\n\r\n"
                             "Select \"No\" if you wish to end the program and try \r\n"
                             "again later."));
    EXPECT_EQ(storedFolderValue("Tasks EntryID"), tasks.entryId());
    EXPECT_EQ(prompts.unusedAnswers(), 0u);
}

TEST_F(FolderResolutionTest, AnyCalendarServesBothAppointmentKinds)
{
    const Folder calendar = defaultFolder(DefaultFolder::Calendar);
    const Folder other = ns->createFolder(ns->defaultStore(), "Court Dates", ItemType::Appointment);
    for (const FolderKind kind :
         {FolderKind::TimeCardAppointments, FolderKind::ScheduledAppointments}) {
        for (const Folder &folder : {calendar, other}) {
            prompts.answerDialog(true, pick(folder));
            EXPECT_EQ(session.GetOLFolder(kind), folder);
        }
        // A task folder is refused, and the message asks for a Calendar.
        prompts.answerDialog(true, pick(defaultFolder(DefaultFolder::Tasks)));
        EXPECT_FALSE(session.GetOLFolder(kind));
        EXPECT_EQ(prompts.messages().back().text,
                  QStringLiteral("The selected folder is the wrong type.  Please \r\n"
                                 "select a Calendar folder."));
    }
    // Cancelling the picker is no choice, and says nothing.
    const auto shown = prompts.messages().size();
    prompts.answerDialog(false);
    EXPECT_FALSE(session.GetOLFolder(FolderKind::Notes));
    EXPECT_EQ(prompts.messages().size(), shown);
}

TEST_F(FolderResolutionTest, NoEndsTheProgramWithoutStoringOrAskingFurther)
{
    FolderIds ids = validIds();
    ids.journal = stale();
    ids.notes = stale();
    const QByteArray before = settingsBytes();
    prompts.answer(PromptResult::Ok);
    prompts.answerDialog(false);
    prompts.answer(PromptResult::No);

    EXPECT_FALSE(session.SetFolderObjects(ids));

    EXPECT_TRUE(session.ended());
    EXPECT_EQ(titles(), (QStringList{"Missing Journal Folder", "Missing Journal Setting"}));
    EXPECT_EQ(settingsBytes(), before);
}

TEST_F(FolderResolutionTest, StaleFoldersAreAskedForInTheFixedOrder)
{
    FolderIds ids;
    for (const FolderSlot slot : FolderSlotsInOrder)
        ids[slot] = stale();
    const Folder contacts = defaultFolder(DefaultFolder::Contacts);
    const Folder suppliers = ns->createFolder(ns->defaultStore(), "Suppliers", ItemType::Contact);
    prompts.answerDialog(true, pick(contacts));
    prompts.answerDialog(true, pick(suppliers));
    prompts.answerDialog(true, pick(defaultFolder(DefaultFolder::Journal)));
    prompts.answerDialog(true, pick(defaultFolder(DefaultFolder::Tasks)));
    prompts.answerDialog(true, pick(defaultFolder(DefaultFolder::Calendar)));
    prompts.answerDialog(true, pick(defaultFolder(DefaultFolder::Calendar)));
    prompts.answerDialog(true, pick(defaultFolder(DefaultFolder::Notes)));

    ASSERT_TRUE(session.SetFolderObjects(ids));

    EXPECT_EQ(
        titles(),
        (QStringList{"Missing Contacts Folder", "Missing Contacts Folder", "Missing Journal Folder",
                     "Missing Tasks Folder", "Missing TimeCard Appointments Folder",
                     "Missing Scheduled Appointments Folder", "Missing Notes Folder"}));
    // The second contacts folder keeps its choice in memory only: the one
    // "Contacts" value is the first folder's.
    EXPECT_EQ(storedFolderValue("Contacts EntryID"), contacts.entryId());
    EXPECT_EQ(session.folderIds().secondContacts, idOf(suppliers));
    EXPECT_EQ(storedFolderValue("TimeCard Appointments StoreID"), ns->defaultStore().id());
    EXPECT_EQ(storedFolderValue("Scheduled Appointments EntryID"),
              defaultFolder(DefaultFolder::Calendar).entryId());
    EXPECT_EQ(storedFolderValue("Notes EntryID"), defaultFolder(DefaultFolder::Notes).entryId());
}

} // namespace
