#include "platform/pim/Items.h"
#include "platform/pim/MailItem.h"
#include "platform/pim/MailTransport.h"
#include "platform/pim/Namespace.h"
#include "testsupport/ExternalTool.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace quorvale;
using namespace quorvale::pim;

namespace {

// Python's standard email package, a parser independent of GMime, reads a file
// and reports what a mail client would show.
const char *PythonReader = R"(
import email, email.header, json, sys
m = email.message_from_binary_file(open(sys.argv[1], 'rb'))
def text(v):
    return str(email.header.make_header(email.header.decode_header(v))) if v is not None else None
body = None
for part in m.walk():
    if part.get_content_type() == 'text/plain' and part.get_content_disposition() != 'attachment':
        body = part.get_payload(decode=True).decode(part.get_content_charset() or 'ascii')
        break
print(json.dumps({'subject': text(m['Subject']), 'to': text(m['To']), 'date': m['Date'], 'body': body,
                  'defects': len(m.defects)}))
)";

QJsonObject readWithPython(const QString &path)
{
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"), QLatin1String(PythonReader), path});
    if (!python.waitForFinished(-1) || python.exitCode() != 0)
        return {{QStringLiteral("error"), QString::fromUtf8(python.readAllStandardError())}};
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

class InteropMailTest : public ::testing::Test {
protected:
    void SetUp() override { QV_NEED_TOOL("python3"); }
    test::TempDir dir;
    Namespace ns{dir.filePath(QStringLiteral("Items"))};

    MailTransport script(const QByteArray &body)
    {
        const QString path = dir.filePath(QStringLiteral("sendmail.sh"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + body);
        file.close();
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                            QFileDevice::ExeOwner);
        return MailTransport(path + QStringLiteral(" -t -oi"));
    }
};

TEST_F(InteropMailTest, ASentMessageReadsTheSameInPythonsEmailPackage)
{
    const QString subject = QStringLiteral("Rechnung Nr. 7 – Müller & Söhne: „Größe“ 見積書");
    const QString body =
        QStringLiteral("Sehr geehrte Frau Müller,\n\nanbei die Übersicht: 3 h 25 min × 95,00 €.\n"
                       "日本語のテキスト\n");
    const QString transmitted = dir.filePath(QStringLiteral("transmitted.eml"));

    MailItem mail(ns.GetDefaultFolder(DefaultFolder::SentMail));
    mail.setSubject(subject);
    mail.setBody(body);
    mail.setTo(QStringLiteral("Jörg Müller <joerg@example.de>"));
    mail.setMileage(QStringLiteral("31337"));
    mail.userProperties().setValue(QStringLiteral("Quorvale Staff"), UserPropertyType::Text,
                                   QStringLiteral("Ann"));
    const QDateTime before = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch());
    const SendResult result = mail.Send(script("cat > '" + transmitted.toUtf8() + "'\n"));
    ASSERT_EQ(result.status, SendStatus::Sent) << result.error.toStdString();

    EXPECT_EQ(Items(ns.GetDefaultFolder(DefaultFolder::Outbox)).Count(), 0);
    auto filed =
        Items(ns.GetDefaultFolder(DefaultFolder::SentMail)).Find(QStringLiteral("Mileage"), 31337);
    ASSERT_NE(filed, nullptr);
    EXPECT_EQ(filed->EntryID(), result.entryId);
    EXPECT_GE(static_cast<MailItem &>(*filed).SentOn(), before);
    EXPECT_EQ(filed->property(QStringLiteral("Quorvale Staff")).toString(), u"Ann");
    // What left the computer carries none of the program's own headers.
    QFile out(transmitted);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_FALSE(out.readAll().contains("X-Quorvale")) << "private headers were transmitted";
    for (const QString &path : {filed->filePath(), transmitted}) {
        const QJsonObject seen = readWithPython(path);
        ASSERT_FALSE(seen.contains(QStringLiteral("error")))
            << seen.value(QStringLiteral("error")).toString().toStdString();
        EXPECT_EQ(seen.value(QStringLiteral("subject")).toString(), subject) << path.toStdString();
        EXPECT_EQ(seen.value(QStringLiteral("to")).toString(), u"Jörg Müller <joerg@example.de>");
        EXPECT_EQ(seen.value(QStringLiteral("body")).toString(), body);
        EXPECT_FALSE(seen.value(QStringLiteral("date")).toString().isEmpty());
        EXPECT_EQ(seen.value(QStringLiteral("defects")).toInt(), 0);
    }
}

TEST_F(InteropMailTest, AFailedSendLeavesAMessagePythonCanReadInTheOutbox)
{
    MailItem mail(ns.GetDefaultFolder(DefaultFolder::SentMail));
    mail.setSubject(QStringLiteral("Offline – Grüße"));
    mail.setBody(QStringLiteral("Noch nicht gesendet.\n"));
    mail.setTo(QStringLiteral("a@example.org"));
    const SendResult result =
        mail.Send(script("cat >/dev/null\necho 'cannot connect' >&2\nexit 1\n"));
    ASSERT_EQ(result.status, SendStatus::Failed);

    auto queued = ns.GetItemFromID(result.entryId, result.storeId);
    EXPECT_EQ(queued->parent().entryId(), ns.GetDefaultFolder(DefaultFolder::Outbox).entryId());
    const QJsonObject seen = readWithPython(queued->filePath());
    EXPECT_EQ(seen.value(QStringLiteral("subject")).toString(), u"Offline – Grüße");
    EXPECT_EQ(seen.value(QStringLiteral("to")).toString(), u"a@example.org");
    EXPECT_EQ(seen.value(QStringLiteral("body")).toString(), u"Noch nicht gesendet.\n");
}

} // namespace
