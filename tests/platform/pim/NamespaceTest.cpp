#include "platform/pim/Namespace.h"

#include "platform/core/QvError.h"
#include "platform/pim/PrivateFiles.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace quorvale;
using namespace quorvale::pim;

namespace {

constexpr QFileDevice::Permissions OwnerFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions OwnerDir = OwnerFile | QFileDevice::ExeOwner;

QFileDevice::Permissions modeOf(const QString &path)
{
    // Only the rwx bits of owner, group and others; Qt adds its "User" copies.
    return QFileInfo(path).permissions() &
           (QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
            QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
            QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
}

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class NamespaceTest : public ::testing::Test {
protected:
    test::TempDir dir;
    QString root = dir.filePath(QStringLiteral("Items"));
};

TEST_F(NamespaceTest, AFirstRunLaysOutAStoreThatVdirToolsCanRead)
{
    Namespace ns(root);

    EXPECT_TRUE(ns.isReachable());
    EXPECT_EQ(ns.version(), QStringLiteral("11.0"));
    EXPECT_EQ(modeOf(root), OwnerDir);
    const QString storeMeta = QDir(root).filePath(QStringLiteral(".quorvale-store"));
    EXPECT_EQ(modeOf(storeMeta), OwnerFile);
    const QJsonObject meta = QJsonDocument::fromJson(readText(storeMeta).toUtf8()).object();
    EXPECT_EQ(meta.value(QStringLiteral("id")).toString(), ns.defaultStore().id());
    EXPECT_EQ(meta.value(QStringLiteral("name")).toString(), QStringLiteral("Personal Folders"));
    EXPECT_TRUE(ns.categories().isEmpty());
    EXPECT_EQ(ns.categoryMasterList(), QString());

    struct Expected {
        DefaultFolder kind;
        const char *dir;
        ItemType type;
    };
    const Expected expected[] = {
        {DefaultFolder::Calendar, "Calendar", ItemType::Appointment},
        {DefaultFolder::Contacts, "Contacts", ItemType::Contact},
        {DefaultFolder::Journal, "Journal", ItemType::Journal},
        {DefaultFolder::Notes, "Notes", ItemType::Note},
        {DefaultFolder::Tasks, "Tasks", ItemType::Task},
        {DefaultFolder::Inbox, "Inbox", ItemType::Mail},
        {DefaultFolder::Outbox, "Outbox", ItemType::Mail},
        {DefaultFolder::SentMail, "Sent Items", ItemType::Mail},
        {DefaultFolder::Drafts, "Drafts", ItemType::Mail},
        {DefaultFolder::DeletedItems, "Deleted Items", ItemType::Mail},
    };
    QStringList ids;
    for (const Expected &e : expected) {
        SCOPED_TRACE(e.dir);
        const QString path = QDir(root).filePath(QLatin1String(e.dir));
        const Folder folder = ns.GetDefaultFolder(e.kind);
        EXPECT_EQ(folder.path(), path);
        EXPECT_EQ(folder.name(), QLatin1String(e.dir));
        EXPECT_EQ(folder.defaultItemType(), e.type);
        EXPECT_EQ(folder.storeId(), ns.defaultStore().id());
        EXPECT_EQ(modeOf(path), OwnerDir);
        EXPECT_EQ(modeOf(QDir(path).filePath(QStringLiteral(".quorvale-folder"))), OwnerFile);
        EXPECT_EQ(readText(QDir(path).filePath(QStringLiteral("displayname"))),
                  QLatin1String(e.dir));
        const bool mail = e.type == ItemType::Mail;
        for (const char *sub : {"cur", "new", "tmp"}) {
            const QString subPath = QDir(path).filePath(QLatin1String(sub));
            EXPECT_EQ(QFileInfo(subPath).isDir(), mail) << sub;
            if (mail) {
                EXPECT_EQ(modeOf(subPath), OwnerDir) << sub;
            }
        }
        // vdirsyncer's colour file, which khal shows; mail folders have none.
        EXPECT_EQ(QFileInfo::exists(QDir(path).filePath(QStringLiteral("color"))), !mail);
        ids.append(folder.entryId());
    }
    ids.removeDuplicates();
    EXPECT_EQ(ids.size(), qsizetype(std::size(expected)));
    EXPECT_EQ(ns.allFolders().size(), qsizetype(std::size(expected)));
}

TEST_F(NamespaceTest, IdsSurviveReopeningAndRenamingAFolderDirectory)
{
    QString storeId;
    QString calendarId;
    {
        Namespace ns(root);
        storeId = ns.defaultStore().id();
        calendarId = ns.GetDefaultFolder(DefaultFolder::Calendar).entryId();
        // Looked up once, so the namespace holds where it was.
        EXPECT_EQ(ns.GetFolderFromID(calendarId, storeId).name(), QStringLiteral("Calendar"));
        ASSERT_TRUE(QDir(root).rename(QStringLiteral("Calendar"), QStringLiteral("Work")));
        // The same namespace finds the renamed directory too.
        EXPECT_EQ(ns.GetFolderFromID(calendarId, storeId).path(),
                  QDir(root).filePath(QStringLiteral("Work")));
    }

    Namespace again(root);
    EXPECT_EQ(again.defaultStore().id(), storeId);
    const Folder folder = again.GetFolderFromID(calendarId, storeId);
    EXPECT_EQ(folder.path(), QDir(root).filePath(QStringLiteral("Work")));
    EXPECT_EQ(folder.name(), QStringLiteral("Calendar"));
    // The default is the renamed folder, not a new one.
    EXPECT_EQ(again.GetDefaultFolder(DefaultFolder::Calendar).entryId(), calendarId);
    EXPECT_FALSE(QFileInfo::exists(QDir(root).filePath(QStringLiteral("Calendar"))));
}

TEST_F(NamespaceTest, GetFolderFromIDFindsValidIdsAndRefusesStaleOnes)
{
    Namespace ns(root);
    const Folder tasks = ns.GetDefaultFolder(DefaultFolder::Tasks);
    const QString storeId = ns.defaultStore().id();

    EXPECT_EQ(ns.GetFolderFromID(tasks.entryId(), storeId), tasks);
    // No StoreID: every store is searched.
    EXPECT_EQ(ns.GetFolderFromID(tasks.entryId(), QString()), tasks);

    for (const auto &[entryId, store] :
         {std::pair{QStringLiteral("00000000-0000-0000-0000-000000000000"), storeId},
          std::pair{tasks.entryId(), QStringLiteral("another-store")},
          std::pair{QString(), storeId}}) {
        SCOPED_TRACE(entryId.toStdString() + " / " + store.toStdString());
        EXPECT_FALSE(ns.findFolder(entryId, store));
        try {
            ns.GetFolderFromID(entryId, store);
            ADD_FAILURE() << "no error";
        } catch (const QvError &error) {
            EXPECT_EQ(error.number(), NotFoundError);
            EXPECT_EQ(error.source(), QStringLiteral("Quorvale Item Store"));
        }
    }

    // A folder removed on disk is stale too; its default comes back new.
    ASSERT_TRUE(QDir(tasks.path()).removeRecursively());
    EXPECT_FALSE(ns.findFolder(tasks.entryId(), storeId));
    const Folder remade = ns.GetDefaultFolder(DefaultFolder::Tasks);
    EXPECT_NE(remade.entryId(), tasks.entryId());
    EXPECT_EQ(remade.defaultItemType(), ItemType::Task);
    EXPECT_EQ(ns.GetDefaultFolder(DefaultFolder::Tasks).entryId(), remade.entryId());
}

TEST_F(NamespaceTest, FurtherStoresAreRememberedAndSearched)
{
    const QString otherRoot = dir.filePath(QStringLiteral("Archive"));
    QString otherId;
    Folder archived(QString(), QString(), QString(), ItemType::Mail, QString());
    {
        Namespace ns(root);
        Store &other = ns.createStore(otherRoot, QStringLiteral("Archive 2025"));
        otherId = other.id();
        EXPECT_NE(otherId, ns.defaultStore().id());
        // A new store beside the default one is empty.
        EXPECT_TRUE(other.folders().isEmpty());
        archived = ns.createFolder(other, QStringLiteral("Old Journal"), ItemType::Journal);
        EXPECT_EQ(archived.storeId(), otherId);
        // Opening it again adds nothing.
        EXPECT_EQ(&ns.openStore(otherRoot), &other);
        EXPECT_THROW(ns.createStore(otherRoot, QStringLiteral("Twice")), QvError);
        EXPECT_THROW(ns.openStore(dir.filePath(QStringLiteral("nothing"))), QvError);
    }

    Namespace again(root);
    ASSERT_EQ(again.stores().size(), 2);
    EXPECT_EQ(again.stores().at(1)->id(), otherId);
    EXPECT_EQ(again.stores().at(1)->name(), QStringLiteral("Archive 2025"));
    EXPECT_EQ(again.GetFolderFromID(archived.entryId(), otherId), archived);
    EXPECT_FALSE(again.findFolder(archived.entryId(), again.defaultStore().id()));
    EXPECT_EQ(again.allFolders().size(), qsizetype(std::size(AllDefaultFolders) + 1));

    // A store whose drive is gone today is left out, not fatal.
    ASSERT_TRUE(QDir(otherRoot).removeRecursively());
    Namespace without(root);
    EXPECT_EQ(without.stores().size(), 1);
}

TEST_F(NamespaceTest, ReachabilityFollowsTheRoot)
{
    {
        Namespace ns(root);
        ASSERT_TRUE(ns.isReachable());
        ASSERT_TRUE(QDir().rename(root, root + QStringLiteral(".moved")));
        EXPECT_FALSE(ns.isReachable());
        ASSERT_TRUE(QDir().rename(root + QStringLiteral(".moved"), root));
        EXPECT_TRUE(ns.isReachable());
    }
    // Opening without creating: a missing store is an error, not a new store.
    const QString missing = dir.filePath(QStringLiteral("missing"));
    EXPECT_THROW(Namespace(missing, false), QvError);
    EXPECT_FALSE(QFileInfo::exists(missing));

    // A root that cannot be made (its parent is a file) is an error.
    QFile blocker(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    try {
        Namespace ns(dir.filePath(QStringLiteral("file/Items")));
        ADD_FAILURE() << "no error";
    } catch (const QvError &error) {
        EXPECT_EQ(error.number(), PathFileAccessError);
    }
}

TEST_F(NamespaceTest, DefaultRootHonoursTheEnvironment)
{
    const QByteArray saved = qgetenv("QUORVALE_ITEMS");
    qunsetenv("QUORVALE_ITEMS");
    EXPECT_EQ(Namespace::defaultRoot(QStringLiteral("/home/u/Quorvale")),
              QStringLiteral("/home/u/Quorvale/Items"));
    qputenv("QUORVALE_ITEMS", "/srv/items");
    EXPECT_EQ(Namespace::defaultRoot(QStringLiteral("/home/u/Quorvale")),
              QStringLiteral("/srv/items"));
    if (saved.isNull())
        qunsetenv("QUORVALE_ITEMS");
    else
        qputenv("QUORVALE_ITEMS", saved);
}

} // namespace
