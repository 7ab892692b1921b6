#include "AdminFixture.h"

using namespace quorvale;
using namespace quorvale::test;

namespace {

class TermsCommandTest : public AdminFixture {
protected:
    void SetUp() override { initHere({"--demo"}); }
    qlonglong withSource(const QString &source) const
    {
        return count("SELECT COUNT(*) FROM tblTimeCards WHERE RateSource = ?", {source});
    }
};

TEST_F(TermsCommandTest, ARenamedTermRenamesEveryStoredRateSourceAndTradedTermsTradeSources)
{
    const qlonglong clientRated = withSource("Client Rates");
    const qlonglong serviceRated = withSource("Service Rates");
    ASSERT_GT(clientRated, 0);
    ASSERT_GT(serviceRated, 0);

    const CommandOutput renamed = runHere({"terms", "--contact", "Customer"});
    ASSERT_EQ(renamed.result, 0) << renamed.err.toStdString();
    EXPECT_TRUE(renamed.out.contains(
        QStringLiteral("the rate source of %1 TimeCards were renamed").arg(clientRated)))
        << renamed.out.toStdString();
    EXPECT_TRUE(renamed.out.contains("Contact: Customer"));
    EXPECT_EQ(scalar("SELECT ContactTerm FROM tblAdminOptions").toString(), "Customer");
    EXPECT_EQ(withSource("Client Rates"), 0);
    EXPECT_EQ(withSource("Customer Rates"), clientRated);

    // Two terms that trade names trade their sources in one pass: nothing is
    // renamed twice into the same text.
    ASSERT_EQ(runHere({"terms", "--contact", "Service", "--activity1", "Customer"}).result, 0);
    EXPECT_EQ(withSource("Service Rates"), clientRated);
    EXPECT_EQ(withSource("Customer Rates"), serviceRated);
}

TEST_F(TermsCommandTest, AnEmptyOrRepeatedTermChangesNothing)
{
    const qlonglong clientRated = withSource("Client Rates");
    const CommandOutput empty = runHere({"terms", "--contact", "  "});
    EXPECT_NE(empty.result, 0);
    EXPECT_TRUE(empty.err.contains("needs a word"));
    const CommandOutput same = runHere({"terms", "--contact", "Service"});
    EXPECT_NE(same.result, 0);
    EXPECT_TRUE(same.err.contains("must differ"));
    EXPECT_NE(runHere({"terms", "--activity2", "Two\nlines"}).result, 0);
    EXPECT_EQ(scalar("SELECT ContactTerm FROM tblAdminOptions").toString(), "Client");
    EXPECT_EQ(withSource("Client Rates"), clientRated);

    // Shown without options, and nothing is written.
    const CommandOutput shown = runHere({"terms"});
    EXPECT_EQ(shown.result, 0);
    EXPECT_EQ(shown.out, "Contact: Client\nActivity 1: Service\nActivity 2: Project\n");
}

} // namespace
