#include "timecards/MainCommands.h"

#include "data/DataStore.h"
#include "data/WorkingSet.h"
#include "testsupport/ProgramFiles.h"
#include "timecards/CommandTable.h"

#include <QHash>
#include <gtest/gtest.h>
#include <set>

using namespace quorvale;
using quorvale::test::ProgramFiles;

namespace {

constexpr qint32 kUser = 3;

// Three visible TimeCards with distinct start dates and one hidden one.
struct Fixture {
    ProgramFiles files;
    qint32 march, january, february, hidden;
    DataStore store{files.databaseSettings(0), files.programDir(), files.prompts, files.errors};
    WorkingSet set{files.errors};
    QStringList savedSorts;
    std::unique_ptr<MainCommands> commands;

    Fixture()
    {
        march = files.addTimeCard(kUser, 0, false, QVariant(), QStringLiteral("2026-03-01"));
        january = files.addTimeCard(kUser, 0, false, QVariant(), QStringLiteral("2026-01-01"));
        february = files.addTimeCard(kUser, 0, false, QVariant(), QStringLiteral("2026-02-01"));
        hidden = files.addTimeCard(kUser, 0, true, QVariant(), QStringLiteral("2025-12-01"));
    }

    void open(bool showHidden = false, qint32 user = kUser)
    {
        ASSERT_TRUE(store.OpenDB());
        const WorkingSetContext context{true, Terms{}, user, QStringLiteral("Dana")};
        ASSERT_TRUE(set.SetRecordSet(showHidden, store.cnnLink(), context));
        commands =
            std::make_unique<MainCommands>(set, store.cnnLink(), context, showHidden, files.prompts,
                                           [this](const QString &clause) { savedSorts << clause; });
    }

    QVariant current() const { return commands->currentTimeCardId(); }
};

} // namespace

TEST(MainCommands, NavigationStaysWithinTheSetAndReportsItsPosition)
{
    Fixture f;
    f.open();
    EXPECT_EQ(f.commands->positionText(), QStringLiteral("1 of 3"));
    NavigationButtons b = f.commands->navigationButtons();
    EXPECT_FALSE(b.first);
    EXPECT_FALSE(b.previous);
    EXPECT_TRUE(b.next);
    EXPECT_TRUE(b.last);

    f.commands->run(ToolId::GoToPrevious); // past the start stays on the first
    EXPECT_EQ(f.current().toInt(), f.march);
    f.commands->run(ToolId::GoToLast);
    EXPECT_EQ(f.current().toInt(), f.february);
    f.commands->run(ToolId::GoToNext); // past the end stays on the last
    EXPECT_EQ(f.current().toInt(), f.february);
    EXPECT_EQ(f.commands->positionText(), QStringLiteral("3 of 3"));
    b = f.commands->navigationButtons();
    EXPECT_TRUE(b.previous);
    EXPECT_FALSE(b.next);
    f.commands->run(ToolId::GoToPrevious);
    EXPECT_EQ(f.current().toInt(), f.january);
    f.commands->run(ToolId::GoToFirst);
    EXPECT_EQ(f.current().toInt(), f.march);
}

TEST(MainCommands, SortKeepsTheSameTimeCardCurrentAndSavesTheClause)
{
    Fixture f;
    f.open();
    f.commands->run(ToolId::GoToNext); // January, second by creation
    ASSERT_EQ(f.current().toInt(), f.january);

    f.commands->run(6028); // Start Date ascending: January comes first
    EXPECT_EQ(f.current().toInt(), f.january);
    EXPECT_EQ(f.commands->positionText(), QStringLiteral("1 of 3"));
    EXPECT_EQ(f.commands->sortToolId(), 6028);
    EXPECT_EQ(f.set.sortCaption(), QStringLiteral("Start Date"));
    EXPECT_EQ(f.savedSorts, QStringList{QStringLiteral(" ORDER BY tblTimeCards.StartDate ASC")});
    EXPECT_TRUE(f.set.timeCards().source().endsWith(
        QStringLiteral("tblTimeCards.UserID=3 ORDER BY tblTimeCards.StartDate ASC")));

    // The tool already in force sorts again without changing anything else.
    f.commands->run(6028);
    EXPECT_EQ(f.commands->sortToolId(), 6028);
    EXPECT_EQ(f.current().toInt(), f.january);

    f.commands->run(6039); // Start Date descending
    EXPECT_EQ(f.commands->positionText(), QStringLiteral("3 of 3"));
    f.commands->run(ToolId::GoToFirst);
    EXPECT_EQ(f.current().toInt(), f.march);
}

TEST(MainCommands, SortKeepsWhatWasAddedToTheStatement)
{
    Fixture f;
    f.open();
    // A filter narrows the statement the set was opened with; a re-sort keeps it.
    db::Recordset &rs = f.set.timeCards();
    db::Connection &link = f.store.cnnLink();
    rs.close();
    rs.open(link,
            f.set.sql().timeCardBase +
                QStringLiteral(" AND tblTimeCards.StartDate >= '2026-02-01'") + f.set.orderBy(),
            db::CursorType::Keyset, db::LockType::Optimistic);
    ASSERT_EQ(rs.recordCount(), 2);
    f.commands->run(6045);
    EXPECT_EQ(f.set.timeCards().recordCount(), 2);
}

TEST(MainCommands, SortingNothingSaysSoAndShowHiddenRebuildsTheSet)
{
    Fixture f;
    f.open(false, kUser + 10); // a user with no TimeCards
    EXPECT_EQ(f.commands->positionText(), QStringLiteral("0 of 0"));
    EXPECT_FALSE(f.commands->ProcessSort(6030));
    ASSERT_EQ(f.files.prompts.messages().size(), 1);
    EXPECT_EQ(f.files.prompts.messages().first().title, QStringLiteral("No Records"));
    EXPECT_EQ(f.files.prompts.messages().first().text, QStringLiteral("No records to sort."));
    EXPECT_TRUE(f.savedSorts.isEmpty());
    f.commands->RecordNavigation(NavigationAction::Next); // nothing to move to, and no error

    Fixture g;
    g.open(false);
    g.commands->run(ToolId::GoToLast);
    g.commands->run(ToolId::ShowHiddenTimeCards);
    EXPECT_TRUE(g.commands->showHidden());
    EXPECT_EQ(g.set.timeCards().recordCount(), 4);
    EXPECT_EQ(g.current().toInt(), g.february); // still the same TimeCard
    g.commands->run(ToolId::GoToLast);
    EXPECT_EQ(g.current().toInt(), g.hidden);
    g.commands->run(ToolId::ShowHiddenTimeCards);
    EXPECT_EQ(g.set.timeCards().recordCount(), 3);
    EXPECT_EQ(g.current().toInt(), g.march); // the hidden one left; the first is current
}

TEST(CommandTable, EveryLaidOutToolExistsAndIdsAreUnique)
{
    QSet<int> ids;
    QHash<QString, const ToolInfo *> names;
    for (const ToolInfo &t : CommandTable::tools()) {
        EXPECT_FALSE(ids.contains(t.id)) << t.id;
        ids.insert(t.id);
        // A name is shared only by a pop-up copy of the same command.
        if (const ToolInfo *first = names.value(QLatin1String(t.name))) {
            EXPECT_STREQ(first->caption, t.caption) << t.name;
            const std::set<int> pair{first->id, t.id};
            EXPECT_TRUE(pair == std::set<int>({ToolId::AddTime, ToolId::PopUpAddTime}) ||
                        pair == std::set<int>({ToolId::SubtractTime, ToolId::PopUpSubtractTime}))
                << t.id;
        }
        names.insert(QLatin1String(t.name), &t);
    }
    for (const BandEntry &e : CommandTable::layout()) {
        if (e.toolId) {
            EXPECT_NE(CommandTable::find(e.toolId), nullptr) << e.band << ' ' << e.toolId;
        }
    }
    EXPECT_EQ(CommandTable::find(6045)->name, std::string("mnuValueDESC"));
}
