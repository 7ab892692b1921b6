#include "platform/pim/Store.h"

#include "platform/core/QvError.h"
#include "platform/pim/PrivateFiles.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace quorvale;
using namespace quorvale::pim;

namespace {

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

class StoreTest : public ::testing::Test {
protected:
    test::TempDir dir;
    QString root = dir.filePath(QStringLiteral("Store"));
};

TEST_F(StoreTest, FolderNamesBecomeSafeUniqueDirectories)
{
    Store store = Store::create(root, QStringLiteral("Mine"));
    const Folder a = store.createFolder(QStringLiteral("Clients/2025"), ItemType::Task);
    const Folder b = store.createFolder(QStringLiteral("Clients/2025"), ItemType::Task);
    const Folder hidden = store.createFolder(QStringLiteral(".hidden"), ItemType::Note);

    EXPECT_EQ(QFileInfo(a.path()).fileName(), QStringLiteral("Clients_2025"));
    EXPECT_EQ(QFileInfo(b.path()).fileName(), QStringLiteral("Clients_2025 2"));
    EXPECT_EQ(QFileInfo(hidden.path()).fileName(), QStringLiteral("_hidden"));
    // The name itself is kept as given.
    EXPECT_EQ(a.name(), QStringLiteral("Clients/2025"));
    EXPECT_NE(a.entryId(), b.entryId());
    EXPECT_EQ(store.findFolder(b.entryId()), b);
    EXPECT_EQ(store.folders().size(), 3);
}

TEST_F(StoreTest, OnlyDirectoriesWithFolderMetadataAreFolders)
{
    Store store = Store::create(root, QStringLiteral("Mine"));
    const Folder calendar = store.createFolder(QStringLiteral("Calendar"), ItemType::Appointment);
    // Items are not folders and are never read to find one.
    writeFile(QDir(calendar.path()).filePath(QStringLiteral("event.ics")), "not iCalendar at all");
    // A plain vdir made by another tool, and one with broken metadata.
    ASSERT_TRUE(QDir(root).mkdir(QStringLiteral("khal-made")));
    ASSERT_TRUE(QDir(root).mkdir(QStringLiteral("broken")));
    writeFile(QDir(root).filePath(QStringLiteral("broken/.quorvale-folder")), "{\"id\": \"x\"");
    ASSERT_TRUE(QDir(root).mkdir(QStringLiteral("badtype")));
    writeFile(QDir(root).filePath(QStringLiteral("badtype/.quorvale-folder")),
              "{\"id\": \"y\", \"name\": \"Y\", \"defaultItemType\": 9}");

    const QList<Folder> folders = store.folders();
    ASSERT_EQ(folders.size(), 1);
    EXPECT_EQ(folders.front(), calendar);
    EXPECT_FALSE(store.findFolder(QStringLiteral("x")));
    EXPECT_FALSE(store.findFolder(QStringLiteral("y")));
}

TEST_F(StoreTest, ACopiedFolderDoesNotShadowTheOriginal)
{
    Store store = Store::create(root, QStringLiteral("Mine"));
    const Folder journal = store.createFolder(QStringLiteral("A Journal"), ItemType::Journal);
    const QString copy = QDir(root).filePath(QStringLiteral("B Journal copy"));
    ASSERT_TRUE(QDir().mkdir(copy));
    ASSERT_TRUE(QFile::copy(QDir(journal.path()).filePath(QStringLiteral(".quorvale-folder")),
                            QDir(copy).filePath(QStringLiteral(".quorvale-folder"))));

    EXPECT_EQ(store.folders().size(), 1);
    EXPECT_EQ(Store::open(root).findFolder(journal.entryId())->path(), journal.path());
}

TEST_F(StoreTest, TheVdirDisplayNameWins)
{
    Store store = Store::create(root, QStringLiteral("Mine"));
    const Folder notes = store.createFolder(QStringLiteral("Notes"), ItemType::Note);
    writeFile(QDir(notes.path()).filePath(QStringLiteral("displayname")), "Meeting notes\n");
    EXPECT_EQ(store.findFolder(notes.entryId())->name(), QStringLiteral("Meeting notes"));
}

TEST_F(StoreTest, CategoriesAndUnknownMetadataPersist)
{
    QString id;
    {
        Store store = Store::create(root, QStringLiteral("Mine"));
        id = store.id();
        store.setCategories({QStringLiteral("Billable"), QStringLiteral("Key Customer")});
        EXPECT_EQ(store.categoryMasterList(), QStringLiteral("Billable;Key Customer;"));
    }
    // A later version's key survives our rewrite.
    const QString metaPath = QDir(root).filePath(QStringLiteral(".quorvale-store"));
    QJsonObject meta = readJsonObject(metaPath);
    meta.insert(QStringLiteral("future"), 42);
    writeJsonObject(metaPath, meta);

    Store store = Store::open(root);
    EXPECT_EQ(store.id(), id);
    EXPECT_EQ(store.categories(),
              (QStringList{QStringLiteral("Billable"), QStringLiteral("Key Customer")}));
    store.setCategories({});
    EXPECT_EQ(store.categoryMasterList(), QString());
    EXPECT_EQ(readJsonObject(metaPath).value(QStringLiteral("future")).toInt(), 42);

    EXPECT_THROW(Store::create(root, QStringLiteral("Again")), QvError);
    writeFile(metaPath, "garbage");
    EXPECT_THROW(Store::open(root), QvError);
}

} // namespace
