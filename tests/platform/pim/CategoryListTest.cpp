#include "platform/pim/Namespace.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

using namespace quorvale;

TEST(CategoryList, GrowsWithoutDuplicatesAndSurvivesReopening)
{
    test::TempDir dir;
    {
        pim::Namespace ns(dir.filePath(QStringLiteral("items")));
        EXPECT_TRUE(ns.addCategory(QStringLiteral("Billable")));
        EXPECT_TRUE(ns.addCategory(QStringLiteral(" Client Work ")));
        EXPECT_FALSE(ns.addCategory(QStringLiteral("billable"))); // already there
        EXPECT_FALSE(ns.addCategory(QStringLiteral("a;b")));      // would split the list
        EXPECT_FALSE(ns.addCategory(QStringLiteral("  ")));
    }
    pim::Namespace again(dir.filePath(QStringLiteral("items")));
    EXPECT_EQ(again.categories(),
              (QStringList{QStringLiteral("Billable"), QStringLiteral("Client Work")}));
}
