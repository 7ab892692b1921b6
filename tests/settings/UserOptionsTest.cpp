// The user options written to the settings file read back as the program
// reads its settings at start-up, and options that cannot work are refused.

#include "settings/UserOptions.h"

#include "platform/registry/Registry.h"
#include "settings/RegSettingsReader.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

using namespace quorvale;

TEST(UserOptions, WhatIsWrittenIsWhatTheNextStartReads)
{
    test::TempDir tmp;
    Registry registry(tmp.filePath(QStringLiteral("settings.ini")));
    RegSettings before;
    readRegSettings(registry, before);

    UserOptions o = userOptionsFrom(before, QString());
    o.journal.category = QStringLiteral("Clients, \"Key\"; accounts");
    o.journal.entryType = QStringLiteral("Phone call");
    o.journal.autoSave = false;
    o.validation.noDescription = true;
    o.validation.endBeforeStart = true;
    o.autostartTimer = true;
    o.timeFormat = 3;
    o.tooltips = false;
    o.quickFilterType = 2;
    o.defaultLinkType = 4;
    o.tasks.reminder = QStringLiteral("1 hour");
    o.appointments.billingInterval = QStringLiteral("6 minutes");
    o.defaultFileDirectory = tmp.path();
    o.itemStoreFolder = tmp.path();
    o.folders[FolderSlot::Journal] = FolderId{QStringLiteral("j-entry"), QStringLiteral("j-store")};
    ASSERT_TRUE(checkUserOptions(o).isEmpty());
    writeUserOptions(registry, o);

    Registry again(tmp.filePath(QStringLiteral("settings.ini")));
    RegSettings after;
    readRegSettings(again, after);
    UserOptions read = userOptionsFrom(after, readItemStoreFolder(again));
    read.folders = o.folders; // folders are read with the item store, not here
    EXPECT_EQ(read, o);

    // Applying them to the settings in use changes only what they hold.
    RegSettings inUse = before;
    inUse.license.userName = QStringLiteral("Dana");
    applyUserOptions(o, inUse);
    EXPECT_EQ(inUse.license.userName, QStringLiteral("Dana"));
    EXPECT_TRUE(inUse.settings.autostartTimer);
    EXPECT_EQ(inUse.journal.entryType, QStringLiteral("Phone call"));
}

TEST(UserOptions, AMissingDirectoryOrMailProgramIsRefused)
{
    test::TempDir tmp;
    UserOptions o;
    o.defaultFileDirectory = tmp.filePath(QStringLiteral("gone"));
    o.mailCommand = QStringLiteral("no-such-sendmail-here -t");
    o.itemStoreFolder = tmp.filePath(QStringLiteral("also gone"));
    const QStringList problems = checkUserOptions(o);
    ASSERT_EQ(problems.size(), 3);
    EXPECT_TRUE(problems[0].contains(QStringLiteral("gone")));
    EXPECT_TRUE(problems[1].contains(QStringLiteral("no-such-sendmail-here")));

    o.defaultFileDirectory = tmp.path();
    o.itemStoreFolder.clear();
    o.mailCommand = QStringLiteral("sh -c true"); // a program on the PATH, with arguments
    EXPECT_TRUE(checkUserOptions(o).isEmpty());
}
