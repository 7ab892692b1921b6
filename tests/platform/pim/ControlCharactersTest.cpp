// Text with control characters, as a person may paste it, written into every
// kind of item file: the file holds none of them (the line breaks and tabs of
// multi-line values excepted), and what is written still reads back.

#include "IcalFixture.h"
#include "platform/pim/AppointmentItem.h"
#include "platform/pim/ContactItem.h"
#include "platform/pim/Items.h"
#include "platform/pim/JournalItem.h"
#include "platform/pim/MailItem.h"
#include "platform/pim/NoteItem.h"
#include "platform/pim/TaskItem.h"

#include <functional>

using namespace quorvale;
using namespace quorvale::pim;

namespace {

// ESC [31m recolours a terminal, U+009B is the one-character form of ESC [.
const QString Hostile = QStringLiteral("Red\x1b[31m alert") + QChar(0x01) + QChar(0x00) +
                        QChar(0x7f) + QChar(0x85) + QChar(0x9b) + QStringLiteral("2J end");
const QString HostileBody = Hostile + QStringLiteral("\nsecond\tline");

// The control characters of a file other than the line ends and tabs.
QString controlsIn(const QByteArray &file)
{
    QString found;
    for (const QChar c : QString::fromUtf8(file))
        if (c.category() == QChar::Other_Control && c != u'\r' && c != u'\n' && c != u'\t')
            found += QStringLiteral("U+%1 ").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    return found;
}

struct Kind {
    const char *name;
    DefaultFolder folder;
    std::function<void(Item &)> fill;
};

using ControlCharacters = test::IcalFixture;

void fillCommon(Item &item)
{
    item.setSubject(Hostile);
    item.setBody(HostileBody);
    item.setCategories({Hostile});
    item.userProperties()
        .Add(QStringLiteral("Matter") + QChar(0x1b), UserPropertyType::Text)
        .value = Hostile;
}

} // namespace

TEST_F(ControlCharacters, NoItemFileHoldsOneAndTheTextAroundThemIsKept)
{
    const Kind kinds[] = {
        {"journal entry", DefaultFolder::Journal,
         [](Item &item) {
             auto &journal = dynamic_cast<JournalItem &>(item);
             journal.setLinks({{Hostile, QStringLiteral("id\x1b"), QStringLiteral("u\x01id")}});
             journal.setCompanies(Hostile);
             journal.setBillingInformation(Hostile);
         }},
        {"appointment", DefaultFolder::Calendar,
         [](Item &item) {
             auto &appointment = dynamic_cast<AppointmentItem &>(item);
             appointment.setStart(QDateTime(QDate(2031, 3, 4), QTime(10, 0)));
             appointment.setEnd(QDateTime(QDate(2031, 3, 4), QTime(11, 0)));
             appointment.setLocation(Hostile);
         }},
        {"task", DefaultFolder::Tasks,
         [](Item &item) { dynamic_cast<TaskItem &>(item).setOwner(Hostile, Hostile); }},
        {"note", DefaultFolder::Notes, [](Item &) {}},
        {"contact", DefaultFolder::Contacts,
         [](Item &item) {
             auto &contact = dynamic_cast<ContactItem &>(item);
             contact.setLastName(Hostile);
             contact.setCompanyName(Hostile);
             contact.setEmailAddress(1, QStringLiteral("a\x1b@example.com"));
         }},
        {"message", DefaultFolder::Inbox,
         [](Item &item) {
             auto &mail = dynamic_cast<MailItem &>(item);
             mail.setSender(Hostile, QStringLiteral("x\x1b@example.com"));
             mail.setRecipients({{Hostile, QStringLiteral("to@example.com"), RecipientType::To}});
             mail.setHTMLBody(QStringLiteral("<p>") + Hostile + QStringLiteral("</p>"));
             mail.setMileage(Hostile);
         }},
    };
    for (const Kind &kind : kinds) {
        SCOPED_TRACE(kind.name);
        std::unique_ptr<Item> item = newItem(folder(kind.folder));
        fillCommon(*item);
        kind.fill(*item);
        item->Save();
        const QByteArray file = contentOf(item->filePath());
        ASSERT_FALSE(file.isEmpty());
        EXPECT_EQ(controlsIn(file), QString());

        // Only the control characters went: the words on both sides, the body's
        // second line and its tab read back.
        const std::unique_ptr<Item> read = readItem(folder(kind.folder), item->fileName());
        ASSERT_NE(read, nullptr);
        EXPECT_TRUE(read->Subject().contains(QStringLiteral("Red[31m alert")))
            << read->Subject().toStdString();
        EXPECT_TRUE(read->Subject().endsWith(QStringLiteral("2J end")));
        EXPECT_TRUE(read->Body().endsWith(QStringLiteral("2J end\nsecond\tline")))
            << read->Body().toStdString();
        // Nor does an encoding (quoted-printable, base64, RFC 2047 words) carry one.
        EXPECT_EQ(controlsIn((read->Subject() + read->Body() + read->Categories().join(u',') +
                              read->userProperties().all().front().value.toString())
                                 .toUtf8()),
                  QString());
        if (const auto *mail = dynamic_cast<const MailItem *>(read.get())) {
            EXPECT_EQ(controlsIn((mail->SenderName() + mail->Recipients().value(0).name).toUtf8()),
                      QString());
        }
    }
}
