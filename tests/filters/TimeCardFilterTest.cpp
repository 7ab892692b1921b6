#include "filters/TimeCardFilter.h"

#include "data/DataStore.h"
#include "data/WorkingSet.h"
#include "filters/FilterFragment.h"
#include "testsupport/ProgramFiles.h"

#include <gtest/gtest.h>

using namespace quorvale;
using Result = TimeCardFilter::Result;
using Keys = std::vector<qint32>;

namespace {

// The working set of one user over a real data file, with TimeCards made to order.
struct FilterFixture {
    static constexpr qint32 User = 4;
    test::ProgramFiles files;
    DataStore store{files.databaseSettings(0), files.programDir(), files.prompts, files.errors};
    WorkingSet set{files.errors};
    WorkingSetContext context{true, Terms{}, User, QStringLiteral("Pat")};

    qint32 card(const QVariantMap &columns, qint32 userId = User) const
    {
        QStringList names{"UserID", "Inactive"}, marks{"?", "?"};
        QVariantList values{userId, columns.value("Inactive", 0)};
        for (auto it = columns.cbegin(); it != columns.cend(); ++it) {
            if (it.key() != QLatin1String("Inactive")) {
                names << it.key();
                marks << "?";
                values << it.value();
            }
        }
        files.exec(files.dataFile(),
                   QStringLiteral("INSERT INTO tblTimeCards (%1) VALUES (%2)")
                       .arg(names.join(','), marks.join(',')),
                   values);
        return files.scalar(files.dataFile(), "SELECT MAX(TimeCardID) FROM tblTimeCards").toInt();
    }
    bool open(bool includeHidden = true)
    {
        return (store.cnnLink().isOpen() || store.OpenDB()) &&
               set.SetRecordSet(includeHidden, store.cnnLink(), context);
    }
    // The keys in the set, leaving the same row current.
    std::vector<qint32> keys()
    {
        db::Recordset &rs = set.timeCards();
        std::vector<qint32> result;
        const QVariant was = rs.bof() || rs.eof() ? QVariant() : rs.bookmark();
        for (rs.moveFirst(); rs.recordCount() > 0 && !rs.eof(); rs.moveNext())
            result.push_back(rs.value("TimeCardID").toInt());
        if (was.isValid())
            rs.setBookmark(was);
        return result;
    }
    qint32 current()
    {
        db::Recordset &rs = set.timeCards();
        return rs.bof() || rs.eof() ? 0 : rs.value("TimeCardID").toInt();
    }
};

QVariant money(int whole)
{
    return Money::fromWhole(whole).toStored();
}

// Five TimeCards that differ in every column a criterion looks at.
struct Cards : FilterFixture {
    qint32 acme = files.addContact(QStringLiteral("Acme"));
    qint32 zenith = files.addContact(QStringLiteral("Zenith"));
    qint32 a = card({{"ContactID", acme},
                     {"Activity1ID", 11},
                     {"Activity2ID", 21},
                     {"BillStatus", "Hold"},
                     {"RateSource", "Contact"},
                     {"EntryType", "Meeting"},
                     {"Category", "Blue, Red"},
                     {"Rate", money(50)},
                     {"StartDate", "2026-03-01"},
                     {"EndDate", "2026-03-02"},
                     {"JobOrder", "J-100"}});
    qint32 b = card({{"ContactID", zenith},
                     {"Activity1ID", 12},
                     {"Activity2ID", 22},
                     {"BillStatus", "Bill"},
                     {"RateSource", "Staff"},
                     {"EntryType", "Phone call"},
                     {"Category", "Blue"},
                     {"Rate", money(75)},
                     {"StartDate", "2026-03-05"},
                     {"EndDate", "2026-03-05"},
                     {"JobOrder", "J-200"}});
    qint32 c = card({{"ContactID", acme},
                     {"Activity1ID", 12},
                     {"BillStatus", "Bill"},
                     {"Rate", money(100)},
                     {"StartDate", "2026-03-09"},
                     {"EndDate", "2026-03-10"}});
    qint32 hidden = card({{"ContactID", acme}, {"BillStatus", "Hold"}, {"Inactive", -1}});
    qint32 otherUser = card({{"ContactID", acme}, {"BillStatus", "Hold"}}, User + 1);
    TimeCardFilter filter{set, files.prompts};

    Keys filteredBy(const FilterCriteria &criteria)
    {
        EXPECT_EQ(filter.apply(criteria), Result::Applied);
        return keys();
    }
};

} // namespace

TEST(FilterFragment, ClausesFollowTheirOrderAndBindEveryValue)
{
    FilterCriteria c;
    c.contactId = 12;
    c.billStatus = QStringLiteral("Hold");
    c.rateEntered = true;
    c.rateOperator = QStringLiteral("Less than");
    c.rate = Money::fromWhole(75);
    c.startDateEntered = true;
    c.startDateOperator = QStringLiteral("On of after");
    c.startDate = QDate(2026, 3, 1);
    const SqlFragment f = BuildFilterFragment(c);
    EXPECT_EQ(f.text,
              QStringLiteral(" AND tblTimeCards.ContactID = ? AND tblTimeCards.BillStatus = "
                             "? AND tblTimeCards.Rate < ? AND tblTimeCards.StartDate >= ?"));
    EXPECT_EQ(f.params, (QVariantList{12, QStringLiteral("Hold"), money(75), QDate(2026, 3, 1)}));
}

TEST(TimeCardFilter, EachCriterionNarrowsToItsTimeCards)
{
    Cards f;
    ASSERT_TRUE(f.open());
    const auto only = [](auto setter) {
        FilterCriteria c;
        setter(c);
        return c;
    };
    EXPECT_EQ(f.filteredBy(only([&](FilterCriteria &c) { c.contactId = f.acme; })),
              (Keys{f.a, f.c, f.hidden}));
    EXPECT_EQ(f.filteredBy(only([](FilterCriteria &c) { c.activity1Id = 12; })), (Keys{f.b, f.c}));
    EXPECT_EQ(f.filteredBy(only([](FilterCriteria &c) { c.activity2Id = 21; })), (Keys{f.a}));
    EXPECT_EQ(f.filteredBy(only([](FilterCriteria &c) { c.billStatus = "Hold"; })),
              (Keys{f.a, f.hidden}));
    EXPECT_EQ(f.filteredBy(only([](FilterCriteria &c) { c.rateSource = "Staff"; })), (Keys{f.b}));
    EXPECT_EQ(f.filteredBy(only([](FilterCriteria &c) { c.entryType = "Meeting"; })), (Keys{f.a}));
    // The whole category text must match: "Blue" is not "Blue, Red".
    EXPECT_EQ(f.filteredBy(only([](FilterCriteria &c) { c.categories = "Blue"; })), (Keys{f.b}));
    EXPECT_EQ(f.filteredBy(only([](FilterCriteria &c) { c.jobOrder = "J-100"; })), (Keys{f.a}));

    const auto rate = [](const char *op, int whole) {
        FilterCriteria c;
        c.rateEntered = true;
        c.rateOperator = QString::fromLatin1(op);
        c.rate = Money::fromWhole(whole);
        return c;
    };
    EXPECT_EQ(f.filteredBy(rate("Equal to", 75)), (Keys{f.b}));
    EXPECT_EQ(f.filteredBy(rate("Less than", 75)), (Keys{f.a, f.hidden})); // rate 0
    EXPECT_EQ(f.filteredBy(rate("More than", 75)), (Keys{f.c}));

    const auto start = [](const char *op, QDate day) {
        FilterCriteria c;
        c.startDateEntered = true;
        c.startDateOperator = QString::fromLatin1(op);
        c.startDate = day;
        return c;
    };
    EXPECT_EQ(f.filteredBy(start("On", QDate(2026, 3, 5))), (Keys{f.b}));
    EXPECT_EQ(f.filteredBy(start("On or before", QDate(2026, 3, 5))), (Keys{f.a, f.b}));
    EXPECT_EQ(f.filteredBy(start("On of after", QDate(2026, 3, 5))), (Keys{f.b, f.c}));
    FilterCriteria end;
    end.endDateEntered = true;
    end.endDateOperator = QStringLiteral("On or before");
    end.endDate = QDate(2026, 3, 5);
    EXPECT_EQ(f.filteredBy(end), (Keys{f.a, f.b}));

    // Criteria together narrow further; the other user's TimeCard never shows.
    FilterCriteria both;
    both.contactId = f.acme;
    both.billStatus = QStringLiteral("Bill");
    EXPECT_EQ(f.filteredBy(both), (Keys{f.c}));
}

TEST(TimeCardFilter, TypedTextMatchesLiterallyAndNeverBreaksTheStatement)
{
    FilterFixture f;
    const QString quoted = QStringLiteral("O'Brien \"urgent\"");
    const QString injected = QStringLiteral("x\"; DROP TABLE tblTimeCards; --");
    const QString orTrue = QStringLiteral("' OR 1=1 --");
    const qint32 withQuotes = f.card({{"Category", quoted}});
    const qint32 withPercent = f.card({{"JobOrder", "100%"}});
    f.card({{"JobOrder", "1000"}});
    const qint32 withInjection = f.card({{"BillStatus", injected}});
    f.card({{"BillStatus", "Hold"}});
    ASSERT_TRUE(f.open());
    TimeCardFilter filter(f.set, f.files.prompts);

    FilterCriteria c;
    c.categories = quoted;
    EXPECT_EQ(filter.apply(c), Result::Applied);
    EXPECT_EQ(f.keys(), Keys{withQuotes});

    c = {};
    c.jobOrder = QStringLiteral("100%"); // no wildcard: "1000" stays out
    EXPECT_EQ(filter.apply(c), Result::Applied);
    EXPECT_EQ(f.keys(), Keys{withPercent});

    c = {};
    c.billStatus = injected;
    EXPECT_EQ(filter.apply(c), Result::Applied);
    EXPECT_EQ(f.keys(), Keys{withInjection});

    // Text that would widen a spliced statement matches nothing.
    f.files.prompts.answer(PromptResult::No);
    c = {};
    c.entryType = orTrue;
    EXPECT_EQ(filter.apply(c), Result::Unchanged);
    EXPECT_EQ(f.keys(), Keys{withInjection});
    EXPECT_EQ(f.files.scalar(f.files.dataFile(), "SELECT COUNT(*) FROM tblTimeCards").toInt(), 5);
    EXPECT_EQ(f.files.endedWith, 0);
}

TEST(TimeCardFilter, ClearingRestoresTheSetAndKeepsTheCurrentTimeCard)
{
    Cards f;
    ASSERT_TRUE(f.open(false));
    f.set.timeCards().moveLast(); // c
    FilterCriteria c;
    c.contactId = f.acme;
    EXPECT_EQ(f.filter.apply(c), Result::Applied);
    EXPECT_EQ(f.keys(), (Keys{f.a, f.c}));
    EXPECT_EQ(f.current(), f.c); // still in the set: still current
    EXPECT_TRUE(f.filter.filtered());
    EXPECT_EQ(f.filter.filterCaption(), QStringLiteral("Turn Filter Off"));

    // Not in the narrowed set: the first TimeCard becomes current.
    c.contactId = f.zenith;
    EXPECT_EQ(f.filter.apply(c), Result::Applied);
    EXPECT_EQ(f.current(), f.b);

    // Turning the filter off keeps the criteria for the dialog; Cancel forgets them.
    EXPECT_EQ(f.filter.clear(), Result::Cleared);
    EXPECT_EQ(f.filter.criteria(), c);
    ASSERT_EQ(f.filter.apply(c), Result::Applied);
    EXPECT_EQ(f.filter.cancel(), Result::Cleared);
    EXPECT_EQ(f.keys(), (Keys{f.a, f.b, f.c}));
    EXPECT_EQ(f.current(), f.b);
    EXPECT_FALSE(f.filter.filtered());
    EXPECT_EQ(f.filter.filterCaption(), QStringLiteral("Apply Filter"));
    EXPECT_TRUE(f.filter.criteria().isEmpty());
    // With no filter on, an empty fragment changes nothing.
    EXPECT_EQ(f.filter.ProcessFilter({}), Result::Unchanged);
}

TEST(TimeCardFilter, NothingMatchingAsksAndLeavesTheSetAsItWas)
{
    Cards f;
    ASSERT_TRUE(f.open());
    FilterCriteria c;
    c.billStatus = QStringLiteral("Bill");
    ASSERT_EQ(f.filter.apply(c), Result::Applied);

    c.billStatus = QStringLiteral("Nobody's");
    f.files.prompts.answer(PromptResult::Yes);
    EXPECT_EQ(f.filter.apply(c), Result::ChangeCriteria);
    f.files.prompts.answer(PromptResult::No);
    EXPECT_EQ(f.filter.apply(c), Result::Unchanged);
    EXPECT_EQ(f.keys(), (Keys{f.b, f.c}));
    ASSERT_EQ(f.files.prompts.messages().size(), 2);
    EXPECT_EQ(f.files.prompts.messages()[0].title, QStringLiteral("No Matching Records"));
    EXPECT_EQ(f.files.prompts.messages()[0].text,
              QStringLiteral("No records match the filter criteria. Do\r\nyou want to change the "
                             "filter criteria?"));
    EXPECT_EQ(f.files.prompts.messages()[0].buttons, PromptButtons::YesNo);
}

TEST(TimeCardFilter, SortingAndShowingHiddenKeepTheFilterWithItsValues)
{
    Cards f;
    ASSERT_TRUE(f.open(false));
    FilterCriteria c;
    c.contactId = f.acme;
    ASSERT_EQ(f.filter.apply(c), Result::Applied);

    ASSERT_TRUE(f.set.Reorder(QStringLiteral(" ORDER BY tblTimeCards.TimeCardID DESC"), Terms{}));
    EXPECT_EQ(f.keys(), (Keys{f.c, f.a}));
    ASSERT_TRUE(f.set.SetRecordSet(true, f.store.cnnLink(), f.context));
    EXPECT_EQ(f.keys(), (Keys{f.hidden, f.c, f.a}));
    EXPECT_TRUE(f.filter.filtered());
}

TEST(QuickFilter, NarrowsByTheChosenTypeAndTellsWhyItCannot)
{
    Cards f;
    ASSERT_TRUE(f.open(false));
    EXPECT_EQ(quickFilterFragment(QuickFilterTable::Expenses, QuickFilterType::Activity1, 12),
              (SqlFragment{QStringLiteral(" AND tblExpenses.Activity1ID = ?"), {12}}));
    EXPECT_TRUE(
        quickFilterFragment(QuickFilterTable::TimeCards, QuickFilterType::Contact, 0).isEmpty());

    EXPECT_EQ(f.filter.quickFilter(QuickFilterType::Activity1, 12, "Design"), Result::Applied);
    EXPECT_EQ(f.keys(), (Keys{f.b, f.c}));
    EXPECT_EQ(f.filter.quickFilterName(), QStringLiteral("Design"));
    EXPECT_EQ(f.filter.quickFilter(QuickFilterType::Activity2, 99, "Nothing"), Result::Unchanged);
    EXPECT_EQ(f.files.prompts.messages().back().title, QStringLiteral(" No Matching Records"));
    EXPECT_EQ(f.keys(), (Keys{f.b, f.c}));
    EXPECT_EQ(f.filter.quickFilterId(), 12);

    EXPECT_EQ(f.filter.quickFilter(QuickFilterType::Contact, f.zenith, "Zenith"), Result::Applied);
    EXPECT_EQ(f.keys(), Keys{f.b});
    // With a quick filter on, one TimeCard is no reason to refuse.
    EXPECT_TRUE(f.filter.quickFilterMayStart());
    EXPECT_EQ(f.filter.quickFilter(QuickFilterType::Contact, 0, {}), Result::Cleared);
    EXPECT_EQ(f.keys(), (Keys{f.a, f.b, f.c}));

    // Without a quick filter on, one TimeCard is nothing to filter.
    FilterCriteria one;
    one.contactId = f.zenith;
    ASSERT_EQ(f.filter.apply(one), Result::Applied);
    EXPECT_FALSE(f.filter.quickFilterMayStart());
    EXPECT_EQ(f.files.prompts.messages().back().title, QStringLiteral(" No Records To Filter"));
    EXPECT_EQ(f.files.prompts.messages().back().text,
              QStringLiteral("There must be at least two TimeCards"));
}
