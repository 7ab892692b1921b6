// Each contact row's card in the contacts folder: made, found, read back after
// another program changed it, made again after another program deleted it.

#include "outlook/ContactCards.h"

#include "ProgramStoreFixture.h"
#include "platform/core/QvError.h"
#include "platform/pim/ContactItem.h"
#include "platform/pim/Namespace.h"
#include "testsupport/LogCapture.h"

#include <QDir>
#include <QFile>

using namespace quorvale;

namespace {

class ContactCardsTest : public test::ProgramStoreFixture {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(openProgramAndStore()); }

    ContactCards cards()
    {
        return ContactCards(session.nameSpace(), *session.folder(FolderSlot::Contacts), cnn());
    }
    qint32 addRow(const QString &name, bool active = true)
    {
        return static_cast<qint32>(
            cnn().insertReturningKey("INSERT INTO tblContacts (ContactName, Active) VALUES (?, ?)",
                                     {name, active ? -1 : 0}, "ContactID"));
    }
    QString entryIdOf(qint32 id)
    {
        return cnn()
            .scalar("SELECT ContactEntryID FROM tblContacts WHERE ContactID = ?", {id})
            .toString();
    }
    QString fileOf(qint32 id)
    {
        const std::unique_ptr<pim::Item> item =
            session.nameSpace().itemFromId(entryIdOf(id), QString());
        return item ? item->filePath() : QString();
    }
    static ContactCardFields awkward()
    {
        ContactCardFields f;
        f.fullName = QStringLiteral("Dr. Zoë \"Zed\" Ødegård");
        f.company = QStringLiteral("Nordwind, Süd; & Co\\Partners");
        f.email = QStringLiteral("zoe@nordwind.example");
        f.businessPhone = QStringLiteral("+47 22 00 00 00");
        f.mobilePhone = QStringLiteral("+47 900 00 000");
        f.street = QStringLiteral("Storgata 1, 3. etg.;\nBakgården");
        f.city = QStringLiteral("東京");
        f.region = QStringLiteral("Oslo; Viken");
        f.postalCode = QStringLiteral("0155");
        f.country = QStringLiteral("Norge");
        return f;
    }
};

TEST_F(ContactCardsTest, FieldsWithAwkwardTextRoundTripInBothCardVersions)
{
    for (const pim::VCard::Version version : {pim::VCard::Version::V30, pim::VCard::Version::V40}) {
        const qint32 id = addRow(QStringLiteral("Nordwind"));
        cards().write(id, awkward());
        ASSERT_FALSE(entryIdOf(id).isEmpty());
        if (version == pim::VCard::Version::V40) {
            // As another program may keep it.
            std::unique_ptr<pim::Item> item = session.nameSpace().itemFromId(entryIdOf(id), {});
            auto &card = dynamic_cast<pim::ContactItem &>(*item);
            card.setCardVersion(version);
            card.setBody(QStringLiteral("4.0 now"));
            card.Save();
        }
        const ContactCards::Card read = cards().read(id);
        EXPECT_EQ(read.state, ContactCards::State::Present);
        EXPECT_EQ(read.fields, awkward());
        // The structured name follows the typed full name.
        const std::unique_ptr<pim::Item> item = session.nameSpace().itemFromId(entryIdOf(id), {});
        const auto &card = dynamic_cast<const pim::ContactItem &>(*item);
        EXPECT_EQ(card.Title(), "Dr.");
        EXPECT_EQ(card.LastName(), QStringLiteral("Ødegård"));
        EXPECT_EQ(card.FirstName(), QStringLiteral("Zoë \"Zed\""));
    }
}

TEST_F(ContactCardsTest, ACardChangedByAnotherProgramIsReadBackAndKeptOnTheNextWrite)
{
    const qint32 id = addRow(QStringLiteral("Harbour Inn"));
    ContactCardFields f;
    f.email = QStringLiteral("old@harbour.example");
    cards().write(id, f);
    const QString path = fileOf(id);
    ASSERT_FALSE(path.isEmpty());

    // An address book rewrites the card with LF endings, its own property and
    // a new address, as khard's editor does.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray text = file.readAll();
    file.close();
    text.replace("\r\n", "\n");
    text.replace("old@harbour.example", "bookings@harbour.example");
    text.replace("END:VCARD", "X-KHARD-NOTE:kept\nEND:VCARD");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    file.close();

    ContactCards::Card read = cards().read(id);
    EXPECT_EQ(read.fields.email, "bookings@harbour.example");
    read.fields.city = QStringLiteral("Cork");
    cards().write(id, read.fields);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray after = file.readAll();
    EXPECT_TRUE(after.contains("X-KHARD-NOTE:kept")) << after.constData();
    EXPECT_TRUE(after.contains("bookings@harbour.example"));
    EXPECT_TRUE(after.contains("Cork"));
    EXPECT_EQ(fileOf(id), path) << "the same card, not a second one";
}

TEST_F(ContactCardsTest, ACardDeletedOutsideIsReportedAndMadeAgainFromTheRow)
{
    const qint32 id = addRow(QStringLiteral("Greyfield Orchards"));
    cards().write(id, {});
    const QString gone = entryIdOf(id);
    ASSERT_TRUE(QFile::remove(fileOf(id)));

    test::LogCapture log;
    const ContactCards::Card read = cards().read(id);
    EXPECT_EQ(read.state, ContactCards::State::Missing);
    EXPECT_TRUE(log.has("quorvale.outlook.contacts", "is gone"));

    ContactCardFields f;
    f.fullName = QStringLiteral("Tom Greyfield");
    cards().write(id, f);
    EXPECT_NE(entryIdOf(id), gone);
    const ContactCards::Card again = cards().read(id);
    EXPECT_EQ(again.state, ContactCards::State::Present);
    EXPECT_EQ(again.fields.fullName, "Tom Greyfield");
}

TEST_F(ContactCardsTest, MakingMissingCardsTakesActiveRowsWithoutOneUpToTheLimit)
{
    const qint32 first = addRow(QStringLiteral("First"));
    const qint32 second = addRow(QStringLiteral("Second"));
    const qint32 former = addRow(QStringLiteral("Former"), false);
    // Its time over before the first: none made, and the rows left for later.
    EXPECT_EQ(cards().makeMissing(10, QDeadlineTimer(0)), 0);
    EXPECT_EQ(cards().makeMissing(1), 1);
    EXPECT_EQ(cards().makeMissing(), 1);
    EXPECT_EQ(cards().makeMissing(), 0) << "nothing twice";
    EXPECT_EQ(cards().read(first).fields.fullName, "First") << "named after the row";
    EXPECT_EQ(cards().read(second).state, ContactCards::State::Present);
    EXPECT_EQ(cards().read(former).state, ContactCards::State::None);
}

TEST_F(ContactCardsTest, OnlyAnEmailAddressThatIsOneIsKept)
{
    ContactCardFields f;
    EXPECT_TRUE(ContactCards::problem(f).isEmpty()) << "none is fine";
    for (const char *good : {"ann@example.org", "Ann O'Hara <ann@example.org>", "a.b+c@x.co.uk"}) {
        f.email = QString::fromUtf8(good);
        EXPECT_TRUE(ContactCards::problem(f).isEmpty()) << good;
    }
    for (const char *bad : {"ann", "ann@", "@example.org", "ann@@example.org", "ann@example..org",
                            "a@b.org, c@d.org", "ann at example.org"}) {
        f.email = QString::fromUtf8(bad);
        EXPECT_TRUE(ContactCards::problem(f).contains("is not an e-mail address")) << bad;
    }
    const qint32 id = addRow(QStringLiteral("X"));
    EXPECT_THROW(cards().write(id + 100, {}), QvError) << "no such row";
}

} // namespace
