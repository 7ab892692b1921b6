// The texts the category and participant pickers hand back, and the contacts
// the participant picker offers, read from a real program database.

#include "filters/CategoryPicker.h"
#include "filters/ParticipantPicker.h"
#include "platform/db/Connection.h"
#include "testsupport/ProgramFiles.h"

#include <gtest/gtest.h>

using namespace quorvale;

TEST(CategoryPicker, ChoosesEveryMasterNameFoundInsideTheCurrentText)
{
    const QStringList master{"Blue", "Client", "Clients", "Travel", ""};
    EXPECT_EQ(preselectedCategories(master, "Clients, Travel"),
              (QList<bool>{false, true, true, true, false}));
    // Stored texts are compared as they stand.
    EXPECT_EQ(preselectedCategories(master, "clients"), (QList<bool>(5, false)));
    EXPECT_EQ(preselectedCategories(master, ""), (QList<bool>(5, false)));
}

TEST(CategoryPicker, JoinsTheChosenNamesWithNothingAfterTheLast)
{
    EXPECT_EQ(categoryText({"Blue", "Red"}), "Blue, Red");
    EXPECT_EQ(categoryText({"Blue"}), "Blue");
    EXPECT_EQ(categoryText({}), "");
}

TEST(ParticipantPicker, FollowsEveryNameWithItsSeparator)
{
    EXPECT_EQ(participantsText({"Ann", "Bob"}), "Ann; Bob; ");
    EXPECT_EQ(participantsText({}), "");
    EXPECT_FALSE(participantsAcceptable(0));
    EXPECT_TRUE(participantsAcceptable(2));
}

TEST(ParticipantPicker, OffersTheActiveContactsOnly)
{
    test::ProgramFiles files;
    files.addContact("Zoe O'Hara");
    files.addContact("Gone Ltd", false);
    files.addContact("Ann");
    db::Connection cnn;
    cnn.open(files.programConnectString());
    const QStringList names = activeContactNames(cnn);
    EXPECT_TRUE(names.contains("Zoe O'Hara"));
    EXPECT_TRUE(names.contains("Ann"));
    EXPECT_FALSE(names.contains("Gone Ltd"));
}
