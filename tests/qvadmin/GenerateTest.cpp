#include "AdminFixture.h"
#include "data/SchemaTables.h"

#include <QFileInfo>

using namespace quorvale;
using namespace quorvale::test;

namespace {

class GenerateTest : public AdminFixture {};

TEST_F(GenerateTest, CreatesTheDatabaseAndSpreadsTheTimeCardsAsDocumented)
{
    const CommandOutput o =
        runHere({"generate", "--timecards", "2000", "--users", "5", "--user", "Bench"});
    ASSERT_EQ(o.result, 0) << o.err.toStdString();
    ASSERT_TRUE(QFileInfo::exists(programDir() + "/QVLink.db"));

    EXPECT_EQ(count("SELECT COUNT(*) FROM tblTimeCards"), 2000);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblUsers WHERE Active <> 0"), 5);
    const int measured = scalar("SELECT MIN(UserID) FROM tblUsers").toInt();
    EXPECT_EQ(scalar("SELECT UserName FROM tblUsers WHERE UserID = ?", {measured}).toString(),
              "Bench");
    // 1% of 2000 open for the measured user, never hidden; the other 1980 spread
    // evenly, 396 a user, of which 1% (3) stay open.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE UserId = ? AND "
                                   "InvoiceID IS NULL AND Inactive = 0"),
                    {measured}),
              20);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID IS NULL AND "
                                   "Inactive <> 0")),
              0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblTimeCards WHERE UserId = ?", {measured}), 20 + 396);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE UserId <> ? AND "
                                   "InvoiceID IS NULL"),
                    {measured}),
              4 * 3);
    EXPECT_TRUE(o.out.contains("20 uninvoiced")) << o.out.toStdString();
}

TEST_F(GenerateTest, MixOptionsAndAnExistingDatabase)
{
    initHere();
    const CommandOutput o =
        runHere({"generate", "--timecards", "12000", "--users", "3", "--measured-uninvoiced", "500",
                 "--uninvoiced-per-user", "7", "--seed", "42"});
    ASSERT_EQ(o.result, 0) << o.err.toStdString();
    EXPECT_FALSE(o.err.isEmpty()) << "progress goes to stderr";
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblTimeCards"), 12000);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblUsers"), 3) << "init user reused";
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE UserId = 1 AND "
                                   "InvoiceID IS NULL")),
              500);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE UserId <> 1 AND "
                                   "InvoiceID IS NULL")),
              14);
    // Large runs build the indexes after the load: they must all be back.
    const auto *table = schema::findTable(schema::DatabaseKind::Program, "tblTimeCards");
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND "
                                   "tbl_name = 'tblTimeCards' AND sql IS NOT NULL")),
              qlonglong(table->indexes.size()));
    // Values stay exact: hours x rate x realization, rounded once to the cent.
    EXPECT_EQ(
        count(QStringLiteral(
            "SELECT COUNT(*) FROM tblTimeCards WHERE Value <> CAST(ROUND(Rate * "
            "(CAST(substr(Quantity,1,3) AS INTEGER) * 3600 + CAST(substr(Quantity,4,2) AS "
            "INTEGER) * 60 + CAST(substr(Quantity,6,2) AS INTEGER)) * Realization / 360000.0) "
            "AS INTEGER) * 100")),
        0);
}

} // namespace
