// Messages left in the Outbox go when the program starts: the real start-up
// chain and main window, a local SMTP server, and the mail command of the
// settings file.

#include "DemoProgramFixture.h"
#include "platform/pim/Items.h"
#include "platform/pim/MailItem.h"
#include "platform/pim/MailTransport.h"
#include "platform/pim/Namespace.h"
#include "platform/registry/RegistryKey.h"
#include "testsupport/ExternalTool.h"
#include "testsupport/MailSink.h"

#include <QStatusBar>
#include <QTest>

using namespace quorvale;

namespace {

class OutboxAtStartTest : public test::DemoProgramFixture {
protected:
    void SetUp() override
    {
        QV_NEED_TOOL("python3");
        makeDemo();
        // A first start makes the item store.
        ASSERT_NO_FATAL_FAILURE(startProgram());
        host.reset();
    }

    QString itemsRoot() const { return tmp.filePath(QStringLiteral("items")); }
    // A message that could not be sent last time.
    void queue(const QString &subject)
    {
        pim::Namespace ns(itemsRoot(), false);
        pim::MailItem mail(ns.GetDefaultFolder(pim::DefaultFolder::Drafts));
        mail.setSubject(subject);
        mail.setTo(QStringLiteral("Bea Client <bea@example.org>"));
        ASSERT_EQ(mail.Send(pim::MailTransport()).status, pim::SendStatus::Queued);
    }
    int countIn(pim::DefaultFolder kind)
    {
        pim::Namespace ns(itemsRoot(), false);
        return pim::Items(ns.GetDefaultFolder(kind)).Count();
    }
    void setMail(const QString &command)
    {
        RegistryKey settings = registry->openSubKey(QStringLiteral("Settings"));
        settings.writeText(QStringLiteral("Mail Command"), command);
        settings.writeText(QStringLiteral("E-mail Address"),
                           QStringLiteral("Ann O'Hara <ann@example.org>"));
    }
    QString statusText() { return host->window().statusBar()->currentMessage(); }
};

TEST_F(OutboxAtStartTest, WhatWaitedInTheOutboxIsSentOnceTheProgramHasStarted)
{
    queue(QStringLiteral("Hours for March"));
    test::MailSink sink(tmp.filePath(QStringLiteral("sink")));
    ASSERT_TRUE(sink.isListening());
    setMail(sink.command());

    ASSERT_NO_FATAL_FAILURE(startProgram());
    EXPECT_TRUE(QTest::qWaitFor([&] { return countIn(pim::DefaultFolder::SentMail) == 1; },
                                test::MailWaitMs));
    EXPECT_EQ(countIn(pim::DefaultFolder::Outbox), 0);
    const std::optional<test::ReceivedMail> received = sink.waitFor(1);
    ASSERT_TRUE(received);
    EXPECT_EQ(received->envelopeTo, QStringList{"bea@example.org"});
    const QJsonObject seen = test::checkMessage(received->file);
    EXPECT_EQ(test::strings(seen.value(QStringLiteral("problems"))), QStringList());
    EXPECT_EQ(seen.value(QStringLiteral("subject")).toString(), u"Hours for March");
    EXPECT_EQ(statusText(), QStringLiteral("1 message waiting in the Outbox was sent."));
}

TEST_F(OutboxAtStartTest, WithoutItsMailProgramTheMessageIsKeptAndTheStatusBarSaysSo)
{
    queue(QStringLiteral("Hours for April"));
    const QString missing = tmp.filePath(QStringLiteral("no-sendmail"));
    setMail(missing + QStringLiteral(" -t -i"));

    ASSERT_NO_FATAL_FAILURE(startProgram());
    EXPECT_TRUE(QTest::qWaitFor([&] { return statusText().startsWith(QStringLiteral("Not sent")); },
                                test::MailWaitMs));
    EXPECT_EQ(statusText(),
              QStringLiteral("Not sent: 1 message kept in the Outbox. The mail command \"%1\" "
                             "cannot be found.")
                  .arg(missing));
    EXPECT_TRUE(prompts.messages().isEmpty()) << "a failed send at start asked the person";
    EXPECT_EQ(countIn(pim::DefaultFolder::Outbox), 1);
    EXPECT_EQ(countIn(pim::DefaultFolder::SentMail), 0);
}

} // namespace
