#include "platform/pim/ContactItem.h"

#include "platform/core/Money.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/VCardReader.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace quorvale;
using namespace quorvale::pim;

namespace {

class ContactItemTest : public ::testing::Test {
protected:
    test::TempDir dir;
    Namespace ns{dir.filePath(QStringLiteral("Items"))};
    Folder folder = ns.GetDefaultFolder(DefaultFolder::Contacts);

    std::unique_ptr<ContactItem> newContact()
    {
        return std::unique_ptr<ContactItem>(static_cast<ContactItem *>(newItem(folder).release()));
    }
    std::unique_ptr<ContactItem> read(const QString &fileName)
    {
        return std::unique_ptr<ContactItem>(
            static_cast<ContactItem *>(readItem(folder, fileName).release()));
    }
    void writeFile(const QString &name, const QByteArray &data)
    {
        QFile file(QDir(folder.path()).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }
    QByteArray fileContent(const ContactItem &item)
    {
        QFile file(item.filePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

// Every writable Outlook name with a value of its own; the names of the phone
// numbers and addresses test that each lands in its own TEL/ADR and reads back.
QList<std::pair<QString, QVariant>> sampleValues()
{
    QList<std::pair<QString, QVariant>> values;
    int n = 0;
    for (const char *name : {"FullName",
                             "FirstName",
                             "MiddleName",
                             "LastName",
                             "Title",
                             "Suffix",
                             "CompanyName",
                             "Department",
                             "JobTitle",
                             "NickName",
                             "WebPage",
                             "BusinessHomePage",
                             "PersonalHomePage",
                             "Email1Address",
                             "Email2Address",
                             "Email3Address",
                             "Profession",
                             "Spouse",
                             "AssistantName",
                             "ManagerName",
                             "Account",
                             "BillingInformation",
                             "Companies",
                             "CustomerID",
                             "GovernmentIDNumber",
                             "OfficeLocation",
                             "OrganizationalIDNumber",
                             "User1",
                             "User2",
                             "User3",
                             "User4",
                             "FileAs",
                             "Initials",
                             "BusinessAddress",
                             "HomeAddress",
                             "OtherAddress"})
        values.append(
            {QLatin1String(name), QStringLiteral("%1 value; with, escapes\\ ü").arg(name)});
    for (const char *phone :
         {"BusinessTelephoneNumber", "Business2TelephoneNumber", "HomeTelephoneNumber",
          "Home2TelephoneNumber", "MobileTelephoneNumber", "BusinessFaxNumber", "HomeFaxNumber",
          "PagerNumber", "CarTelephoneNumber", "PrimaryTelephoneNumber", "AssistantTelephoneNumber",
          "CallbackTelephoneNumber", "CompanyMainTelephoneNumber", "ISDNNumber",
          "OtherTelephoneNumber", "OtherFaxNumber", "RadioTelephoneNumber", "TelexNumber",
          "TTYTDDTelephoneNumber"})
        values.append(
            {QLatin1String(phone), QStringLiteral("+1 555 01%1").arg(++n, 2, 10, QChar(u'0'))});
    for (const char *kind : {"Business", "Home", "Other"})
        for (const char *part :
             {"Street", "City", "State", "PostalCode", "Country", "PostOfficeBox"})
            values.append({QStringLiteral("%1Address%2").arg(kind, part),
                           QStringLiteral("%1 %2").arg(kind, part)});
    values.append({QStringLiteral("Birthday"), QDate(1970, 5, 4)});
    values.append({QStringLiteral("Anniversary"), QDate(1999, 12, 31)});
    values.append({QStringLiteral("Importance"), 2});
    return values;
}

} // namespace

TEST_F(ContactItemTest, EveryOutlookPropertyRoundTripsInBothVersions)
{
    for (const VCard::Version version : {VCard::Version::V30, VCard::Version::V40}) {
        auto contact = newContact();
        contact->setCardVersion(version);
        for (const auto &[name, value] : sampleValues())
            EXPECT_TRUE(contact->setProperty(name, value)) << name.toStdString();
        // Address parts were set after the full texts: those labels are gone.
        for (const char *kind : {"Business", "Home", "Other"})
            contact->setProperty(QLatin1String(kind) + QStringLiteral("Address"),
                                 QStringLiteral("%1 label\nline 2").arg(kind));
        contact->setBody(QStringLiteral("Notes\r\nsecond line"));
        contact->setCategories({QStringLiteral("Clients"), QStringLiteral("A, B")});
        contact->userProperties().setValue(QStringLiteral("QuorvaleID"), UserPropertyType::Number,
                                           42);
        contact->Save();

        const QString fileName = contact->fileName();
        EXPECT_TRUE(
            QRegularExpression(QStringLiteral("^[0-9a-f-]{36}\\.vcf$")).match(fileName).hasMatch());
        EXPECT_EQ(QFileInfo(contact->filePath()).permissions() & 0x0077, 0);
        const QByteArray content = fileContent(*contact);
        EXPECT_TRUE(
            content.startsWith("BEGIN:VCARD\r\nVERSION:" + versionText(version).toLatin1()));
        EXPECT_TRUE(content.contains("X-QUORVALE-QUORVALEID;X-QUORVALE-NAME=QuorvaleID;"
                                     "X-QUORVALE-TYPE=NUMBER:42\r\n"));

        auto again = read(fileName);
        ASSERT_NE(again, nullptr);
        EXPECT_FALSE(again->uid().isEmpty());
        for (const auto &[name, value] : sampleValues()) {
            if (!QStringList{"BusinessAddress", "HomeAddress", "OtherAddress"}.contains(name)) {
                EXPECT_EQ(again->property(name), value) << name.toStdString();
            }
        }
        EXPECT_EQ(again->property(QStringLiteral("HomeAddress")),
                  QStringLiteral("Home label\nline 2"));
        EXPECT_EQ(again->Subject(), again->FullName());
        EXPECT_EQ(again->Body(), QStringLiteral("Notes\nsecond line")); // vCard has one line break
        EXPECT_EQ(again->Categories(), (QStringList{"Clients", "A, B"}));
        EXPECT_EQ(again->property(QStringLiteral("QuorvaleID")), QVariant(42.0));
        EXPECT_TRUE(again->Saved());
    }
}

TEST_F(ContactItemTest, ForeignCardKeepsEverythingButTheChangedField)
{
    const QByteArray foreign =
        "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//khard//EN\r\nUID:shared-uid\r\n"
        "N:Smith;John;Q.;Mr.;Jr.\r\nFN:John Smith\r\nORG:Acme\\, Inc.;Sales\r\n"
        "TEL;TYPE=WORK;TYPE=VOICE:111\r\nTEL;TYPE=CELL:222\r\nTEL;TYPE=work,voice:333\r\n"
        "TEL;TYPE=pref:444\r\nitem1.TEL:555\r\nitem1.X-ABLabel:Boat\r\n"
        "EMAIL;TYPE=INTERNET;TYPE=HOME:john@example.com\r\nEMAIL:second@example.com\r\n"
        "ADR;TYPE=work;TYPE=pref:;;1 Main St;Springfield;IL;62701;USA\r\n"
        "LABEL;TYPE=work:1 Main St\\nSpringfield\r\n"
        "X-QUORVALE-QUORVALEID:17\r\nX-UNKNOWN;X-P=\"a:b\":kept\r\nTITLE:Old\r\nEND:VCARD\r\n";
    writeFile(QStringLiteral("not-the-uid.vcf"), foreign);
    writeFile(QStringLiteral("same-uid-again.vcf"), foreign);
    auto contact = read(QStringLiteral("not-the-uid.vcf"));
    ASSERT_NE(contact, nullptr);
    EXPECT_EQ(contact->LastName(), QStringLiteral("Smith"));
    EXPECT_EQ(contact->CompanyName(), QStringLiteral("Acme, Inc."));
    EXPECT_EQ(contact->Department(), QStringLiteral("Sales"));
    EXPECT_EQ(contact->telephone(ContactItem::Phone::Business), QStringLiteral("111"));
    EXPECT_EQ(contact->telephone(ContactItem::Phone::Business2), QStringLiteral("333"));
    EXPECT_EQ(contact->telephone(ContactItem::Phone::Mobile), QStringLiteral("222"));
    EXPECT_EQ(contact->telephone(ContactItem::Phone::Primary), QStringLiteral("444"));
    EXPECT_EQ(contact->telephone(ContactItem::Phone::Other), QStringLiteral("555"));
    EXPECT_EQ(contact->emailAddress(1), QStringLiteral("second@example.com"));
    EXPECT_EQ(contact->address(ContactItem::AddressKind::Business),
              QStringLiteral("1 Main St\nSpringfield"));
    EXPECT_EQ(contact->property(QStringLiteral("MailingAddressCity")),
              QStringLiteral("Springfield"));
    // Written by hand or another tool without the name parameter: still found.
    EXPECT_EQ(contact->property(QStringLiteral("QuorvaleID")), QStringLiteral("17"));
    // Two files with one UID are two contacts; neither name comes from the UID.
    auto twin = read(QStringLiteral("same-uid-again.vcf"));
    ASSERT_NE(twin, nullptr);
    EXPECT_NE(twin->EntryID(), contact->EntryID());

    contact->setJobTitle(QStringLiteral("New"));
    contact->Save();
    EXPECT_EQ(contact->fileName(), QStringLiteral("not-the-uid.vcf"));
    const auto without = [](VCard card) {
        card.removeAll(QStringLiteral("TITLE"));
        card.removeAll(QStringLiteral("REV"));
        for (VCardProperty &p : card.properties) {
            p.removeParameter(QStringLiteral("X-QUORVALE-NAME"));
            p.removeParameter(QStringLiteral("X-QUORVALE-TYPE"));
        }
        return card;
    };
    const VCard before = *readVCard(foreign).card;
    const VCard after = *readVCard(fileContent(*contact)).card;
    EXPECT_EQ(without(after), without(before));
    EXPECT_EQ(after.text(QStringLiteral("TITLE")), QStringLiteral("New"));
}

TEST_F(ContactItemTest, AddressesLabelsAndComputedNames)
{
    auto contact = newContact();
    using K = ContactItem::AddressKind;
    using P = ContactItem::AddressPart;
    contact->setAddressPart(K::Home, P::Street, QStringLiteral("5 Elm Rd"));
    contact->setAddressPart(K::Home, P::City, QStringLiteral("Bern"));
    contact->setAddressPart(K::Home, P::PostalCode, QStringLiteral("3000"));
    contact->setAddressPart(K::Home, P::Country, QStringLiteral("Switzerland"));
    EXPECT_EQ(contact->address(K::Home), QStringLiteral("5 Elm Rd\nBern 3000\nSwitzerland"));
    contact->setAddress(K::Home, QStringLiteral("Custom label"));
    EXPECT_EQ(contact->address(K::Home), QStringLiteral("Custom label"));
    contact->setAddressPart(K::Home, P::City, QStringLiteral("Basel"));
    EXPECT_EQ(contact->address(K::Home), QStringLiteral("5 Elm Rd\nBasel 3000\nSwitzerland"));
    EXPECT_EQ(contact->property(QStringLiteral("MailingAddressCountry")),
              QStringLiteral("Switzerland"));
    for (const P part : {P::Street, P::City, P::PostalCode, P::Country})
        contact->setAddressPart(K::Home, part, QString());
    EXPECT_EQ(contact->card().find(QStringLiteral("ADR")), nullptr);

    contact->setFirstName(QStringLiteral("Ann"));
    contact->setMiddleName(QStringLiteral("Beth"));
    contact->setLastName(QStringLiteral("Cole"));
    contact->setSuffix(QStringLiteral("PhD"));
    contact->setCompanyName(QStringLiteral("Dyne"));
    const auto is = [&](const char *name, const char *expected) {
        EXPECT_EQ(contact->property(QLatin1String(name)), QString::fromUtf8(expected)) << name;
    };
    is("FullName", "Ann Beth Cole PhD");
    is("Subject", "Ann Beth Cole PhD");
    is("LastNameAndFirstName", "Cole, Ann");
    is("LastFirstAndSuffix", "Cole, Ann PhD");
    is("LastFirstNoSpace", "ColeAnn");
    is("LastFirstNoSpaceCompany", "ColeAnn (Dyne)");
    is("CompanyAndFullName", "Dyne (Ann Beth Cole PhD)");
    is("FullNameAndCompany", "Ann Beth Cole PhD (Dyne)");
    is("Initials", "A.B.C.");
    is("FileAs", "Cole, Ann");
    EXPECT_FALSE(contact->setProperty(QStringLiteral("LastNameAndFirstName"), QStringLiteral("x")));
    EXPECT_FALSE(contact->setProperty(QStringLiteral("NoSuchProperty"), QStringLiteral("x")));
    EXPECT_EQ(contact->property(QStringLiteral("Birthday")), QVariant(QDate()));
    EXPECT_EQ(contact->property(QStringLiteral("Importance")), QVariant(1));
}

TEST_F(ContactItemTest, UserPropertiesKeepNameTypeAndValue)
{
    auto contact = newContact();
    contact->setProperty(QStringLiteral("Account"), QStringLiteral("ACC-1"));
    auto &props = contact->userProperties();
    props.setValue(QStringLiteral("Account"), UserPropertyType::Text, QStringLiteral("user's own"));
    props.setValue(QStringLiteral("Größe; x"), UserPropertyType::Currency,
                   QVariant::fromValue(Money::fromUnits(12345)));
    props.setValue(QStringLiteral("Gone"), UserPropertyType::Text, QStringLiteral("soon"));
    contact->Save();
    contact->userProperties().Remove(QStringLiteral("Gone"));
    contact->Save();

    auto again = read(contact->fileName());
    ASSERT_NE(again, nullptr);
    const auto &expected = contact->userProperties().all();
    const auto &actual = std::as_const(*again).userProperties().all();
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].name, expected[i].name);
        EXPECT_EQ(actual[i].type, expected[i].type);
        EXPECT_EQ(actual[i].value, expected[i].value) << actual[i].name.toStdString();
    }
    EXPECT_EQ(again->property(QStringLiteral("Account")), QStringLiteral("ACC-1"));
    EXPECT_EQ(again->property(QStringLiteral("UserProperties")),
              QStringLiteral("Account: user's own; Größe; x: 1.2345"));
    EXPECT_FALSE(fileContent(*again).contains("soon"));
}

TEST_F(ContactItemTest, BadFilesAreSkippedAndExtraCardsKept)
{
    const QByteArray cards[] = {"", "\x89PNG\r\n\x1a\n\0\0", "BEGIN:VCARD\nFN:x\n",
                                "BEGIN:VCARD\nUID:a\nUID:b\nEND:VCARD\n", "FN:x\n"};
    int i = 0;
    for (const QByteArray &data : cards) {
        const QString name = QStringLiteral("bad%1.vcf").arg(++i);
        writeFile(name, data);
        EXPECT_EQ(read(name), nullptr) << data.toStdString();
    }
    const QByteArray second = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Second\r\nEND:VCARD\r\n";
    writeFile(QStringLiteral("two.vcf"),
              "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:First\r\nEND:VCARD\r\n" + second);
    auto contact = read(QStringLiteral("two.vcf"));
    ASSERT_NE(contact, nullptr);
    EXPECT_EQ(contact->FullName(), QStringLiteral("First"));
    contact->setFullName(QStringLiteral("First, changed"));
    contact->Save();
    EXPECT_TRUE(fileContent(*contact).endsWith("END:VCARD\r\n" + second));
    EXPECT_EQ(read(QStringLiteral("two.vcf"))->FullName(), QStringLiteral("First, changed"));
}
