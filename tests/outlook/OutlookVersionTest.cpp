#include "outlook/OutlookVersion.h"

#include "testsupport/QtPrinters.h"

#include <gtest/gtest.h>

using namespace quorvale;

namespace {

TEST(OutlookVersionTest, VersionTextsMapOntoCodes)
{
    const std::pair<const char *, const char *> cases[] = {
        {"8.0", "7"},   {"8.04", "7"},       {"8.5", "8"},   {"8.5.5104", "8"},
        {"9.0", "9"},   {"9.0.0.2711", "9"}, {"10.0", "10"}, {"10.0.2627", "10"},
        {"11.0", "11"}, {"12.0.4518", "11"}, {"16.0", "11"}, {"7.0", "7"},
        {"", "7"},      {"x", "7"},
    };
    for (const auto &[text, code] : cases)
        EXPECT_EQ(versionCodeFor(QLatin1String(text)), QLatin1String(code)) << text;
}

TEST(OutlookVersionTest, MasterListsParseIntoOneBasedArrays)
{
    // The built-in text holds 14 entries, so the array runs 0..14.
    const QStringList builtIn = parseCategoryMasterList(QString());
    ASSERT_EQ(builtIn.size(), 15);
    EXPECT_EQ(builtIn.at(0), QString());
    EXPECT_EQ(builtIn.at(1), "Business");
    EXPECT_EQ(builtIn.at(14), "Personal");

    EXPECT_EQ(parseCategoryMasterList("A;B;C"), (QStringList{QString(), "A", "B"}));
    EXPECT_EQ(parseCategoryMasterList("Only;"), (QStringList{QString(), "Only"}));
    // An empty piece before a ";" is an entry; text without any ";" is none.
    EXPECT_EQ(parseCategoryMasterList("A;;B;"), (QStringList{QString(), "A", QString(), "B"}));
    EXPECT_EQ(parseCategoryMasterList("no separator"), QStringList{QString()});
}

} // namespace
