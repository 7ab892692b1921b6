#include "platform/pim/MailTransport.h"

#include "platform/pim/Items.h"
#include "platform/pim/MailItem.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/OutboxSender.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <gtest/gtest.h>

using namespace quorvale;
using namespace quorvale::pim;

namespace {

class MailTransportTest : public ::testing::Test {
protected:
    test::TempDir dir;
    Namespace ns{dir.filePath(QStringLiteral("Items"))};
    Folder outbox = ns.GetDefaultFolder(DefaultFolder::Outbox);
    Folder sent = ns.GetDefaultFolder(DefaultFolder::SentMail);
    QString received = dir.filePath(QStringLiteral("received.eml"));

    // A stand-in for sendmail: keeps what it is given, or refuses it.
    MailTransport script(const QString &name, const QByteArray &body)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + body);
        file.close();
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                            QFileDevice::ExeOwner);
        return MailTransport(QStringLiteral("\"%1\" -t -oi").arg(path));
    }
    MailTransport accepting()
    {
        return script(QStringLiteral("accept.sh"), "cat > \"" + received.toUtf8() + "\"\n");
    }
    MailTransport refusing()
    {
        return script(QStringLiteral("refuse.sh"), "echo 'relay refused: no route' >&2\nexit 1\n");
    }

    std::unique_ptr<MailItem> newMessage(const QString &subject)
    {
        auto mail = std::make_unique<MailItem>(sent);
        mail->setSubject(subject);
        mail->setTo(QStringLiteral("client@example.org"));
        mail->setMileage(QStringLiteral("4711"));
        mail->userProperties().setValue(QStringLiteral("Quorvale Staff"), UserPropertyType::Text,
                                        QStringLiteral("Ann"));
        return mail;
    }
};

TEST_F(MailTransportTest, WithoutACommandTheMessageWaitsInTheOutbox)
{
    auto mail = newMessage(QStringLiteral("offline"));
    const SendResult result = mail->Send(MailTransport());
    EXPECT_EQ(result.status, SendStatus::Queued);
    EXPECT_TRUE(mail->isDeleted());
    // Not in Sent Items, so the program's search by tag finds nothing there.
    EXPECT_EQ(Items(sent).Count(), 0);
    EXPECT_EQ(Items(sent).Find(QStringLiteral("Mileage"), 4711), nullptr);
    auto queued = ns.GetItemFromID(result.entryId, result.storeId);
    EXPECT_EQ(queued->parent().entryId(), outbox.entryId());
    EXPECT_EQ(queued->Subject(), u"offline");
    EXPECT_FALSE(static_cast<MailItem &>(*queued).SentOn().isValid());

    const SendResult missing = MailTransport(dir.filePath(QStringLiteral("no-such-sendmail")))
                                   .send(static_cast<MailItem &>(*queued));
    EXPECT_EQ(missing.status, SendStatus::Failed);
    EXPECT_TRUE(missing.error.contains(QStringLiteral("could not be started")));
    EXPECT_EQ(Items(outbox).Count(), 1);
}

TEST_F(MailTransportTest, FlushingTheOutboxSendsWhatWaited)
{
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "test_platform_pim";
        static char *argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }
    for (const char *subject : {"one", "two"})
        EXPECT_EQ(newMessage(QLatin1String(subject))->Send(MailTransport()).status,
                  SendStatus::Queued);
    QFile junk(QDir(outbox.path()).filePath(QStringLiteral("cur/junk:2,S")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.close();

    MailTransport transport = refusing();
    OutboxSender sender([&] { return transport; },
                        [&]() -> std::optional<Folder> { return outbox; });
    const auto pass = [&] {
        std::optional<OutboxPass> seen;
        QEventLoop loop;
        QObject::connect(&sender, &OutboxSender::passed, &loop, [&](const OutboxPass &p) {
            seen = p;
            loop.quit();
        });
        sender.flush();
        loop.exec();
        return seen.value_or(OutboxPass{});
    };
    OutboxPass result = pass();
    EXPECT_EQ(result.sent, 0);
    EXPECT_EQ(result.kept, 3);
    EXPECT_TRUE(result.reason.contains(QStringLiteral("relay refused")) ||
                result.reason.contains(QStringLiteral("junk")))
        << result.reason.toStdString();
    EXPECT_EQ(Items(outbox).Count(), 3);

    transport = accepting();
    result = pass();
    EXPECT_EQ(result.sent, 2);
    EXPECT_EQ(result.kept, 1);
    EXPECT_TRUE(result.reason.contains(QStringLiteral("junk"))) << result.reason.toStdString();
    EXPECT_EQ(Items(sent).Count(), 2);
    // Only the unreadable file is left behind.
    EXPECT_EQ(Items(outbox).fileNames(), QStringList{QStringLiteral("cur/junk:2,S")});
}

} // namespace
