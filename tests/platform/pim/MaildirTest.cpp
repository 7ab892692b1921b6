#include "platform/core/QvError.h"
#include "platform/pim/MailItem.h"
#include "platform/pim/MaildirNames.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/PrivateFiles.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace quorvale;
using namespace quorvale::pim;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class MaildirTest : public ::testing::Test {
protected:
    test::TempDir dir;
    Namespace ns{dir.filePath(QStringLiteral("Items"))};
    Folder inbox = ns.GetDefaultFolder(DefaultFolder::Inbox);

    QStringList entries(const char *sub) const
    {
        return QDir(QDir(inbox.path()).filePath(QLatin1String(sub)))
            .entryList(QDir::Files | QDir::Hidden);
    }
};

TEST(MaildirNames, NamesSplitIntoBaseAndSortedFlags)
{
    EXPECT_EQ(maildir::baseName(QStringLiteral("cur/1.M2P3.host:2,FS")), u"1.M2P3.host");
    EXPECT_EQ(maildir::baseName(QStringLiteral("new/1.M2P3.host")), u"1.M2P3.host");
    EXPECT_EQ(maildir::flagsOf(QStringLiteral("cur/1.x.host:2,FS")), u"FS");
    EXPECT_EQ(maildir::flagsOf(QStringLiteral("new/1.x.host")), QString());
    EXPECT_EQ(maildir::withFlag(QStringLiteral("S"), maildir::Flagged, true), u"FS");
    EXPECT_EQ(maildir::withFlag(QStringLiteral("FRS"), maildir::Seen, false), u"FR");
    EXPECT_EQ(maildir::curName(QStringLiteral("b"), QStringLiteral("RS")), u"cur/b:2,RS");

    // Inside the Maildir only, whatever an EntryID holds.
    EXPECT_EQ(maildir::locate(QDir::tempPath(), QStringLiteral("cur/../../x")), QString());
    EXPECT_EQ(maildir::locate(QDir::tempPath(), QStringLiteral("..")), QString());
}

TEST_F(MaildirTest, WritesGoThroughTmpIntoCurAsPrivateFiles)
{
    auto item = readMailItem(inbox, QString());
    EXPECT_EQ(item, nullptr);
    MailItem mail(inbox);
    mail.setSubject(QStringLiteral("Hello"));
    mail.Save();

    EXPECT_TRUE(mail.fileName().startsWith(u"cur/"));
    EXPECT_TRUE(mail.fileName().endsWith(u":2,S"));
    EXPECT_TRUE(entries("tmp").isEmpty());
    EXPECT_TRUE(entries("new").isEmpty());
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ReadOther | QFileDevice::WriteOther;
    EXPECT_TRUE(QFile::permissions(mail.filePath()) & QFileDevice::ReadOwner);
    EXPECT_FALSE(QFile::permissions(mail.filePath()) & others);
    // The EntryID names the base only.
    EXPECT_EQ(mail.EntryID(), inbox.entryId() + u'/' + maildir::baseName(mail.fileName()));
}

TEST_F(MaildirTest, EntryIdSurvivesAFlagChangeByAnotherClient)
{
    MailItem mail(inbox);
    mail.setSubject(QStringLiteral("Flags"));
    mail.Save();
    const QString entryId = mail.EntryID();

    // Another client marks it flagged and replied: a rename.
    const QString renamed =
        maildir::curName(maildir::baseName(mail.fileName()), QStringLiteral("FRS"));
    ASSERT_TRUE(QFile::rename(mail.filePath(), QDir(inbox.path()).filePath(renamed)));

    auto found = ns.GetItemFromID(entryId, inbox.storeId());
    EXPECT_EQ(found->fileName(), renamed);
    EXPECT_EQ(found->EntryID(), entryId);
    // The item read before the rename still saves into that one file and keeps
    // the other client's flags.
    mail.setSubject(QStringLiteral("Flags again"));
    mail.Save();
    EXPECT_EQ(entries("cur"), QStringList{QFileInfo(renamed).fileName()});
    EXPECT_EQ(ns.GetItemFromID(entryId, inbox.storeId())->Subject(), u"Flags again");

    // Reading it marks nothing; marking it unread drops S by a rename.
    auto again = readMailItem(inbox, maildir::baseName(renamed));
    ASSERT_NE(again, nullptr);
    again->setUnRead(true);
    again->Save();
    EXPECT_TRUE(again->UnRead());
    EXPECT_EQ(maildir::flagsOf(again->fileName()), u"FR");
    EXPECT_EQ(entries("cur").size(), 1);

    again->Delete();
    EXPECT_TRUE(entries("cur").isEmpty());
    EXPECT_EQ(ns.itemFromId(entryId, inbox.storeId()), nullptr);
}

TEST_F(MaildirTest, AFolderThatCannotBeWrittenRefusesAndKeepsTheOldFile)
{
    MailItem mail(inbox);
    mail.setSubject(QStringLiteral("Original"));
    mail.Save();
    const QByteArray before = readAll(mail.filePath());

    QDir maildir(inbox.path());
    const auto setMode = [&](QFileDevice::Permissions mode) {
        for (const char *sub : {"tmp", "cur", "new"})
            QFile::setPermissions(maildir.filePath(QLatin1String(sub)), mode);
    };
    setMode(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    // Permissions do not stop root: then tmp/ is made unusable another way.
    const bool privileged = QFileInfo(maildir.filePath(QStringLiteral("tmp"))).isWritable();
    if (privileged) {
        setMode(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        ASSERT_TRUE(maildir.rename(QStringLiteral("tmp"), QStringLiteral("tmp.away")));
        QFile blocker(maildir.filePath(QStringLiteral("tmp")));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }

    mail.setSubject(QStringLiteral("Changed"));
    try {
        mail.Save();
        FAIL() << "the write went through";
    } catch (const QvError &e) {
        EXPECT_EQ(e.number(), PathFileAccessError);
        EXPECT_TRUE(e.description().contains(QStringLiteral("tmp"))) << e.what();
    }
    MailItem fresh(inbox);
    fresh.setSubject(QStringLiteral("New"));
    EXPECT_THROW(fresh.Save(), QvError);

    if (privileged) {
        ASSERT_TRUE(maildir.remove(QStringLiteral("tmp")));
        ASSERT_TRUE(maildir.rename(QStringLiteral("tmp.away"), QStringLiteral("tmp")));
    }
    setMode(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(readAll(mail.filePath()), before);
    EXPECT_EQ(entries("cur").size(), 1);
    EXPECT_TRUE(entries("tmp").isEmpty());
}

} // namespace
