// Mail as a mail program sees it: every message the program writes (drafts,
// queued, sent, task requests) read by Python's strict email parser, sent
// through a real SMTP server on this machine, and the Outbox sent later
// without holding up the caller.

#include "platform/pim/Items.h"
#include "platform/pim/MailItem.h"
#include "platform/pim/MailTransport.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/OutboxSender.h"
#include "platform/pim/TaskItem.h"
#include "platform/pim/TaskRequest.h"
#include "testsupport/ExternalTool.h"
#include "testsupport/MailSink.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScopedEnv.h"
#include "testsupport/TempDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quorvale;
using namespace quorvale::pim;

namespace {

using test::ScopedEnv;

class MailDeliveryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QV_NEED_TOOL("python3");
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "test_platform_pim";
            static char *argv[] = {name, nullptr};
            static QCoreApplication app(argc, argv);
        }
    }

    test::TempDir dir;
    Namespace ns{dir.filePath(QStringLiteral("Items"))};
    Folder outbox = ns.GetDefaultFolder(DefaultFolder::Outbox);
    Folder sent = ns.GetDefaultFolder(DefaultFolder::SentMail);
    Folder drafts = ns.GetDefaultFolder(DefaultFolder::Drafts);
    const MailRecipient pat{QStringLiteral("Pat Morgan"), QStringLiteral("pat@example.org")};

    std::unique_ptr<MailItem> message(const QString &subject)
    {
        auto mail = std::make_unique<MailItem>(drafts);
        mail->setSubject(subject);
        mail->setBody(QStringLiteral("Hours for March attached.\n"));
        mail->setTo(QStringLiteral("Bea Client <bea@example.org>"));
        mail->setMileage(QStringLiteral("4711"));
        return mail;
    }
    MailTransport through(const QString &command)
    {
        MailTransport transport(command);
        transport.setSender(pat);
        return transport;
    }
    QStringList filesIn(const Folder &folder)
    {
        QStringList paths;
        for (const QString &name : Items(folder).fileNames())
            paths << QDir(folder.path()).filePath(name);
        return paths;
    }
    // Runs the event loop until the sender's next pass ended; nothing when
    // none ended.
    std::optional<OutboxPass> nextPass(OutboxSender &sender)
    {
        std::optional<OutboxPass> seen;
        QEventLoop loop;
        QObject::connect(&sender, &OutboxSender::passed, &loop, [&](const OutboxPass &pass) {
            seen = pass;
            loop.quit();
        });
        QTimer::singleShot(test::MailWaitMs, &loop, &QEventLoop::quit);
        loop.exec();
        return seen;
    }
};

void expectAccepted(const QString &file)
{
    SCOPED_TRACE(file.toStdString());
    const QJsonObject seen = test::checkMessage(file);
    EXPECT_EQ(test::strings(seen.value(QStringLiteral("problems"))), QStringList());
    EXPECT_EQ(test::strings(seen.value(QStringLiteral("from"))).size(), 1);
    EXPECT_FALSE(seen.value(QStringLiteral("date")).toString().isEmpty());
}

TEST_F(MailDeliveryTest, EveryMessageTheProgramWritesIsTakenWholeByAStrictParser)
{
    test::MailSink sink(dir.filePath(QStringLiteral("sink")));
    ASSERT_TRUE(sink.isListening());
    // A draft saved with no sender named: the environment's address.
    auto draft = message(QStringLiteral("Draft – März"));
    draft->Save();
    EXPECT_FALSE(draft->Sent());
    EXPECT_FALSE(draft->SentOn().isValid());
    // Queued without a command, and sent through the server.
    ASSERT_EQ(message(QStringLiteral("Queued"))->Send(MailTransport()).status, SendStatus::Queued);
    const SendResult result = message(QStringLiteral("Sent"))->Send(through(sink.command()));
    ASSERT_EQ(result.status, SendStatus::Sent) << result.error.toStdString();
    const std::optional<test::ReceivedMail> received = sink.waitFor(1);
    ASSERT_TRUE(received);

    QStringList written = filesIn(drafts) + filesIn(outbox) + filesIn(sent);
    ASSERT_EQ(written.size(), 3);
    for (const QString &file : written + QStringList{received->file})
        expectAccepted(file);
    const QJsonObject wire = test::checkMessage(received->file);
    EXPECT_EQ(test::strings(wire.value(QStringLiteral("private"))), QStringList())
        << "the program's own headers left the computer";
}

TEST_F(MailDeliveryTest, ASentMessageReachesTheServerFromItsSenderAndMovesToSentItems)
{
    test::MailSink sink(dir.filePath(QStringLiteral("sink")));
    ASSERT_TRUE(sink.isListening());
    auto mail = message(QStringLiteral("Statement"));
    mail->setCC(QStringLiteral("office@example.org"));
    const QDateTime before = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch());
    const SendResult result = mail->Send(through(sink.command()));
    ASSERT_EQ(result.status, SendStatus::Sent) << result.error.toStdString();

    const std::optional<test::ReceivedMail> received = sink.waitFor(1);
    ASSERT_TRUE(received);
    EXPECT_EQ(received->envelopeFrom, u"pat@example.org");
    EXPECT_EQ(received->envelopeTo, (QStringList{QStringLiteral("bea@example.org"),
                                                 QStringLiteral("office@example.org")}));
    const QJsonObject seen = test::checkMessage(received->file);
    EXPECT_EQ(test::strings(seen.value(QStringLiteral("fromName"))), QStringList{pat.name});
    EXPECT_EQ(test::strings(seen.value(QStringLiteral("to"))), QStringList{"bea@example.org"});

    EXPECT_EQ(Items(outbox).Count(), 0);
    ASSERT_EQ(Items(sent).Count(), 1);
    auto filed = ns.GetItemFromID(result.entryId, result.storeId);
    ASSERT_TRUE(filed);
    EXPECT_EQ(filed->parent().entryId(), sent.entryId());
    auto &copy = static_cast<MailItem &>(*filed);
    EXPECT_TRUE(copy.Sent());
    EXPECT_GE(copy.SentOn(), before);
    EXPECT_EQ(copy.SenderEmailAddress(), pat.address);
}

TEST_F(MailDeliveryTest, AFailedCommandLeavesTheMessageInTheOutbox)
{
    test::MailSink sink(dir.filePath(QStringLiteral("sink")));
    ASSERT_TRUE(sink.isListening());
    const QString unreachable = sink.command();
    sink.stop(); // the server is gone: the client cannot hand the message over

    const SendResult refused = message(QStringLiteral("Offline"))->Send(through(unreachable));
    EXPECT_EQ(refused.status, SendStatus::Failed);
    EXPECT_TRUE(refused.error.contains(QStringLiteral("cannot deliver")))
        << refused.error.toStdString();
    const SendResult missing =
        message(QStringLiteral("No program"))
            ->Send(through(dir.filePath(QStringLiteral("no-sendmail")) + QStringLiteral(" -t -i")));
    EXPECT_EQ(missing.status, SendStatus::Failed);
    EXPECT_TRUE(missing.error.contains(QStringLiteral("no such program")))
        << missing.error.toStdString();

    EXPECT_EQ(Items(sent).Count(), 0);
    const QStringList queued = Items(outbox).fileNames();
    ASSERT_EQ(queued.size(), 2);
    for (const QString &name : queued) {
        expectAccepted(QDir(outbox.path()).filePath(name));
        auto item = readMailItem(outbox, name);
        ASSERT_TRUE(item);
        EXPECT_FALSE(item->Sent()) << "a message that never left reads as sent";
    }
}

TEST_F(MailDeliveryTest, TheOutboxIsSentInTheBackgroundAndKeptWhileNoCommandCanRun)
{
    for (const char *subject : {"one", "two"})
        ASSERT_EQ(message(QLatin1String(subject))->Send(MailTransport()).status,
                  SendStatus::Queued);
    test::MailSink sink(dir.filePath(QStringLiteral("sink")));
    ASSERT_TRUE(sink.isListening());

    QString command = dir.filePath(QStringLiteral("no-sendmail")) + QStringLiteral(" -t -i");
    OutboxSender sender([&] { return through(command); },
                        [&]() -> std::optional<Folder> { return outbox; });
    sender.flush();
    std::optional<OutboxPass> pass = nextPass(sender);
    ASSERT_TRUE(pass);
    EXPECT_EQ(pass->sent, 0);
    EXPECT_EQ(pass->kept, 2);
    EXPECT_TRUE(pass->text().contains(QStringLiteral("cannot be found")))
        << pass->text().toStdString();
    EXPECT_TRUE(pass->text().contains(QStringLiteral("kept in the Outbox")));
    EXPECT_EQ(Items(outbox).Count(), 2);

    // With a command: the pass runs while the caller goes on, and a message
    // queued meanwhile is not left behind.
    command = sink.command();
    sender.flush();
    EXPECT_TRUE(sender.isBusy());
    ASSERT_EQ(message(QStringLiteral("three"))->Send(MailTransport()).status, SendStatus::Queued);
    sender.flush();
    int sentCount = 0;
    while (sentCount < 3) {
        pass = nextPass(sender);
        ASSERT_TRUE(pass) << "a pass never ended";
        EXPECT_EQ(pass->kept, 0) << pass->reason.toStdString();
        sentCount += pass->sent;
    }
    EXPECT_EQ(sentCount, 3);
    EXPECT_EQ(sink.count(), 3);
    EXPECT_EQ(Items(outbox).Count(), 0);
    EXPECT_EQ(Items(sent).Count(), 3);
    for (const QString &file : filesIn(sent))
        expectAccepted(file);
}

TEST_F(MailDeliveryTest, ARefusingServerKeepsTheOutboxAndSaysWhyOnce)
{
    ASSERT_EQ(message(QStringLiteral("one"))->Send(MailTransport()).status, SendStatus::Queued);
    int port = 0;
    {
        test::MailSink sink(dir.filePath(QStringLiteral("gone")));
        port = sink.port();
    }
    OutboxSender sender([&] { return through(test::MailSink::commandFor(port)); },
                        [&]() -> std::optional<Folder> { return outbox; });
    sender.flush();
    const std::optional<OutboxPass> pass = nextPass(sender);
    ASSERT_TRUE(pass);
    EXPECT_EQ(pass->kept, 1);
    EXPECT_TRUE(pass->reason.contains(QStringLiteral("cannot deliver")))
        << pass->reason.toStdString();
    EXPECT_TRUE(pass->text().startsWith(QStringLiteral("Not sent: 1 message kept in the Outbox.")))
        << pass->text().toStdString();
    EXPECT_EQ(Items(outbox).Count(), 1);
    EXPECT_EQ(Items(sent).Count(), 0);

    // Without a command nothing is tried; the person is told why.
    OutboxSender idle([] { return MailTransport(); },
                      [&]() -> std::optional<Folder> { return outbox; });
    idle.flush();
    const std::optional<OutboxPass> told = nextPass(idle);
    ASSERT_TRUE(told);
    EXPECT_EQ(told->kept, 1);
    EXPECT_TRUE(told->text().contains(QStringLiteral("No mail command")))
        << told->text().toStdString();
    EXPECT_EQ(Items(outbox).Count(), 1);
}

TEST_F(MailDeliveryTest, AMessageLeftUnsentInSentItemsByAnEarlierVersionGetsFromAndDate)
{
    // As an earlier version wrote a message saved without sending: neither a
    // From nor a Date, and filed in Sent Items.
    const QString path = QDir(sent.path()).filePath(QStringLiteral("cur/1700000000.1.host:2,S"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("To: bea@example.org\nSubject: Old draft\nMessage-Id: <1@host>\n"
               "MIME-Version: 1.0\nContent-Type: text/plain; charset=utf-8\n\nText\n");
    file.close();

    auto old = readMailItem(sent, QStringLiteral("1700000000.1.host"));
    ASSERT_TRUE(old);
    EXPECT_FALSE(old->Sent());
    EXPECT_FALSE(old->SentOn().isValid());
    old->setBody(QStringLiteral("Text, revised\n"));
    old->Save();
    expectAccepted(QDir(sent.path()).filePath(Items(sent).fileNames().value(0)));
}

TEST_F(MailDeliveryTest, AddressesAreReadAsAMailServerReadsThem)
{
    const auto mailbox = [](const char *text) { return parseMailbox(QString::fromUtf8(text)); };
    ASSERT_TRUE(mailbox("ann@example.org"));
    const std::optional<MailRecipient> named = mailbox(" Ann Lee <ann@example.org> ");
    ASSERT_TRUE(named);
    EXPECT_EQ(named->name, u"Ann Lee");
    EXPECT_EQ(named->address, u"ann@example.org");
    EXPECT_EQ(mailbox("\"Lee, Ann\" <ann@example.org>")->name, u"Lee, Ann");
    for (const char *no :
         {"", "ann", "ann lee", "ann@", "@example.org", "ann@@example.org", "ann@exa mple.org",
          "ann@example.org, bob@example.org", "team: ann@example.org;", "ann@example..org"})
        EXPECT_FALSE(mailbox(no)) << no;

    {
        const ScopedEnv email("EMAIL", "Ann Lee <ann@example.org>");
        EXPECT_EQ(environmentMailAddress(), u"Ann Lee <ann@example.org>");
    }
    {
        const ScopedEnv email("EMAIL", QByteArray());
        const ScopedEnv user("USER", "pat");
        const QString address = environmentMailAddress();
        EXPECT_TRUE(address.startsWith(QStringLiteral("pat@"))) << address.toStdString();
        EXPECT_TRUE(parseMailbox(address));
    }
}

TEST_F(MailDeliveryTest, ATaskRequestGoesByMailAsAnICalendarRequest)
{
    test::MailSink sink(dir.filePath(QStringLiteral("sink")));
    ASSERT_TRUE(sink.isListening());
    TaskItem task(ns.GetDefaultFolder(DefaultFolder::Tasks));
    task.setSubject(QStringLiteral("Review the contract"));
    task.setBody(QStringLiteral("Clause 4 in particular.\n"));
    task.setDueDate(QDateTime(QDate(2031, 3, 7), QTime(17, 0)));
    task.Assign();
    task.addRecipient(QStringLiteral("Bea Client"), QStringLiteral("bea@example.org"));
    task.setOwner(pat.name, pat.address);
    task.userProperties().setValue(QStringLiteral("TimeCardID"), UserPropertyType::Number, 17);
    task.Save();

    const QString calendar = taskRequestCalendar(task);
    EXPECT_TRUE(calendar.contains(QStringLiteral("METHOD:REQUEST")));
    EXPECT_TRUE(calendar.contains(QStringLiteral("UID:") + task.uid()));
    EXPECT_FALSE(calendar.contains(QStringLiteral("X-QUORVALE"), Qt::CaseInsensitive))
        << "what only this store knows went out";

    auto request = newTaskRequestMessage(task, outbox, pat);
    const SendResult result = request->Send(through(sink.command()));
    ASSERT_EQ(result.status, SendStatus::Sent) << result.error.toStdString();
    const std::optional<test::ReceivedMail> received = sink.waitFor(1);
    ASSERT_TRUE(received);
    EXPECT_EQ(received->envelopeTo, QStringList{"bea@example.org"});
    expectAccepted(received->file);
    const QJsonObject seen = test::checkMessage(received->file);
    EXPECT_EQ(seen.value(QStringLiteral("subject")).toString(),
              u"Task Request: Review the contract");
    const QStringList types = test::strings(seen.value(QStringLiteral("types")));
    EXPECT_EQ(types, (QStringList{"multipart/alternative", "text/plain", "text/calendar"}));
    const QJsonObject part = seen.value(QStringLiteral("calendar")).toObject();
    EXPECT_EQ(part.value(QStringLiteral("method")).toString(), u"REQUEST");
    const QString sentCalendar = part.value(QStringLiteral("text")).toString();
    for (const char *line : {"BEGIN:VTODO", "METHOD:REQUEST", "SUMMARY:Review the contract",
                             "ORGANIZER;CN=Pat Morgan:mailto:pat@example.org"})
        EXPECT_TRUE(sentCalendar.contains(QLatin1String(line))) << line;
    EXPECT_TRUE(sentCalendar.contains(QStringLiteral("mailto:bea@example.org")));
    EXPECT_TRUE(seen.value(QStringLiteral("body")).toString().contains(QStringLiteral("Clause 4")));

    // The copy in Sent Items reads back with its calendar.
    auto filed = ns.GetItemFromID(result.entryId, result.storeId);
    ASSERT_TRUE(filed);
    EXPECT_TRUE(static_cast<MailItem &>(*filed).Calendar().contains(QStringLiteral("BEGIN:VTODO")));
}

} // namespace
