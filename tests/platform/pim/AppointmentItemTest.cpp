#include "platform/pim/AppointmentItem.h"

#include "IcalFixture.h"

using namespace quorvale;
using namespace quorvale::pim;

namespace {

class AppointmentItemTest : public test::IcalFixture {};

TEST_F(AppointmentItemTest, TimeDetailAppointmentReadsBack)
{
    auto appt = add<AppointmentItem>(DefaultFolder::Calendar);
    ASSERT_TRUE(appt);
    const QDateTime start(QDate(2024, 9, 2), QTime(13, 5, 10));
    appt->setStart(start);
    appt->setEnd(start.addSecs(45 * 60));
    appt->setSubject(QStringLiteral("Acme: segment"));
    appt->setLocation(QStringLiteral("Office"));
    appt->setBusyStatus(3);
    appt->setReminderSet(true);
    appt->setReminderMinutesBeforeStart(10);
    appt->setMeetingStatus(0);
    appt->Save();

    auto read = reread<AppointmentItem>(*appt);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Start(), start);
    EXPECT_EQ(read->Duration(), 45);
    EXPECT_EQ(read->Location(), QStringLiteral("Office"));
    EXPECT_EQ(read->BusyStatus(), 3);
    EXPECT_TRUE(read->ReminderSet());
    EXPECT_EQ(read->ReminderMinutesBeforeStart(), 10);
    EXPECT_EQ(read->MeetingStatus(), 0);
    const QByteArray text = contentOf(read->filePath());
    EXPECT_TRUE(text.contains("TRIGGER:-PT10M"));
    EXPECT_TRUE(text.contains("X-MICROSOFT-CDO-BUSYSTATUS:OOF"));

    // Outlook's rules: moving the start keeps the length; Duration moves End.
    read->setStart(start.addSecs(3600));
    EXPECT_EQ(read->End(), start.addSecs(3600 + 45 * 60));
    read->setDuration(60);
    EXPECT_EQ(read->End(), start.addSecs(2 * 3600));
    read->setReminderSet(false);
    read->setBusyStatus(0);
    read->setMeetingStatus(5);
    read->Save();
    const QByteArray after = contentOf(read->filePath());
    EXPECT_FALSE(after.contains("VALARM"));
    EXPECT_TRUE(after.contains("TRANSP:TRANSPARENT"));
    EXPECT_TRUE(after.contains("STATUS:CANCELLED"));
    EXPECT_EQ(reread<AppointmentItem>(*read)->MeetingStatus(), 5);
}

TEST_F(AppointmentItemTest, EventsOtherClientsWroteReadAsOutlookWould)
{
    put(DefaultFolder::Calendar, QStringLiteral("meeting.ics"),
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VEVENT\r\nUID:m\r\n"
        "DTSTAMP:20240101T000000Z\r\nDTSTART:20240110T090000Z\r\nDURATION:PT1H30M\r\n"
        "TRANSP:TRANSPARENT\r\nORGANIZER:mailto:boss@example.org\r\n"
        "ATTENDEE;PARTSTAT=ACCEPTED:mailto:me@example.org\r\nSUMMARY:Weekly\r\n"
        "END:VEVENT\r\nEND:VCALENDAR\r\n");
    put(DefaultFolder::Calendar, QStringLiteral("holiday.ics"),
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VEVENT\r\nUID:h\r\n"
        "DTSTAMP:20240101T000000Z\r\nDTSTART;VALUE=DATE:20240501\r\nSUMMARY:Holiday\r\n"
        "END:VEVENT\r\nEND:VCALENDAR\r\n");
    auto meeting =
        readFile<AppointmentItem>(DefaultFolder::Calendar, QStringLiteral("meeting.ics"));
    ASSERT_TRUE(meeting);
    EXPECT_EQ(meeting->Duration(), 90);
    EXPECT_EQ(meeting->BusyStatus(), 0);
    EXPECT_EQ(meeting->MeetingStatus(), 1);
    EXPECT_FALSE(meeting->ReminderSet());

    auto holiday =
        readFile<AppointmentItem>(DefaultFolder::Calendar, QStringLiteral("holiday.ics"));
    ASSERT_TRUE(holiday);
    EXPECT_TRUE(holiday->AllDayEvent());
    EXPECT_EQ(holiday->Duration(), 24 * 60);
    holiday->setSubject(QStringLiteral("Labour day"));
    holiday->Save();
    const QByteArray text = contentOf(holiday->filePath());
    // Still a date, not a time at midnight.
    EXPECT_TRUE(text.contains("DTSTART;VALUE=DATE:20240501")) << text.constData();
    EXPECT_FALSE(text.contains("DTEND")) << text.constData();
}

TEST_F(AppointmentItemTest, TransparencyChangedElsewhereOverridesOurBusyState)
{
    auto appt = add<AppointmentItem>(DefaultFolder::Calendar);
    appt->setBusyStatus(1);
    appt->Save();
    QByteArray text = contentOf(appt->filePath());
    ASSERT_TRUE(text.contains("TRANSP:OPAQUE"));
    write(appt->filePath(), text.replace("TRANSP:OPAQUE", "TRANSP:TRANSPARENT"));
    EXPECT_EQ(reread<AppointmentItem>(*appt)->BusyStatus(), 0);
}

} // namespace
