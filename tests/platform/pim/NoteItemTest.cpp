#include "platform/pim/NoteItem.h"

#include "IcalFixture.h"

#include <QTimeZone>

using namespace quorvale;
using namespace quorvale::pim;

namespace {

class NoteItemTest : public test::IcalFixture {};

TEST_F(NoteItemTest, SubjectIsTheFirstLineOfTheBody)
{
    auto note = add<NoteItem>(DefaultFolder::Notes);
    ASSERT_TRUE(note);
    note->setSubject(QStringLiteral("ignored"));
    note->setBody(QStringLiteral("Acme call notes \nsecond line"));
    note->setCategories({QStringLiteral("Clients")});
    note->Save();
    EXPECT_TRUE(contentOf(note->filePath()).contains("SUMMARY:Acme call notes"));
    auto read = reread<NoteItem>(*note);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Subject(), QStringLiteral("Acme call notes"));
    EXPECT_EQ(read->property(QStringLiteral("Subject")),
              QVariant(QStringLiteral("Acme call notes")));
    EXPECT_EQ(read->Body(), note->Body());
    EXPECT_EQ(read->CategoriesText(), QStringLiteral("Clients"));
    EXPECT_TRUE(read->CreationTime().isValid());

    put(DefaultFolder::Notes, QStringLiteral("other.ics"),
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VJOURNAL\r\nUID:n\r\n"
        "DTSTAMP:20240101T000000Z\r\nCREATED:20230102T030405Z\r\nSUMMARY:Only a title\r\n"
        "END:VJOURNAL\r\nEND:VCALENDAR\r\n");
    auto other = readFile<NoteItem>(DefaultFolder::Notes, QStringLiteral("other.ics"));
    ASSERT_TRUE(other);
    EXPECT_EQ(other->Body(), QStringLiteral("Only a title"));
    EXPECT_EQ(other->CreationTime().toUTC(),
              QDateTime(QDate(2023, 1, 2), QTime(3, 4, 5), QTimeZone::utc()));
}

} // namespace
