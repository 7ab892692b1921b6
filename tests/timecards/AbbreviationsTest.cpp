// Abbreviations on real program files: the key phrases a stock text may start
// with, names and texts that would break a filter built from them, and saving
// that either rewrites the whole list or leaves it alone.

#include "timecards/Abbreviations.h"

#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "testsupport/ProgramFiles.h"
#include "testsupport/QtPrinters.h"
#include "timecards/Clock.h"

#include <gtest/gtest.h>

using namespace quorvale;

namespace {

QString jet(const QString &file)
{
    return QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=") + file;
}

struct AbbreviationsTest : ::testing::Test {
    test::ProgramFiles files;
    db::Connection local;
    db::Connection link;
    FixedClock clock{QDateTime(QDate(2026, 3, 9), QTime(14, 5, 7))};
    qint32 design = 0;
    qint32 review = 0;

    void SetUp() override
    {
        local.open(jet(files.localFile()));
        link.open(files.programConnectString());
        design = addActivity("tblMainActivities", "Design work");
        review = addActivity("tblSubActivities", "Plan review, phase 2");
    }

    qint32 addActivity(const char *table, const char *description)
    {
        link.execute(QStringLiteral("INSERT INTO ") + QLatin1String(table) +
                         QStringLiteral(" (ActivityName, ActivityDescription, Active) "
                                        "VALUES ('x', ?, -1)"),
                     {QString::fromUtf8(description)});
        return link.scalar(QStringLiteral("SELECT MAX(ActivityID) FROM ") + QLatin1String(table))
            .toInt();
    }

    QString expand(const char *text, TimeCardActivities activities = {})
    {
        const KeyPhraseContext context{clock, link, activities,
                                       QLocale(QLocale::English, QLocale::UnitedStates)};
        return ExpandKeyPhrase(QString::fromUtf8(text), context);
    }

    std::vector<std::pair<int, QString>> storedRows()
    {
        QSqlQuery q = local.prepare(QStringLiteral(
            "SELECT SortOrder, Abbreviation FROM tblAbbreviations ORDER BY SortOrder"));
        local.run(q, {});
        std::vector<std::pair<int, QString>> rows;
        while (q.next())
            rows.emplace_back(q.value(0).toInt(), q.value(1).toString());
        return rows;
    }
};

} // namespace

TEST_F(AbbreviationsTest, DateAndTimePhrasesAreReplacedOnlyAtTheStart)
{
    EXPECT_EQ(expand("[DTM1]Called client"), QLatin1String("[3/9/26] Called client"));
    EXPECT_EQ(expand("[DTM2]Called client"), QLatin1String("[3/9/26 02:05 PM] Called client"));
    EXPECT_EQ(expand("[DTM3] Left message"), QLatin1String("[02:05 PM]  Left message"));

    // Anywhere else, or in other letter case, a phrase is text.
    EXPECT_EQ(expand("Called client [DTM1]"), QLatin1String("Called client [DTM1]"));
    EXPECT_EQ(expand(" [DTM1]x"), QLatin1String(" [DTM1]x"));
    EXPECT_EQ(expand("[dtm1]x"), QLatin1String("[dtm1]x"));
    // Only the leading phrase counts; a second one stays as typed.
    EXPECT_EQ(expand("[DTM3][DTM1]"), QLatin1String("[02:05 PM] [DTM1]"));
}

TEST_F(AbbreviationsTest, ActivityPhrasesTakeTheChosenActivitysDescription)
{
    const TimeCardActivities chosen{{true, design}, {true, review}};
    EXPECT_EQ(expand("[ACT1DESC]drawings", chosen), QLatin1String("Design work drawings"));
    EXPECT_EQ(expand("[ACT2DESC]- notes", chosen), QLatin1String("Plan review, phase 2 - notes"));

    // A level that is not in use leaves the phrase as typed.
    const TimeCardActivities unused{{false, design}, {false, review}};
    EXPECT_EQ(expand("[ACT1DESC]drawings", unused), QLatin1String("[ACT1DESC]drawings"));

    // In use, nothing chosen: no description, and no stray space either.
    const TimeCardActivities none{{true, std::nullopt}, {true, 0}};
    EXPECT_EQ(expand("[ACT1DESC]drawings", none), QLatin1String("drawings"));
}

TEST_F(AbbreviationsTest, QuotesAndSemicolonsAreSavedAndFound)
{
    const std::vector<Abbreviation> list{
        {QStringLiteral("o'neil's call"), QStringLiteral("Called Dana O'Neil; said \"yes\".")},
        {QStringLiteral("x' or '1'='1"), QStringLiteral("'); DELETE FROM tblAbbreviations; --")},
        {QStringLiteral("plain"), QStringLiteral("Line one\nLine two")},
    };
    SaveAbbreviations(local, list);

    EXPECT_EQ(LoadAbbreviations(local), list);
    EXPECT_EQ(FillAbbreviationList(local), (QStringList{list[0].name, list[1].name, list[2].name}));
    for (const Abbreviation &entry : list)
        EXPECT_EQ(AbbreviationText(local, entry.name), std::optional<QString>(entry.text))
            << entry.name.toStdString();
    EXPECT_EQ(AbbreviationText(local, QStringLiteral("' OR ''='")), std::nullopt);
}

TEST_F(AbbreviationsTest, SavingRewritesSortOrderInListOrder)
{
    for (const auto &[order, name] : {std::pair{7, "seven"}, {2, "two"}, {40, "forty"}})
        local.execute(QStringLiteral("INSERT INTO tblAbbreviations (SortOrder, Abbreviation, Text) "
                                     "VALUES (?, ?, 'x')"),
                      {order, QLatin1String(name)});
    EXPECT_EQ(
        FillAbbreviationList(local),
        (QStringList{QStringLiteral("two"), QStringLiteral("seven"), QStringLiteral("forty")}));

    std::vector<Abbreviation> list = LoadAbbreviations(local);
    std::reverse(list.begin(), list.end());
    list.push_back({QStringLiteral("new"), QStringLiteral("y")});
    SaveAbbreviations(local, list);

    const std::vector<std::pair<int, QString>> expected{{0, QStringLiteral("forty")},
                                                        {1, QStringLiteral("seven")},
                                                        {2, QStringLiteral("two")},
                                                        {3, QStringLiteral("new")}};
    EXPECT_EQ(storedRows(), expected);
}

TEST_F(AbbreviationsTest, AFailedSaveKeepsTheRowsThereWere)
{
    const std::vector<Abbreviation> before{{QStringLiteral("a"), QStringLiteral("first")},
                                           {QStringLiteral("b"), QStringLiteral("second")}};
    SaveAbbreviations(local, before);
    // The engine refuses the third row, after the old rows were deleted and two
    // new ones written.
    local.execute(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON tblAbbreviations "
                                 "WHEN NEW.Abbreviation = 'boom' "
                                 "BEGIN SELECT RAISE(ABORT, 'refused'); END"));

    const std::vector<Abbreviation> after{{QStringLiteral("c"), QStringLiteral("x")},
                                          {QStringLiteral("d"), QStringLiteral("y")},
                                          {QStringLiteral("boom"), QStringLiteral("z")}};
    EXPECT_THROW(SaveAbbreviations(local, after), QvError);
    EXPECT_EQ(local.transactionDepth(), 0);
    EXPECT_EQ(LoadAbbreviations(local), before);
}
