#include "data/TimeCardRepository.h"

#include "data/DataStore.h"
#include "data/TimeCard.h"
#include "platform/core/QvError.h"
#include "platform/db/Recordset.h"
#include "testsupport/ProgramFiles.h"

#include <gtest/gtest.h>

using namespace quorvale;
using quorvale::test::ProgramFiles;

namespace {

struct Fixture {
    ProgramFiles files;
    DataStore store{files.databaseSettings(0), files.programDir(), files.prompts, files.errors};
    Fixture() { EXPECT_TRUE(store.OpenDB()); }
    db::Connection &cnn() { return store.cnnLink(); }
};

TimeCard sample(qint32 contact)
{
    TimeCard c;
    c.journalEntryId = QStringLiteral("entry-1");
    c.contactId = contact;
    c.userId = 7;
    c.description = QStringLiteral("Drafted the lease; \"urgent\"");
    c.timeEstimated = Duration::fromSeconds(2 * 3600);
    c.timeSpent = Duration::fromSeconds(3600 + 30 * 60 + 25);
    c.startDate = QDate(2026, 11, 3);
    c.startTime = QTime(9, 15);
    c.endDate = QDate(2026, 11, 3);
    c.endTime = QTime(10, 45, 25);
    c.billStatus = QStringLiteral("Billable");
    c.rateSource = QStringLiteral("Staff Rates");
    c.rateLevel = QStringLiteral("2");
    c.entryType = QStringLiteral("Task");
    c.category = QStringLiteral("Business, Key Customer");
    c.rate = Money::fromWhole(150);
    c.flatRate = Money();
    c.value = Money::fromUnits(2'275'0400);
    c.inactive = true;
    c.realization = Realization::fromPercent(85);
    c.jobOrder = QStringLiteral("123-45-6789");
    return c;
}

// Every column as the fields would compare: the key aside, a TimeCard written to
// a row and read back is the same TimeCard.
void expectSame(const TimeCard &a, const TimeCard &b)
{
    EXPECT_EQ(a.journalEntryId, b.journalEntryId);
    EXPECT_EQ(a.contactId, b.contactId);
    EXPECT_EQ(a.userId, b.userId);
    EXPECT_EQ(a.activity1Id, b.activity1Id);
    EXPECT_EQ(a.activity2Id, b.activity2Id);
    EXPECT_EQ(a.invoiceId, b.invoiceId);
    EXPECT_EQ(a.description, b.description);
    EXPECT_EQ(a.timeEstimated, b.timeEstimated);
    EXPECT_EQ(a.timeSpent, b.timeSpent);
    EXPECT_EQ(a.startDate, b.startDate);
    EXPECT_EQ(a.startTime, b.startTime);
    EXPECT_EQ(a.endDate, b.endDate);
    EXPECT_EQ(a.endTime, b.endTime);
    EXPECT_EQ(a.billStatus, b.billStatus);
    EXPECT_EQ(a.rateSource, b.rateSource);
    EXPECT_EQ(a.rateLevel, b.rateLevel);
    EXPECT_EQ(a.entryType, b.entryType);
    EXPECT_EQ(a.category, b.category);
    EXPECT_EQ(a.rate, b.rate);
    EXPECT_EQ(a.flatRate, b.flatRate);
    EXPECT_EQ(a.value, b.value);
    EXPECT_EQ(a.inactive, b.inactive);
    EXPECT_EQ(a.realization, b.realization);
    EXPECT_EQ(a.jobOrder, b.jobOrder);
}

} // namespace

TEST(TimeCardRepository, ATimeCardStoredThroughARecordSetReadsBackWhole)
{
    Fixture f;
    const qint32 contact = f.files.addContact("Acme Ltd");
    const qint32 id = f.files.addTimeCard(7, contact);
    const TimeCard written = sample(contact);
    // As the window's record set stores them: each column in its stored form.
    const std::pair<const char *, QVariant> columns[] = {
        {"JournalEntryID", written.journalEntryId},
        {"ContactID", contact},
        {"UserId", written.userId},
        {"Description", written.description},
        {"TimeEstimated", written.timeEstimated.toStored()},
        {"Quantity", written.timeSpent.toStored()},
        {"StartDate", written.startDate},
        {"StartTime", written.startTime},
        {"EndDate", written.endDate},
        {"EndTime", written.endTime},
        {"BillStatus", written.billStatus},
        {"RateSource", written.rateSource},
        {"RateLevel", written.rateLevel},
        {"EntryType", written.entryType},
        {"Category", written.category},
        {"Rate", written.rate.toStored()},
        {"FlatRate", written.flatRate.toStored()},
        {"Value", written.value.toStored()},
        {"Inactive", -1},
        {"Realization", written.realization.toStored()},
        {"JobOrder", written.jobOrder},
    };
    {
        db::Recordset rs;
        rs.open(f.cnn(), QStringLiteral("SELECT * FROM tblTimeCards WHERE TimeCardID = ?"),
                db::CursorType::Keyset, db::LockType::Optimistic, {id});
        ASSERT_FALSE(rs.eof());
        for (const auto &[column, value] : columns)
            rs.setValue(QLatin1String(column), value);
        rs.update();
    }
    TimeCardRepository repository(f.cnn());
    const std::optional<TimeCard> read = repository.find(id);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->id, id);
    expectSame(*read, written);
    EXPECT_FALSE(repository.find(id + 1000).has_value());
}

TEST(TimeCardRepository, KeysOfZeroAndDamagedTimesReadAsNone)
{
    Fixture f;
    const qint32 id = f.files.addTimeCard(7, 0);
    f.cnn().execute(QStringLiteral("UPDATE tblTimeCards SET Activity1ID = 0, Quantity = 'x1', "
                                   "Inactive = 0 WHERE TimeCardID = ?"),
                    {id});
    const TimeCard card = *TimeCardRepository(f.cnn()).find(id);
    EXPECT_FALSE(card.contactId.has_value());
    EXPECT_FALSE(card.activity1Id.has_value());
    EXPECT_EQ(card.timeSpent, Duration());
    EXPECT_FALSE(card.inactive);
    EXPECT_FALSE(card.isInvoiced());
}

TEST(TimeCardRepository, WritesOneTimeCardAndRefusesColumnsItDoesNotHave)
{
    Fixture f;
    const qint32 id = f.files.addTimeCard(7, 0);
    const qint32 other = f.files.addTimeCard(7, 0);
    TimeCardRepository repository(f.cnn());
    EXPECT_TRUE(repository.setJournalEntryId(id, QStringLiteral("new-entry")));
    EXPECT_FALSE(repository.setJournalEntryId(id + 1000, QStringLiteral("nowhere")));
    repository.setPricing(id, Money::fromWhole(120), Realization::fromPercent(90),
                          Money::fromWhole(108));
    repository.setColumn(id, QStringLiteral("BillStatus"), QStringLiteral("Hold"));
    repository.setColumn(id, QStringLiteral("Description"), QStringLiteral("O'Brien's"));

    const TimeCard card = *repository.find(id);
    EXPECT_EQ(card.journalEntryId, QStringLiteral("new-entry"));
    EXPECT_EQ(card.rate, Money::fromWhole(120));
    EXPECT_EQ(card.realization, Realization::fromPercent(90));
    EXPECT_EQ(card.value, Money::fromWhole(108));
    EXPECT_EQ(card.billStatus, QStringLiteral("Hold"));
    EXPECT_EQ(card.description, QStringLiteral("O'Brien's"));
    EXPECT_NE(repository.find(other)->billStatus, QStringLiteral("Hold"));

    // A name that is no column never reaches a statement.
    for (const char *bad : {"TimeCardID", "Nope", "BillStatus = 'x', Value", "billstatus"})
        EXPECT_THROW(repository.setColumn(id, QLatin1String(bad), 1), QvError) << bad;
    EXPECT_EQ(repository.find(id)->billStatus, QStringLiteral("Hold"));
}
