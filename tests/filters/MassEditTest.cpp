#include "filters/MassEdit.h"

#include "data/DataStore.h"
#include "data/WorkingSet.h"
#include "filters/FilterFragment.h"
#include "testsupport/ProgramFiles.h"

#include <gtest/gtest.h>

using namespace quorvale;
using Outcome = MassEdit::Outcome;

namespace {

// One user's working set over a real data file and the hooks an edit calls.
struct MassEditFixture {
    static constexpr qint32 User = 4;
    test::ProgramFiles files;
    DataStore store{files.databaseSettings(0), files.programDir(), files.prompts, files.errors};
    WorkingSet set{files.errors};
    WorkingSetContext context{true, Terms{}, User, QStringLiteral("Pat")};
    qint32 acme = files.addContact(QStringLiteral("Acme"));
    qint32 zenith = files.addContact(QStringLiteral("Zenith"));
    int asked = 0;
    QList<std::pair<QString, qint64>> followed;
    QList<qint64> recomputed;
    QList<qint64> mirrored;
    bool followSucceeds = true;

    qint32 card(qint32 contactId)
    {
        files.exec(files.dataFile(),
                   "INSERT INTO tblTimeCards (UserID, Inactive, ContactID, BillStatus, Category, "
                   "RateSource, StartTime, TimeEstimated) VALUES (?, 0, ?, 'Hold', 'Blue', "
                   "'Staff Rates', ?, '0010000')",
                   {User, contactId, QTime(8, 15)});
        return files.scalar(files.dataFile(), "SELECT MAX(TimeCardID) FROM tblTimeCards").toInt();
    }
    QVariant column(qint32 id, const char *name)
    {
        return files.scalar(files.dataFile(),
                            QStringLiteral("SELECT %1 FROM tblTimeCards WHERE TimeCardID = ?")
                                .arg(QLatin1String(name)),
                            {id});
    }
    MassEditSet workingSet()
    {
        EXPECT_TRUE(store.OpenDB() && set.SetRecordSet(true, store.cnnLink(), context));
        return {set.openedSql(), set.filter().params};
    }
    MassEdit edit()
    {
        MassEditHooks hooks;
        hooks.askLinks = [this] {
            ++asked;
            QVariantMap values;
            return files.prompts.showDialog("UpdatePrompt", values);
        };
        hooks.updateLinks = [this](const QString &column, const QVariant &, qint64 id) {
            followed.append({column, id});
            return followSucceeds;
        };
        hooks.recompute = [this](qint64 id) { recomputed.append(id); };
        hooks.mirror = [this](qint64 id) { mirrored.append(id); };
        return MassEdit(store.cnnLink(), files.prompts, std::move(hooks));
    }
};

} // namespace

TEST(MassEdit, TheQuestionCountsTheSetAndOnlyYesWrites)
{
    MassEditFixture f;
    std::vector<qint32> ids;
    for (int i = 0; i < 12; ++i)
        ids.push_back(f.card(f.acme));
    const MassEditSet set = f.workingSet();
    MassEditRequest request;
    request.billStatus = QStringLiteral("Bill");

    f.files.prompts.answer(PromptResult::Cancel);
    EXPECT_EQ(f.edit().apply(request, Terms{}, set, false).outcome, Outcome::Cancelled);
    f.files.prompts.answer(PromptResult::No);
    EXPECT_EQ(f.edit().apply(request, Terms{}, set, false).outcome, Outcome::Declined);
    for (const qint32 id : ids)
        EXPECT_EQ(f.column(id, "BillStatus").toString(), "Hold");

    f.files.prompts.answer(PromptResult::Yes);
    const MassEdit::Result result = f.edit().apply(request, Terms{}, set, false);
    EXPECT_EQ(result.outcome, Outcome::Applied);
    EXPECT_EQ(result.edited, 12);
    const auto &messages = f.files.prompts.messages();
    ASSERT_EQ(messages.size(), 3);
    EXPECT_EQ(messages.last().title, " Confirm Request");
    EXPECT_EQ(messages.last().text, "Are you sure you want to apply this change to 12 records?");
    for (const qint32 id : ids)
        EXPECT_EQ(f.column(id, "BillStatus").toString(), "Bill");
    // Neither links nor values are touched by a billing status.
    EXPECT_EQ(f.asked, 0);
    EXPECT_TRUE(f.followed.isEmpty());
}

TEST(MassEdit, OnlyTheFieldsSetAreWrittenAndInvoicedTimeCardsKeepTheirs)
{
    MassEditFixture f;
    const qint32 open = f.card(f.acme);
    const qint32 invoiced = f.card(f.acme);
    const MassEditSet set = f.workingSet();
    // Invoiced after the window read its set.
    f.files.exec(f.files.dataFile(), "UPDATE tblTimeCards SET InvoiceID = 9 WHERE TimeCardID = ?",
                 {invoiced});

    MassEditRequest request;
    request.category = QStringLiteral("O'Hara \"VIP\"; DROP TABLE tblTimeCards");
    request.endTime = QTime(17, 30);
    request.timeEstimated = QStringLiteral("0023000");
    f.files.prompts.answer(PromptResult::Yes);
    const MassEdit::Result result = f.edit().apply(request, Terms{}, set, true);

    EXPECT_EQ(result.edited, 1);
    EXPECT_EQ(f.files.prompts.messages().last().text,
              "Are you sure you want to apply this change to 1 records?");
    EXPECT_EQ(f.column(open, "Category").toString(), *request.category);
    EXPECT_EQ(f.column(open, "EndTime").toTime(), QTime(17, 30));
    EXPECT_EQ(f.column(open, "TimeEstimated").toString(), "0023000");
    EXPECT_EQ(f.column(open, "BillStatus").toString(), "Hold");
    EXPECT_EQ(f.column(open, "RateSource").toString(), "Staff Rates");
    EXPECT_EQ(f.column(open, "StartTime").toTime(), QTime(8, 15));
    EXPECT_EQ(f.column(open, "ContactID").toInt(), f.acme);
    EXPECT_EQ(f.column(invoiced, "Category").toString(), "Blue");
    // Nothing that decides a rate changed.
    EXPECT_TRUE(f.recomputed.isEmpty());
}

TEST(MassEdit, AFilteredSetLimitsTheEditAndItsLinkedItems)
{
    MassEditFixture f;
    const qint32 a1 = f.card(f.acme);
    const qint32 z = f.card(f.zenith);
    const qint32 a2 = f.card(f.acme);
    const QVariant levelBefore = f.column(z, "RateLevel");
    f.workingSet();
    FilterCriteria criteria;
    criteria.contactId = f.acme;
    ASSERT_TRUE(f.set.setFilter(BuildFilterFragment(criteria)));
    const MassEditSet set{f.set.openedSql(), f.set.filter().params};
    MassEditRequest request;
    request.contactId = f.zenith;
    request.rateLevel = QStringLiteral("3");

    // The linked items' question cancelled: back to the dialog, nothing written.
    f.files.prompts.answer(PromptResult::Yes);
    f.files.prompts.answerDialog(false);
    EXPECT_EQ(f.edit().apply(request, Terms{}, set, true).outcome, Outcome::Cancelled);
    EXPECT_EQ(f.column(a1, "ContactID").toInt(), f.acme);

    // A failure to follow the change takes the whole edit back.
    f.followSucceeds = false;
    f.files.prompts.answer(PromptResult::Yes);
    f.files.prompts.answerDialog(true);
    EXPECT_EQ(f.edit().apply(request, Terms{}, set, true).outcome, Outcome::Cancelled);
    EXPECT_EQ(f.column(a1, "ContactID").toInt(), f.acme);
    EXPECT_EQ(f.column(a1, "RateLevel"), levelBefore);

    f.followSucceeds = true;
    f.followed.clear();
    f.files.prompts.answer(PromptResult::Yes);
    f.files.prompts.answerDialog(true);
    const MassEdit::Result result = f.edit().apply(request, Terms{}, set, true);
    EXPECT_EQ(result.outcome, Outcome::Applied);
    EXPECT_EQ(result.edited, 2);
    EXPECT_EQ(f.files.prompts.messages().last().text,
              "Are you sure you want to apply this change to 2 records?");
    for (const qint32 id : {a1, a2}) {
        EXPECT_EQ(f.column(id, "ContactID").toInt(), f.zenith);
        EXPECT_EQ(f.column(id, "RateLevel").toString(), "3");
    }
    EXPECT_EQ(f.column(z, "RateLevel"), levelBefore);
    EXPECT_EQ(f.followed,
              (QList<std::pair<QString, qint64>>{{"ContactID", a1}, {"ContactID", a2}}));
    EXPECT_EQ(f.recomputed, (QList<qint64>{a1, a2}));
    EXPECT_EQ(f.mirrored, (QList<qint64>{a1, a2}));
    EXPECT_EQ(f.asked, 3);
}
