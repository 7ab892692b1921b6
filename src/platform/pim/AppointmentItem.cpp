#include "platform/pim/AppointmentItem.h"

#include "platform/pim/ItemKinds.h"

namespace quorvale::pim {

namespace {

constexpr const char *BusyField = "X-MICROSOFT-CDO-BUSYSTATUS";
constexpr const char *MeetingField = "X-QUORVALE-MEETINGSTATUS";
const char *const BusyNames[] = {"FREE", "TENTATIVE", "BUSY", "OOF"};

int busyFromFile(const IcalDocument &d)
{
    const icalproperty *transp = firstProperty(d.component(), ICAL_TRANSP_PROPERTY);
    const bool transparent = transp && icalproperty_get_transp(transp) == ICAL_TRANSP_TRANSPARENT;
    const QString cdo = d.field(BusyField).trimmed().toUpper();
    for (int i = 0; i < 4; ++i)
        // A client that only knows TRANSP may have changed it since.
        if (cdo == QLatin1String(BusyNames[i]) && transparent == (i == 0))
            return i;
    return transparent ? 0 : 2;
}

int meetingFromFile(const IcalDocument &d)
{
    const icalproperty *status = firstProperty(d.component(), ICAL_STATUS_PROPERTY);
    if (status && icalproperty_get_status(status) == ICAL_STATUS_CANCELLED)
        return 5;
    const std::optional<int> own = d.intField(MeetingField);
    if (own && *own != 5)
        return *own;
    const bool meeting = d.organizer() || !d.attendees().isEmpty();
    return meeting ? 1 : 0;
}

std::optional<int> reminderFromFile(const IcalDocument &d)
{
    icalcomponent *alarm = firstAlarm(d.component());
    icalproperty *trigger = firstProperty(alarm, ICAL_TRIGGER_PROPERTY);
    if (!trigger)
        return std::nullopt;
    const icaltriggertype t = icalproperty_get_trigger(trigger);
    if (!icaltime_is_null_time(t.time))
        return std::nullopt;
    return qMax(0, -icaldurationtype_as_int(t.duration) / 60);
}

} // namespace

icalcomponent *firstAlarm(icalcomponent *component)
{
    return component ? icalcomponent_get_first_component(component, ICAL_VALARM_COMPONENT)
                     : nullptr;
}

void removeAlarms(icalcomponent *component)
{
    while (icalcomponent *alarm = firstAlarm(component)) {
        icalcomponent_remove_component(component, alarm);
        icalcomponent_free(alarm);
    }
}

void addDisplayAlarm(icalcomponent *component, icaltriggertype trigger)
{
    icalcomponent *alarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
    icalcomponent_add_property(alarm, icalproperty_new_description("Reminder"));
    icalcomponent_add_component(component, alarm);
}

AppointmentItem::AppointmentItem(Folder folder)
    : IcalItem(ItemType::Appointment, std::move(folder), ICAL_VEVENT_COMPONENT)
{
}

void AppointmentItem::setStart(const QDateTime &start)
{
    if (!start.isValid())
        return;
    const qint64 length = m_start.isValid() && m_end.isValid() ? m_start.secsTo(m_end) : 0;
    assign(m_start, start);
    assign(m_end, start.addSecs(length));
}

void AppointmentItem::setEnd(const QDateTime &end)
{
    if (!end.isValid() || (m_start.isValid() && end < m_start))
        return;
    assign(m_end, end);
}

int AppointmentItem::Duration() const
{
    return m_start.isValid() && m_end.isValid() ? static_cast<int>(m_start.secsTo(m_end) / 60) : 0;
}

void AppointmentItem::setDuration(int minutes)
{
    if (m_start.isValid())
        assign(m_end, m_start.addSecs(qint64(qMax(0, minutes)) * 60));
}

void AppointmentItem::setAllDayEvent(bool allDay)
{
    if (allDay == m_allDay)
        return;
    assign(m_allDay, allDay);
    if (allDay && m_start.isValid()) {
        const QDate first = m_start.date();
        const QDate last = m_end.isValid() && m_end > m_start ? m_end.addSecs(-1).date() : first;
        m_start = QDateTime(first, QTime(0, 0));
        m_end = QDateTime(last.addDays(1), QTime(0, 0));
    }
}

void AppointmentItem::setLocation(const QString &location)
{
    assign(m_location, location);
}

void AppointmentItem::setBusyStatus(int status)
{
    if (status >= 0 && status <= 3)
        assign(m_busyStatus, status);
}

void AppointmentItem::setMeetingStatus(int status)
{
    assign(m_meetingStatus, status);
}

void AppointmentItem::setReminderSet(bool set)
{
    assign(m_reminderSet, set);
}

void AppointmentItem::setReminderMinutesBeforeStart(int minutes)
{
    assign(m_reminderMinutes, qMax(0, minutes));
}

QVariant AppointmentItem::property(const QString &name) const
{
    if (isPropertyName(name, "Start"))
        return m_start;
    if (isPropertyName(name, "End"))
        return m_end;
    if (isPropertyName(name, "Duration"))
        return Duration();
    if (isPropertyName(name, "AllDayEvent"))
        return m_allDay;
    if (isPropertyName(name, "Location"))
        return m_location;
    if (isPropertyName(name, "BusyStatus"))
        return m_busyStatus;
    if (isPropertyName(name, "MeetingStatus"))
        return m_meetingStatus;
    if (isPropertyName(name, "ReminderSet"))
        return m_reminderSet;
    if (isPropertyName(name, "ReminderMinutesBeforeStart"))
        return m_reminderMinutes;
    return IcalItem::property(name);
}

bool AppointmentItem::setProperty(const QString &name, const QVariant &value)
{
    if (isPropertyName(name, "Start")) {
        setStart(value.toDateTime());
        return true;
    }
    if (isPropertyName(name, "End")) {
        setEnd(value.toDateTime());
        return true;
    }
    if (isPropertyName(name, "Duration")) {
        setDuration(value.toInt());
        return true;
    }
    if (isPropertyName(name, "AllDayEvent")) {
        setAllDayEvent(value.toBool());
        return true;
    }
    if (isPropertyName(name, "Location")) {
        setLocation(value.toString());
        return true;
    }
    if (isPropertyName(name, "BusyStatus")) {
        setBusyStatus(value.toInt());
        return true;
    }
    if (isPropertyName(name, "MeetingStatus")) {
        setMeetingStatus(value.toInt());
        return true;
    }
    if (isPropertyName(name, "ReminderSet")) {
        setReminderSet(value.toBool());
        return true;
    }
    if (isPropertyName(name, "ReminderMinutesBeforeStart")) {
        setReminderMinutesBeforeStart(value.toInt());
        return true;
    }
    return IcalItem::setProperty(name, value);
}

void AppointmentItem::prepareNew()
{
    IcalItem::prepareNew();
    if (m_start.isValid())
        return;
    const QDateTime now = QDateTime::currentDateTime();
    const int minute = now.time().minute() < 30 ? 30 : 60;
    m_start = QDateTime(now.date(), QTime(now.time().hour(), 0)).addSecs(minute * 60);
    m_end = m_start.addSecs(30 * 60);
}

void AppointmentItem::readKind(const IcalDocument &d)
{
    bool date = false;
    m_start = d.dateTime(ICAL_DTSTART_PROPERTY, &date);
    m_allDay = date;
    m_end = d.dateTime(ICAL_DTEND_PROPERTY);
    if (!m_end.isValid() && m_start.isValid()) {
        // No DTEND: a DURATION, else a day for a date, else an instant.
        if (icalproperty *p = firstProperty(d.component(), ICAL_DURATION_PROPERTY))
            m_end = m_start.addSecs(icaldurationtype_as_int(icalproperty_get_duration(p)));
        else
            m_end = date ? m_start.addDays(1) : m_start;
    }
    m_location = d.text(ICAL_LOCATION_PROPERTY);
    m_busyStatus = busyFromFile(d);
    m_meetingStatus = meetingFromFile(d);
    const std::optional<int> reminder = reminderFromFile(d);
    m_reminderSet = firstAlarm(d.component()) != nullptr;
    m_reminderMinutes = reminder.value_or(15);
}

void AppointmentItem::writeKind(IcalDocument &d)
{
    icalcomponent *c = d.component();
    d.setDateTime(ICAL_DTSTART_PROPERTY, m_start, m_allDay);
    if (firstProperty(c, ICAL_DURATION_PROPERTY) &&
        (d.dateTime(ICAL_DTSTART_PROPERTY).secsTo(m_end) !=
         icaldurationtype_as_int(
             icalproperty_get_duration(firstProperty(c, ICAL_DURATION_PROPERTY)))))
        removeProperties(c, ICAL_DURATION_PROPERTY);
    // A file without an end implies one (a day, or none); keep it so.
    const QDateTime implied = m_allDay ? m_start.addDays(1) : m_start;
    const bool endImplied = !firstProperty(c, ICAL_DTEND_PROPERTY) &&
                            !firstProperty(c, ICAL_DURATION_PROPERTY) && m_end == implied;
    if (!firstProperty(c, ICAL_DURATION_PROPERTY) && !endImplied)
        d.setDateTime(ICAL_DTEND_PROPERTY, m_end, m_allDay);
    d.setText(ICAL_LOCATION_PROPERTY, m_location);

    if (busyFromFile(d) != m_busyStatus) {
        removeProperties(c, ICAL_TRANSP_PROPERTY);
        icalcomponent_add_property(c, icalproperty_new_transp(m_busyStatus == 0
                                                                  ? ICAL_TRANSP_TRANSPARENT
                                                                  : ICAL_TRANSP_OPAQUE));
        d.setField(BusyField, QLatin1String(BusyNames[m_busyStatus]));
    }
    if (meetingFromFile(d) != m_meetingStatus) {
        icalproperty *status = firstProperty(c, ICAL_STATUS_PROPERTY);
        if (m_meetingStatus == 5) {
            removeProperties(c, ICAL_STATUS_PROPERTY);
            icalcomponent_add_property(c, icalproperty_new_status(ICAL_STATUS_CANCELLED));
        } else if (status && icalproperty_get_status(status) == ICAL_STATUS_CANCELLED) {
            removeProperties(c, ICAL_STATUS_PROPERTY);
        }
        d.setIntField(MeetingField, m_meetingStatus);
    }

    const bool hadAlarm = firstAlarm(c) != nullptr;
    const std::optional<int> minutes = reminderFromFile(d);
    if (!m_reminderSet) {
        removeAlarms(c);
    } else if (!hadAlarm || minutes != m_reminderMinutes) {
        icaltriggertype trigger{};
        trigger.time = icaltime_null_time();
        trigger.duration = icaldurationtype_from_int(-m_reminderMinutes * 60);
        if (icalproperty *p = firstProperty(firstAlarm(c), ICAL_TRIGGER_PROPERTY))
            icalproperty_set_trigger(p, trigger);
        else
            addDisplayAlarm(c, trigger);
    }
}

std::unique_ptr<Item> makeAppointmentItem(const Folder &folder)
{
    return std::make_unique<AppointmentItem>(folder);
}

} // namespace quorvale::pim
