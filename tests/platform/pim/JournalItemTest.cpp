#include "platform/pim/JournalItem.h"

#include "IcalFixture.h"
#include "platform/core/QvError.h"
#include "platform/pim/Items.h"
#include "platform/pim/PrivateFiles.h"
#include "testsupport/FullDisk.h"

#include <QFileInfo>

using namespace quorvale;
using namespace quorvale::pim;

namespace {

class JournalItemTest : public test::IcalFixture {};

TEST_F(JournalItemTest, EveryPropertyReadsBackAfterSave)
{
    auto entry = add<JournalItem>(DefaultFolder::Journal);
    ASSERT_TRUE(entry);
    const QDateTime start(QDate(2024, 5, 6), QTime(9, 15));
    entry->setSubject(QStringLiteral("Acme: design review"));
    entry->setBody(QStringLiteral("Line one\nLine two; with, marks"));
    entry->setStart(start);
    entry->setDuration(90);
    entry->setType(QStringLiteral("Phone call"));
    entry->setCategories({QStringLiteral("Clients"), QStringLiteral("Travel")});
    entry->setCompanies(QStringLiteral("Acme Ltd"));
    entry->setBillingInformation(QStringLiteral("ACME-01"));
    entry->setLinks(
        {{QStringLiteral("Ann Lee"), QStringLiteral("f1/ann.vcf"), QStringLiteral("u-ann")}});
    for (int i = 0; i < 10; ++i)
        entry->userProperties().setValue(QStringLiteral("Prop %1").arg(i), UserPropertyType::Text,
                                         QString::number(i));
    entry->Save();
    EXPECT_TRUE(entry->Saved());
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ReadOther | QFileDevice::WriteOther;
    EXPECT_FALSE(QFileInfo(entry->filePath()).permissions() & others);

    auto read = reread<JournalItem>(*entry);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Subject(), entry->Subject());
    EXPECT_EQ(read->Body(), entry->Body());
    EXPECT_EQ(read->Start(), start);
    EXPECT_EQ(read->End(), start.addSecs(90 * 60));
    EXPECT_EQ(read->Duration(), 90);
    EXPECT_EQ(read->Type(), QStringLiteral("Phone call"));
    EXPECT_EQ(read->CategoriesText(), QStringLiteral("Clients, Travel"));
    EXPECT_EQ(read->property(QStringLiteral("companies")), QVariant(QStringLiteral("Acme Ltd")));
    EXPECT_EQ(read->BillingInformation(), QStringLiteral("ACME-01"));
    EXPECT_EQ(read->Links(), entry->Links());
    EXPECT_EQ(read->ContactNames(), QStringLiteral("Ann Lee"));
    EXPECT_EQ(std::as_const(*read).userProperties().Count(), 10);
    EXPECT_EQ(read->property(QStringLiteral("Prop 7")), QVariant(QStringLiteral("7")));
    EXPECT_EQ(read->CreationTime().toSecsSinceEpoch(), entry->CreationTime().toSecsSinceEpoch());
    EXPECT_TRUE(read->Saved());

    const QByteArray first = contentOf(read->filePath());
    EXPECT_TRUE(first.contains("SEQUENCE:0"));
    read->setDuration(45);
    read->Save();
    const QByteArray second = contentOf(read->filePath());
    EXPECT_TRUE(second.contains("SEQUENCE:1"));
    EXPECT_EQ(reread<JournalItem>(*read)->uid(), entry->uid());
    EXPECT_EQ(read->EntryID(), entry->EntryID());
}

TEST_F(JournalItemTest, TheTimeWorkedIsAStandardDurationOtherProgramsMayChange)
{
    auto entry = add<JournalItem>(DefaultFolder::Journal);
    entry->setStart(QDateTime(QDate(2024, 5, 6), QTime(9, 15)));
    entry->setDuration(90);
    entry->Save();
    const QString path = entry->filePath();
    const QByteArray written = contentOf(path);
    EXPECT_TRUE(written.contains("\r\nDURATION:PT1H30M\r\n")) << written.constData();
    EXPECT_TRUE(written.contains("\r\nX-QUORVALE-DURATION:PT1H30M\r\n"));

    // Another program sets the time it knows of and leaves ours alone.
    QByteArray changed = written;
    changed.replace("\r\nDURATION:PT1H30M\r\n", "\r\nDURATION:PT2H\r\n");
    write(path, changed);
    auto read = reread<JournalItem>(*entry);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Duration(), 120);
    // Written back, both forms agree again.
    read->setSubject(QStringLiteral("touched"));
    read->Save();
    EXPECT_TRUE(contentOf(path).contains("\r\nX-QUORVALE-DURATION:PT2H\r\n"));

    // An entry written before DURATION was kept reads its time from our own
    // property; one without any reads none.
    QByteArray older = written;
    older.replace("\r\nDURATION:PT1H30M\r\n", "\r\n");
    write(path, older);
    EXPECT_EQ(reread<JournalItem>(*entry)->Duration(), 90);
    older.replace("\r\nX-QUORVALE-DURATION:PT1H30M\r\n", "\r\n");
    write(path, older);
    EXPECT_EQ(reread<JournalItem>(*entry)->Duration(), 0);
}

TEST_F(JournalItemTest, EndAndDurationFollowEachOther)
{
    JournalItem entry(folder(DefaultFolder::Journal));
    EXPECT_FALSE(entry.setEnd(QDateTime::currentDateTime()));
    const QDateTime start(QDate(2024, 1, 2), QTime(10, 0));
    entry.setStart(start);
    EXPECT_TRUE(entry.setEnd(start.addSecs(3 * 3600 + 59)));
    EXPECT_EQ(entry.Duration(), 180);
    // The time spent wins over the span, as the program writes it last.
    entry.setDuration(90);
    EXPECT_EQ(entry.End(), start.addSecs(90 * 60));
    EXPECT_FALSE(entry.setEnd(start.addSecs(-60)));
    EXPECT_EQ(entry.Duration(), 90);
    entry.setStart(start.addDays(1));
    EXPECT_EQ(entry.End(), start.addDays(1).addSecs(90 * 60));
}

TEST_F(JournalItemTest, FilesThatAreNoEntriesAreSkippedAndNamed)
{
    auto good = add<JournalItem>(DefaultFolder::Journal);
    good->setSubject(QStringLiteral("good"));
    good->Save();
    // Another client's copy with the same UID is still its own item.
    put(DefaultFolder::Journal, QStringLiteral("copy.ics"), contentOf(good->filePath()));
    put(DefaultFolder::Journal, QStringLiteral("empty.ics"), QByteArray());
    put(DefaultFolder::Journal, QStringLiteral("binary.ics"),
        QByteArray("\x7f"
                   "ELF\x00\x01",
                   6));
    put(DefaultFolder::Journal, QStringLiteral("event.ics"),
        "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:e\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");

    EXPECT_EQ(readFile<JournalItem>(DefaultFolder::Journal, QStringLiteral("empty.ics")), nullptr);
    Items items(folder(DefaultFolder::Journal));
    QStringList subjects;
    items.forEach([&](Item &item) {
        subjects << item.Subject();
        return true;
    });
    EXPECT_EQ(subjects, QStringList({QStringLiteral("good"), QStringLiteral("good")}));
    EXPECT_EQ(items.skipped().size(), 3);
    EXPECT_TRUE(items.skipped().join(QLatin1Char(' ')).contains(QStringLiteral("binary.ics")));
}

TEST_F(JournalItemTest, AFailedWriteNamesTheFileAndKeepsTheOldOne)
{
    // A read-only file system stops root too, as CI runs the tests.
    test::FullDisk disk;
    Namespace store(disk.filePath(QStringLiteral("Items")));
    std::unique_ptr<Item> item = newItem(store.GetDefaultFolder(DefaultFolder::Journal));
    auto *entry = dynamic_cast<JournalItem *>(item.get());
    ASSERT_TRUE(entry);
    entry->setSubject(QStringLiteral("before"));
    entry->Save();
    const QByteArray before = contentOf(entry->filePath());
    if (!disk.makeReadOnly())
        GTEST_SKIP() << "neither a read-only mount nor permissions stop root here";
    entry->setSubject(QStringLiteral("after"));
    try {
        entry->Save();
        ADD_FAILURE() << "saved into a read-only folder";
    } catch (const QvError &e) {
        EXPECT_EQ(e.number(), PathFileAccessError);
        EXPECT_TRUE(e.description().contains(entry->fileName())) << e.what();
        EXPECT_TRUE(e.description().contains(QStringLiteral("earlier version was kept")))
            << e.what();
    }
    disk.release();
    EXPECT_EQ(contentOf(entry->filePath()), before);
    EXPECT_EQ(QDir(entry->parent().path()).entryList(QDir::Files | QDir::Hidden).size(), 4)
        << "the entry, its folder's colour, name and description, and nothing else";
}

} // namespace
