// The contact and activity maintenance on a real program database: what is
// saved reads back unchanged, a name is required, and a row in use is kept.

#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "testsupport/ProgramFiles.h"
#include "timecards/ActivityList.h"
#include "timecards/ContactList.h"
#include "timecards/RateFields.h"

#include <gtest/gtest.h>

using namespace quorvale;

namespace {

struct MaintenanceLists : ::testing::Test {
    test::ProgramFiles files;
    db::Connection cnn;

    void SetUp() override { cnn.open(files.programConnectString()); }

    QVariant scalar(const QString &sql, const QVariantList &params = {})
    {
        return files.scalar(files.dataFile(), sql, params);
    }
};

RateSet oddRates()
{
    return {Money::fromUnits(1234567),      Money::fromUnits(1),    Money(), Money::fromWhole(150),
            Money::fromUnits(999999999999), Money::fromUnits(12345)};
}

const ContactRow *findContact(const std::vector<ContactRow> &rows, qint32 id)
{
    for (const ContactRow &row : rows) {
        if (row.id == id)
            return &row;
    }
    return nullptr;
}

} // namespace

TEST_F(MaintenanceLists, AContactReadsBackAsItWasSaved)
{
    ContactList contacts(cnn);
    ContactRow row;
    row.name = R"(O'Brien "Bob" & Sons; DROP TABLE tblContacts)";
    row.account = "A'1";
    row.timeRealization = Realization::fromHundredthsOfPercent(8550);
    row.rates = oddRates();
    row.rounding = BillingRounding{6, RoundingDirection::Nearest};
    const qint32 id = contacts.save(row);

    std::vector<ContactRow> rows = contacts.load();
    const ContactRow *read = findContact(rows, id);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->name, row.name);
    EXPECT_EQ(read->account, "A'1");
    EXPECT_TRUE(read->active);
    EXPECT_EQ(read->timeRealization, row.timeRealization);
    EXPECT_EQ(read->rates, oddRates());
    EXPECT_EQ(read->rounding, row.rounding);

    // Editing updates the same row.
    ContactRow edited = *read;
    edited.name = "Brien";
    edited.active = false;
    edited.rounding = BillingRounding{};
    EXPECT_EQ(contacts.save(edited), id);
    rows = contacts.load();
    read = findContact(rows, id);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->name, "Brien");
    EXPECT_FALSE(read->active);
    EXPECT_FALSE(read->rounding.active());
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM tblContacts WHERE ContactID = ?", {id}).toInt(), 1);
}

TEST_F(MaintenanceLists, ANameIsRequired)
{
    ContactList contacts(cnn);
    ContactRow blank;
    blank.name = "   ";
    EXPECT_FALSE(ContactList::problem(blank).isEmpty());
    const int before = scalar("SELECT COUNT(*) FROM tblContacts").toInt();
    EXPECT_THROW(contacts.save(blank), QvError);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM tblContacts").toInt(), before);

    ActivityRow activity;
    EXPECT_THROW(ActivityList(cnn, ActivityLevel::Activity1).save(activity), QvError);
}

TEST_F(MaintenanceLists, AContactInUseIsDeactivatedAndAnUnusedOneDeleted)
{
    ContactList contacts(cnn);
    const qint32 used = files.addContact("Used");
    const qint32 unused = files.addContact("Unused");
    files.addTimeCard(1, used);

    EXPECT_EQ(contacts.remove(used), RemoveOutcome::Deactivated);
    EXPECT_EQ(scalar("SELECT Active FROM tblContacts WHERE ContactID = ?", {used}).toInt(), 0);
    EXPECT_EQ(contacts.remove(unused), RemoveOutcome::Deleted);
    EXPECT_FALSE(scalar("SELECT 1 FROM tblContacts WHERE ContactID = ?", {unused}).isValid());
}

TEST_F(MaintenanceLists, AnActivityKeepsItsLevelContactAndRates)
{
    const qint32 contact = files.addContact("Acme");
    ActivityList projects(cnn, ActivityLevel::Activity2);
    ActivityRow row;
    row.name = "Audit 'Q3'";
    row.number = "0042";
    row.description = "line one\nline two";
    row.contactId = contact;
    row.rates = oddRates();
    const qint32 id = projects.save(row);
    ActivityRow everyone;
    everyone.name = "General";
    projects.save(everyone);

    const std::vector<ActivityRow> rows = projects.load();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].id, id); // by name
    EXPECT_EQ(rows[0].name, "Audit 'Q3'");
    EXPECT_EQ(rows[0].number, "0042");
    EXPECT_EQ(rows[0].description, "line one\nline two");
    EXPECT_EQ(rows[0].contactId, contact);
    EXPECT_EQ(rows[0].rates, oddRates());
    EXPECT_EQ(rows[1].contactId, std::nullopt);
    EXPECT_TRUE(ActivityList(cnn, ActivityLevel::Activity1).load().empty());
}

TEST_F(MaintenanceLists, AnActivityIsKeptOnlyWhenItsOwnLevelUsesIt)
{
    ActivityList services(cnn, ActivityLevel::Activity1);
    ActivityList projects(cnn, ActivityLevel::Activity2);
    ActivityRow row;
    row.name = "Same key";
    const qint32 service = services.save(row);
    const qint32 project = projects.save(row);
    // A TimeCard names the service; the project with the same number is unused.
    files.exec(files.dataFile(), "UPDATE tblTimeCards SET Activity1ID = ? WHERE TimeCardID = ?",
               {service, files.addTimeCard(1, 0)});

    EXPECT_EQ(projects.remove(project), RemoveOutcome::Deleted);
    EXPECT_EQ(services.remove(service), RemoveOutcome::Deactivated);
    ASSERT_EQ(services.load().size(), 1u);
    EXPECT_FALSE(services.load()[0].active);
}

TEST(RateFields, EditTextsReadBackExactly)
{
    for (const Money amount : oddRates()) {
        const std::optional<Money> back = parseRateText(moneyEditText(amount));
        ASSERT_TRUE(back) << moneyEditText(amount).toStdString();
        EXPECT_EQ(*back, amount);
    }
    EXPECT_EQ(moneyEditText(Money::fromWhole(150)), "150.00");
    EXPECT_EQ(parseRateText(""), Money());
    EXPECT_EQ(parseRateText("-1"), std::nullopt);
    EXPECT_EQ(parseRateText("ten"), std::nullopt);

    for (const std::int64_t hundredths : {10000, 8500, 8550, 8505, 0}) {
        const Realization realization = Realization::fromHundredthsOfPercent(hundredths);
        EXPECT_EQ(parseTypedRealization(realizationEditText(realization)), realization)
            << realizationEditText(realization).toStdString();
    }
    EXPECT_EQ(realizationEditText(Realization::fromHundredthsOfPercent(8550)), "85.5%");
}
