#include "platform/pim/MailItem.h"

#include "platform/core/Money.h"
#include "platform/pim/Items.h"
#include "platform/pim/MaildirNames.h"
#include "platform/pim/Namespace.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace quorvale;
using namespace quorvale::pim;

namespace {

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class MailItemTest : public ::testing::Test {
protected:
    test::TempDir dir;
    Namespace ns{dir.filePath(QStringLiteral("Items"))};
    Folder inbox = ns.GetDefaultFolder(DefaultFolder::Inbox);

    // A message another program delivered, as a Maildir file in cur/.
    QString deliver(const QByteArray &content)
    {
        const QString name = maildir::curName(maildir::uniqueBaseName(), QStringLiteral("S"));
        writeFile(QDir(inbox.path()).filePath(name), content);
        return name;
    }
};

TEST_F(MailItemTest, EveryPropertyReadsBackAfterSave)
{
    MailItem mail(inbox);
    mail.setSubject(QStringLiteral("Résumé – 契約 🚀"));
    mail.setBody(QStringLiteral("Zeile eins: Grüße\r\nLine two\n"));
    mail.setHTMLBody(QStringLiteral("<p>Grüße</p>"));
    mail.setTo(QStringLiteral("\"Müller, Jörg\" <j@example.de>; ann@example.org"));
    mail.setCC(QStringLiteral("Zoë <z@example.org>"));
    mail.setBCC(QStringLiteral("hidden@example.org"));
    mail.setSender(QStringLiteral("Ösel Staff"), QStringLiteral("me@example.com"));
    mail.setCategoriesText(QStringLiteral("Billing, Küche"));
    mail.setMileage(QStringLiteral("123456"));
    mail.setImportance(MailImportance::High);
    UserProperties &props = mail.userProperties();
    props.setValue(QStringLiteral("TimeCardID"), UserPropertyType::Number, 42.0);
    props.setValue(QStringLiteral("Quorvale Staff"), UserPropertyType::Text,
                   QStringLiteral("Ann; B=1 =?x?="));
    props.setValue(QStringLiteral("Tätigkeit ✓"), UserPropertyType::Text,
                   QString(300, QChar(u'ä')));
    props.setValue(QStringLiteral("Mixed"), UserPropertyType::Text,
                   QStringLiteral("a€𝄞b").repeated(40) + QStringLiteral("  trailing "));
    props.setValue(QStringLiteral("Rate"), UserPropertyType::Currency,
                   QVariant::fromValue(*Money::parse(QStringLiteral("12.3456"))));
    props.setValue(QStringLiteral("Empty"), UserPropertyType::Text, QString());
    const QList<ContactLink> links{{QStringLiteral("O'Brien; \"Dana\", Ltd.\nSecond line"),
                                    QStringLiteral("Contacts/a.vcf"), QStringLiteral("0f6e-uid")},
                                   {QStringLiteral("Ёлкин Пётр 山田"), QString(), QString()}};
    mail.setLinks(links);
    mail.Save();
    EXPECT_TRUE(mail.Saved());
    EXPECT_FALSE(mail.MessageID().isEmpty());

    auto read = readMailItem(inbox, mail.EntryID().section(u'/', 1));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Subject(), mail.Subject());
    EXPECT_EQ(read->Body(), u"Zeile eins: Grüße\nLine two\n");
    EXPECT_EQ(read->HTMLBody(), u"<p>Grüße</p>");
    EXPECT_EQ(read->To(), u"Müller, Jörg; ann@example.org");
    EXPECT_EQ(read->CC(), u"Zoë");
    EXPECT_EQ(read->BCC(), u"hidden@example.org");
    ASSERT_EQ(read->Recipients().size(), 4);
    EXPECT_EQ(read->Recipients()[0],
              (MailRecipient{QStringLiteral("Müller, Jörg"), QStringLiteral("j@example.de"),
                             RecipientType::To}));
    EXPECT_EQ(read->SenderName(), u"Ösel Staff");
    EXPECT_EQ(read->SenderEmailAddress(), u"me@example.com");
    EXPECT_EQ(read->Categories(),
              (QStringList{QStringLiteral("Billing"), QStringLiteral("Küche")}));
    EXPECT_EQ(read->Mileage(), u"123456");
    EXPECT_EQ(read->Importance(), MailImportance::High);
    EXPECT_FALSE(read->UnRead());
    EXPECT_EQ(read->MessageID(), mail.MessageID());
    EXPECT_FALSE(read->SentOn().isValid());
    EXPECT_EQ(read->CreationTime().toSecsSinceEpoch(), mail.CreationTime().toSecsSinceEpoch());
    EXPECT_TRUE(sameUserProperties(read->userProperties(), mail.userProperties()));
    EXPECT_EQ(read->property(QStringLiteral("Tätigkeit ✓")).toString(), QString(300, QChar(u'ä')));
    EXPECT_EQ(read->property(QStringLiteral("TimeCardID")).toDouble(), 42.0);
    // A name is one line in a header: the break becomes a space.
    ASSERT_EQ(read->Links().size(), 2);
    EXPECT_EQ(read->Links()[0].name, u"O'Brien; \"Dana\", Ltd. Second line");
    EXPECT_EQ(read->Links()[0].entryId, u"Contacts/a.vcf");
    EXPECT_EQ(read->Links()[0].uid, u"0f6e-uid");
    EXPECT_EQ(read->Links()[1], links[1]);
    // The links are the program's own: a transport never sees them.
    EXPECT_FALSE(read->transmissionContent().contains("X-Quorvale-Contact"));

    // No header line of the file grows past what mail systems accept.
    for (const QByteArray &line : readAll(read->filePath()).split('\n'))
        EXPECT_LE(line.size(), 998);
}

TEST_F(MailItemTest, FindsAMessageByItsMileageTag)
{
    for (const char *tag : {"17", "250001", ""}) {
        MailItem mail(inbox);
        mail.setSubject(QStringLiteral("tag %1").arg(QLatin1String(tag)));
        mail.setMileage(QLatin1String(tag));
        mail.Save();
    }
    const QString junk = deliver("not a message at all");
    const QString binary = deliver(QByteArray(64, '\0'));
    Items items(inbox);
    auto found = items.Find(QStringLiteral("Mileage"), 250001);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->Subject(), u"tag 250001");
    EXPECT_EQ(items.Find(QStringLiteral("Mileage"), 99), nullptr);
    EXPECT_EQ(items.skipped().size(), 2);
    EXPECT_TRUE(items.skipped().contains(junk) && items.skipped().contains(binary));
}

TEST_F(MailItemTest, UnknownHeadersAndPartsSurviveARewrite)
{
    const QByteArray original =
        "Return-Path: <a@example.org>\n"
        "Received: from mx.example.org by here; Tue, 01 Apr 2025 10:00:05 +0000\n"
        "From: Ann <a@example.org>\n"
        "To: me@example.com\n"
        "Subject: Report\n"
        "Date: Tue, 01 Apr 2025 09:59:00 +0000\n"
        "X-Mailer: SomeClient 1.0\n"
        "X-Spam-Score: 0.1\n"
        "MIME-Version: 1.0\n"
        "Content-Type: multipart/mixed; boundary=\"b1\"\n"
        "\n"
        "--b1\n"
        "Content-Type: text/plain; charset=iso-8859-1\n"
        "Content-Transfer-Encoding: quoted-printable\n"
        "\n"
        "Gr=FC=DFe\n"
        "--b1\n"
        "Content-Type: application/pdf; name=\"r.pdf\"\n"
        "Content-Disposition: attachment; filename=\"r.pdf\"\n"
        "Content-Transfer-Encoding: base64\n"
        "\n"
        "JVBERi0xLjQKJcOkw7zDtsOfCg==\n"
        "--b1--\n";
    const QString name = deliver(original);
    auto mail = readMailItem(inbox, name);
    ASSERT_NE(mail, nullptr);
    // The line end before a boundary belongs to the boundary.
    EXPECT_EQ(mail->Body(), u"Grüße");
    EXPECT_EQ(mail->SenderName(), u"Ann");
    EXPECT_EQ(mail->ReceivedTime(), QDateTime::fromSecsSinceEpoch(1743501605));
    EXPECT_EQ(mail->SentOn(), QDateTime::fromSecsSinceEpoch(1743501540));

    // Saving with nothing changed writes the file back byte for byte.
    mail->setUnRead(false);
    mail->Save();
    EXPECT_EQ(readAll(mail->filePath()), original);

    mail->setBody(QStringLiteral("Neu: Grüße\n"));
    mail->userProperties().setValue(QStringLiteral("TimeCardID"), UserPropertyType::Number, 7.0);
    mail->Save();
    const QByteArray rewritten = readAll(mail->filePath());
    for (const char *kept :
         {"X-Mailer: SomeClient 1.0", "X-Spam-Score: 0.1", "Return-Path: <a@example.org>",
          "Received: from mx.example.org", "JVBERi0xLjQKJcOkw7zDtsOfCg==", "filename=\"r.pdf\"",
          "Date: Tue, 01 Apr 2025 09:59:00 +0000"})
        EXPECT_TRUE(rewritten.contains(kept)) << kept;
    // A message from elsewhere gets no creation stamp of ours.
    EXPECT_FALSE(rewritten.contains("X-Quorvale-Created"));
    auto again = readMailItem(inbox, name);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Body(), u"Neu: Grüße\n");
    EXPECT_EQ(again->property(QStringLiteral("TimeCardID")).toDouble(), 7.0);
}

TEST_F(MailItemTest, AnHtmlOnlyMessageGainsAPlainAlternative)
{
    const QString name =
        deliver("From: a@example.org\nMIME-Version: 1.0\nContent-Type: text/html\n\n<b>x</b>\n");
    auto mail = readMailItem(inbox, name);
    ASSERT_NE(mail, nullptr);
    mail->setBody(QStringLiteral("plain text"));
    mail->Save();
    auto read = readMailItem(inbox, name);
    EXPECT_EQ(read->Body(), u"plain text");
    EXPECT_EQ(read->HTMLBody(), u"<b>x</b>\n");
    EXPECT_TRUE(readAll(read->filePath()).contains("multipart/alternative"));
}

TEST(MailParse, BadInputIsRefusedWithAReason)
{
    const std::pair<QByteArray, const char *> cases[] = {
        {QByteArray(), "empty"},
        {QByteArray("\n\n  \n"), "empty"},
        {QByteArray("From: a@b\0\x01\x02\xff\n\nbody", 17), "binary"},
        {QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "binary"},
        {QByteArray("Just a line of text\nand another\n"), "does not start"},
        {QByteArray("Subject: cut off in the mid"), "cut off"},
        {QByteArray("Colour: blue\nShape: round\n\nbody\n"), "none of the headers"},
    };
    for (const auto &[bytes, reason] : cases) {
        const MailParseResult result = parseMail(bytes);
        EXPECT_FALSE(result.content.has_value()) << bytes.toStdString();
        EXPECT_TRUE(result.error.contains(QLatin1String(reason))) << result.error.toStdString();
    }
    // A body cut off mid-part is still the message up to there.
    const MailParseResult truncated = parseMail(
        "Subject: s\nMIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=x\n\n--x\n"
        "Content-Type: text/plain\n\nhalf a bo");
    ASSERT_TRUE(truncated.content.has_value());
    EXPECT_EQ(truncated.content->subject, u"s");
}

} // namespace
