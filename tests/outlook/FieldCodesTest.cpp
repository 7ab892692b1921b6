#include "outlook/FieldCodes.h"

#include "outlook/Templates.h"
#include "platform/pim/ContactItem.h"
#include "platform/pim/Items.h"
#include "platform/pim/Namespace.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>

using namespace quorvale;

namespace {

// A card as another address book writes it, read back through the item store.
constexpr const char *HarborCard =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:harbor-jane\r\nFN:Jane Q. Doe\r\n"
    "N:Doe;Jane;Quinn;Dr.;PhD\r\nORG:Harbor Supply Co.;Purchasing\r\nTITLE:Buyer\r\n"
    "TEL;TYPE=work,voice:+1 206 555 0100\r\nTEL;TYPE=cell:+1 206 555 0199\r\n"
    "EMAIL;TYPE=INTERNET:jane@harbor.example\r\n"
    "ADR;TYPE=work:;;12 Pier Road;Seattle;WA;98101;USA\r\nBDAY:1980-04-02\r\n"
    "X-QUORVALE-ACCOUNT:HAR-001\r\nX-QUORVALE-IMPORTANCE:2\r\nEND:VCARD\r\n";

// TimeCard codes on realistic values, contact codes through a real .vcf file
// read from the item store as the program finds a TimeCard's contact.
class FieldCodesTest : public ::testing::Test {
protected:
    test::TempDir dir;
    pim::Namespace ns{dir.filePath(QStringLiteral("Items"))};
    ItemVariables variables;
    FieldTerms terms;
    const QDateTime now{QDate(2024, 3, 15), QTime(14, 5, 30)};

    void SetUp() override
    {
        variables.userName = QStringLiteral("Pat Morgan");
        variables.activity1Name = QStringLiteral("Consulting");
        variables.activity2Name = QStringLiteral("Lease Review");
        variables.jobOrder = QStringLiteral("JO-1042");
        variables.description = QStringLiteral("Read the lease.\nCalled the agent.");
        variables.entryType = QStringLiteral("Phone call");
        variables.category = QStringLiteral("Business");
        terms.jobOrder = QStringLiteral("Job Order");
    }

    std::unique_ptr<pim::ContactItem> contactFromFile(const char *card)
    {
        const pim::Folder folder = ns.GetDefaultFolder(pim::DefaultFolder::Contacts);
        QFile file(QDir(folder.path()).filePath(QStringLiteral("contact.vcf")));
        if (!file.open(QIODevice::WriteOnly) || file.write(card) < 0)
            return nullptr;
        file.close();
        QString entryId;
        pim::Items(folder).forEach([&](pim::Item &item) {
            entryId = item.EntryID();
            return false;
        });
        std::unique_ptr<pim::Item> item = ns.GetItemFromID(entryId, folder.storeId());
        return std::unique_ptr<pim::ContactItem>(dynamic_cast<pim::ContactItem *>(item.release()));
    }

    FieldReader reader(const pim::ContactItem *contact)
    {
        return [this, contact](qint16 code) {
            return readField(code, FieldSource{variables, contact, terms, now,
                                               QLocale(QLocale::English, QLocale::UnitedStates)});
        };
    }
    QString subjectPart(qint16 code, const pim::ContactItem *contact = nullptr)
    {
        const qint16 codes[] = {code};
        return assembleSubject(codes, reader(contact));
    }
    QString bodyLine(qint16 code, const pim::ContactItem *contact = nullptr)
    {
        const qint16 codes[] = {code};
        return assembleBody(codes, reader(contact));
    }
};

TEST_F(FieldCodesTest, ListsOfferTheirEntriesInOrderWithTheTerms)
{
    const QList<qint16> body = offeredFieldCodes(terms, true);
    ASSERT_EQ(body.size(), 11 + 88 + 4);
    EXPECT_EQ(body.mid(0, 12), (QList<qint16>{0, 1, 2, 3, 4, 102, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(body.back(), 101);
    EXPECT_EQ(offeredFieldCodes(terms, false).size(), 11 + 88);
    EXPECT_EQ(offeredFieldCodes(terms, false).back(), 97);

    EXPECT_EQ(fieldListText(1, terms), "User Name (from current TimeCard)");
    EXPECT_EQ(fieldListText(4, terms), "Project (from current TimeCard)");
    EXPECT_EQ(fieldListText(102, terms), "Job Order (from current TimeCard)");
    EXPECT_EQ(fieldListText(97, terms), "User Properties (Outlook Contact Property)");
    EXPECT_EQ(fieldListText(101, terms), "Line 4 (==========)");
    EXPECT_EQ(contactPropertyName(36), "Email1Address");

    terms.contactInUse = false;
    terms.activity2InUse = false;
    terms.jobOrder.clear();
    EXPECT_EQ(offeredFieldCodes(terms, true).mid(0, 4), (QList<qint16>{0, 1, 3, 5}));
}

TEST_F(FieldCodesTest, TimeCardCodesGiveTheirSubjectPartsAndBodyLines)
{
    const auto contact = contactFromFile(HarborCard);
    ASSERT_TRUE(contact);
    const struct {
        qint16 code;
        const char *subject;
        const char *body;
    } cases[] = {
        {1, "Pat Morgan: ", "User: Pat Morgan\r\n"},
        {2, "Jane Q. Doe: ", "Client: Jane Q. Doe\r\n"},
        {3, "Consulting: ", "Service: Consulting\r\n"},
        {4, "Lease Review: ", "Project: Lease Review\r\n"},
        {102, "JO-1042: ", "Job Order: JO-1042\r\n"},
        {5, "Read the lease. Called the agent.: ",
         "Description: \r\nRead the lease.\r\nCalled the agent.\r\n"},
        {6, "Phone call: ", "Entry Type: Phone call\r\n"},
        {7, "Business: ", "Category: Business\r\n"},
        {8, "Friday, 3/15/24: ", "Date: Friday, 3/15/24\r\n"},
        {9, "02:05 PM: ", "Time: 02:05 PM\r\n"},
        {0, "", ""},
        {103, "", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(subjectPart(c.code, contact.get()), QString::fromLatin1(c.subject));
        EXPECT_EQ(bodyLine(c.code, contact.get()), QString::fromLatin1(c.body));
    }
    EXPECT_EQ(bodyLine(98), QString(124, u'-') + "\r\n");
    EXPECT_EQ(bodyLine(99), QString(109, u'*') + "\r\n");
    EXPECT_EQ(bodyLine(100), QString(77, u'_') + "\r\n");
    EXPECT_EQ(bodyLine(101), QString(69, u'=') + "\r\n");
    EXPECT_EQ(subjectPart(98), "");
}

TEST_F(FieldCodesTest, ContactPropertiesAreReadFromTheRealCard)
{
    const auto contact = contactFromFile(HarborCard);
    ASSERT_TRUE(contact);
    for (qint16 code = FieldCode::FirstContactProperty; code <= FieldCode::LastContactProperty;
         ++code) {
        SCOPED_TRACE(contactPropertyName(code).toStdString());
        EXPECT_TRUE(contact->property(contactPropertyName(code)).isValid());
    }
    const struct {
        qint16 code;
        const char *line;
    } cases[] = {
        {10, "Account: HAR-001"},
        {14, "Birthday: 4/2/80"},
        {16, "Business Address: 12 Pier Road\r\nSeattle, WA 98101\r\nUSA"},
        {25, "Business Telephone Number: +1 206 555 0100"},
        {35, "Department: Purchasing"},
        {36, "Email 1 Address: jane@harbor.example"},
        {54, "Importance: High"},
        {74, "Mobile Telephone Number: +1 206 555 0199"},
        {92, "Title: Dr."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(bodyLine(c.code, contact.get()), QString::fromLatin1(c.line) + "\r\n");
    }
    // A multi-line value is one line in a subject.
    EXPECT_EQ(subjectPart(16, contact.get()), "12 Pier Road Seattle, WA 98101 USA: ");
    // Empty properties add nothing.
    EXPECT_EQ(bodyLine(11, contact.get()), "");
    EXPECT_EQ(subjectPart(37, contact.get()), "");

    const auto company = contactFromFile("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:\r\nN:;;;;\r\n"
                                         "ORG:Harbor Supply Co.\r\nEND:VCARD\r\n");
    ASSERT_TRUE(company);
    EXPECT_EQ(subjectPart(FieldCode::Contact, company.get()), "Harbor Supply Co.: ");
}

TEST_F(FieldCodesTest, MissingContactAndUnusedFieldsGiveNothing)
{
    for (qint16 code : {qint16(2), qint16(10), qint16(41), qint16(97)}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(subjectPart(code), "");
        EXPECT_EQ(bodyLine(code), "");
    }
    terms.activity1InUse = false;
    terms.activity2InUse = false;
    terms.jobOrder.clear();
    for (qint16 code : {qint16(3), qint16(4), qint16(102)}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(subjectPart(code), "");
        EXPECT_EQ(bodyLine(code), "");
    }
}

} // namespace
