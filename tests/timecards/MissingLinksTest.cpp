#include "timecards/MissingLinks.h"

#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"

#include <gtest/gtest.h>

using namespace quorvale;

TEST(MissingLinksTest, NamesEachRequiredFieldTheTimeCardLacks)
{
    LinkFields fields{{"Client", true, true, false},
                      {"Service", true, true, false},
                      {"Project", true, true, false}};
    EXPECT_EQ(missingLinkList(fields), "Client, Service and Project");
    fields.activity1.present = true;
    EXPECT_EQ(missingLinkList(fields), "Client and Project");
    // Not in use, or in use but optional: never asked for.
    fields.contact.required = false;
    fields.activity2.inUse = false;
    EXPECT_EQ(missingLinkList(fields), "");

    test::ScriptedPrompts prompts;
    EXPECT_FALSE(MissingLinks(fields, prompts));
    fields.contact.required = true;
    EXPECT_TRUE(MissingLinks(fields, prompts));
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(prompts.messages()[0].title, "Missing Link Data");
    EXPECT_EQ(prompts.messages()[0].text,
              "Quorvale cannot link a new item to the current TimeCard until \r\nyou select a "
              "Client.");
}
