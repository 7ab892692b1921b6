#pragma once

#include "platform/pim/IcalItem.h"

namespace quorvale::pim {

// An appointment (VEVENT). Start, End and Duration hang together as in
// Outlook: setting Start keeps the Duration (moves the End), setting End or
// Duration changes the other. An all-day event has DATE values, its End the
// day after its last day.
//
// BusyStatus (0 free, 1 tentative, 2 busy, 3 out of office) is TRANSP plus
// X-MICROSOFT-CDO-BUSYSTATUS, which other calendar clients know too.
// MeetingStatus (0 none, 1 meeting, 3 received, 5 cancelled) is STATUS plus
// X-QUORVALE-MEETINGSTATUS; a file without it is a meeting when it has an
// organizer or attendees. The reminder is the first VALARM, its trigger
// relative to the start.
class AppointmentItem : public IcalItem {
public:
    explicit AppointmentItem(Folder folder);

    QDateTime Start() const { return m_start; }
    void setStart(const QDateTime &start);
    QDateTime End() const { return m_end; }
    void setEnd(const QDateTime &end);
    int Duration() const;
    void setDuration(int minutes);
    bool AllDayEvent() const { return m_allDay; }
    void setAllDayEvent(bool allDay);

    QString Location() const { return m_location; }
    void setLocation(const QString &location);
    int BusyStatus() const { return m_busyStatus; }
    void setBusyStatus(int status);
    int MeetingStatus() const { return m_meetingStatus; }
    void setMeetingStatus(int status);

    bool ReminderSet() const { return m_reminderSet; }
    void setReminderSet(bool set);
    int ReminderMinutesBeforeStart() const { return m_reminderMinutes; }
    void setReminderMinutesBeforeStart(int minutes);

    QVariant property(const QString &name) const override;
    bool setProperty(const QString &name, const QVariant &value) override;

protected:
    void readKind(const IcalDocument &document) override;
    void writeKind(IcalDocument &document) override;
    // Outlook's new appointment: the next half hour, 30 minutes long.
    void prepareNew() override;

private:
    QDateTime m_start;
    QDateTime m_end;
    bool m_allDay = false;
    QString m_location;
    int m_busyStatus = 2;
    int m_meetingStatus = 0;
    bool m_reminderSet = false;
    int m_reminderMinutes = 15;
};

// The first VALARM of the component, or nullptr.
icalcomponent *firstAlarm(icalcomponent *component);
// Removes every VALARM of the component.
void removeAlarms(icalcomponent *component);
// A new DISPLAY alarm with that trigger, added to the component.
void addDisplayAlarm(icalcomponent *component, icaltriggertype trigger);

} // namespace quorvale::pim
