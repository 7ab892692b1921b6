// The user options written to the settings file read back as the program
// reads its settings at start-up, and options that cannot work are refused.

#include "settings/UserOptions.h"

#include "platform/registry/Registry.h"
#include "settings/MailSettings.h"
#include "settings/RegSettingsReader.h"
#include "testsupport/ScopedEnv.h"
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
    o.emailAddress = QStringLiteral("ann@example.org");
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

namespace {

using test::ScopedEnv;

} // namespace

TEST(UserOptions, TheMailAddressComesFromTheEnvironmentUntilSetAndMustBeOne)
{
    test::TempDir tmp;
    Registry registry(tmp.filePath(QStringLiteral("settings.ini")));
    RegSettings s;
    {
        const ScopedEnv email("EMAIL", "Ann Lee <ann@example.org>");
        readRegSettings(registry, s);
        EXPECT_EQ(s.settings.emailAddress, u"Ann Lee <ann@example.org>");
        const pim::MailRecipient me = mailSender(s);
        EXPECT_EQ(me.name, u"Ann Lee");
        EXPECT_EQ(me.address, u"ann@example.org");
    }
    {
        const ScopedEnv email("EMAIL", QByteArray());
        const ScopedEnv user("USER", "pat");
        readRegSettings(registry, s);
        EXPECT_TRUE(s.settings.emailAddress.startsWith(QStringLiteral("pat@")))
            << s.settings.emailAddress.toStdString();
        // A bare address is named by the person's user name.
        s.license.userName = QStringLiteral("Pat Morgan");
        EXPECT_EQ(mailSender(s).name, u"Pat Morgan");
    }
    // Messages go through the system's sendmail unless the person says otherwise.
    EXPECT_EQ(s.settings.mailCommand, u"/usr/sbin/sendmail -t -i");
    const pim::MailTransport transport = mailTransport(s);
    EXPECT_EQ(transport.arguments(), (QStringList{"/usr/sbin/sendmail", "-t", "-i"}));
    EXPECT_EQ(transport.sender().address, mailSender(s).address);

    UserOptions o = userOptionsFrom(s, QString());
    o.defaultFileDirectory = tmp.path();
    // Where no mail system is installed the default is kept, not refused:
    // messages then wait in the Outbox.
    EXPECT_EQ(checkUserOptions(o), QStringList());
    for (const char *typed : {"pat at example.org", "pat@", "Pat Morgan"}) {
        o.emailAddress = QLatin1String(typed);
        const QStringList problems = checkUserOptions(o);
        ASSERT_EQ(problems.size(), 1) << typed;
        EXPECT_TRUE(problems[0].contains(
            QStringLiteral("\"%1\" is not an e-mail address").arg(QLatin1String(typed))))
            << problems[0].toStdString();
    }
    o.emailAddress.clear();
    EXPECT_EQ(checkUserOptions(o).size(), 1);

    o.emailAddress = QStringLiteral("Pat Morgan <pat@example.org>");
    o.mailCommand.clear();
    ASSERT_EQ(checkUserOptions(o), QStringList());
    writeUserOptions(registry, o);
    Registry again(tmp.filePath(QStringLiteral("settings.ini")));
    RegSettings read;
    readRegSettings(again, read);
    EXPECT_EQ(read.settings.emailAddress, o.emailAddress);
    // Emptied on purpose: no command, messages wait in the Outbox.
    EXPECT_FALSE(mailTransport(read).isConfigured());
    EXPECT_EQ(mailTransport(read).sender().name, u"Pat Morgan");
}
