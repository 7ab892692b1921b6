#include "platform/pim/TaskItem.h"

#include "platform/pim/AppointmentItem.h"
#include "platform/pim/ItemKinds.h"

namespace quorvale::pim {

namespace {

constexpr const char *StatusField = "X-QUORVALE-TASKSTATUS";
constexpr const char *DelegationField = "X-QUORVALE-DELEGATIONSTATE";
constexpr const char *ActualWorkField = "X-QUORVALE-ACTUALWORK";
constexpr const char *TotalWorkField = "X-QUORVALE-TOTALWORK";
constexpr const char *ContactsField = "X-QUORVALE-CONTACTS";

icalproperty_status statusFor(int outlook)
{
    switch (outlook) {
    case 1:
    case 3:
        return ICAL_STATUS_INPROCESS;
    case 2:
        return ICAL_STATUS_COMPLETED;
    default:
        return ICAL_STATUS_NEEDSACTION;
    }
}

int statusFromFile(const IcalDocument &d)
{
    const icalproperty *p = firstProperty(d.component(), ICAL_STATUS_PROPERTY);
    const icalproperty_status status = p ? icalproperty_get_status(p) : ICAL_STATUS_NONE;
    int fromStatus = 0;
    switch (status) {
    case ICAL_STATUS_COMPLETED:
        fromStatus = 2;
        break;
    case ICAL_STATUS_INPROCESS:
        fromStatus = 1;
        break;
    case ICAL_STATUS_CANCELLED:
        return 4;
    case ICAL_STATUS_NONE:
        if (firstProperty(d.component(), ICAL_COMPLETED_PROPERTY))
            return 2;
        break;
    default:
        break;
    }
    const std::optional<int> own = d.intField(StatusField);
    if (own && *own >= 0 && *own <= 4 && statusFor(*own) == statusFor(fromStatus))
        return *own;
    return fromStatus;
}

int importanceFromPriority(int priority)
{
    if (priority >= 1 && priority <= 4)
        return 2;
    if (priority >= 6)
        return 0;
    return 1;
}

const char *partStatFor(int delegation)
{
    switch (delegation) {
    case 2:
        return "ACCEPTED";
    case 3:
        return "DECLINED";
    default:
        return "NEEDS-ACTION";
    }
}

int delegationFromFile(const IcalDocument &d)
{
    const int own = qBound(0, d.intField(DelegationField).value_or(0), 3);
    const QList<CalendarAddress> attendees = d.attendees();
    if (attendees.isEmpty())
        return own;
    const QString partStat = attendees.front().partStat.toUpper();
    if (partStat == QLatin1String("ACCEPTED"))
        return 2;
    if (partStat == QLatin1String("DECLINED"))
        return 3;
    return 1;
}

std::optional<QDateTime> reminderFromFile(const IcalDocument &d)
{
    icalproperty *trigger = firstProperty(firstAlarm(d.component()), ICAL_TRIGGER_PROPERTY);
    if (!trigger)
        return std::nullopt;
    const icaltriggertype t = icalproperty_get_trigger(trigger);
    if (!icaltime_is_null_time(t.time))
        return d.toLocal(t.time, nullptr);
    const char *related = icalproperty_get_parameter_as_string(trigger, "RELATED");
    const bool toEnd = related && qstricmp(related, "END") == 0;
    const QDateTime base = d.dateTime(toEnd ? ICAL_DUE_PROPERTY : ICAL_DTSTART_PROPERTY);
    if (!base.isValid())
        return std::nullopt;
    return base.addSecs(icaldurationtype_as_int(t.duration));
}

} // namespace

TaskItem::TaskItem(Folder folder)
    : IcalItem(ItemType::Task, std::move(folder), ICAL_VTODO_COMPONENT)
{
}

void TaskItem::setDueDate(const QDateTime &due)
{
    assign(m_due, due);
}

void TaskItem::setStartDate(const QDateTime &start)
{
    assign(m_startDate, start);
}

void TaskItem::setStatus(int status)
{
    if (status < 0 || status > 4 || status == m_status)
        return;
    if (status == 2) {
        m_completed = QDateTime::currentDateTime();
        m_percent = 100;
    } else if (m_status == 2) {
        m_completed = QDateTime();
        m_percent = 0;
    }
    assign(m_status, status);
}

void TaskItem::setComplete(bool complete)
{
    if (complete != Complete())
        setStatus(complete ? 2 : 0);
}

void TaskItem::setImportance(int importance)
{
    if (importance >= 0 && importance <= 2)
        assign(m_importance, importance);
}

void TaskItem::setReminderSet(bool set)
{
    assign(m_reminderSet, set);
}

void TaskItem::setReminderTime(const QDateTime &time)
{
    assign(m_reminderTime, time);
}

void TaskItem::Assign()
{
    if (m_delegation == 0)
        assign(m_delegation, 1);
}

void TaskItem::setDelegationState(int state)
{
    if (state >= 0 && state <= 3)
        assign(m_delegation, state);
}

void TaskItem::addRecipient(const QString &name, const QString &address)
{
    m_recipients << CalendarAddress{name, address, QString()};
    markChanged();
}

void TaskItem::clearRecipients()
{
    assign(m_recipients, QList<CalendarAddress>());
}

QString TaskItem::Owner() const
{
    if (!m_owner)
        return QString();
    return m_owner->name.isEmpty() ? m_owner->address : m_owner->name;
}

void TaskItem::setOwner(const QString &name, const QString &address)
{
    assign(m_owner,
           name.isEmpty() && address.isEmpty()
               ? std::nullopt
               : std::optional<CalendarAddress>(CalendarAddress{name, address, QString()}));
}

void TaskItem::setActualWork(int minutes)
{
    assign(m_actualWork, qMax(0, minutes));
}

void TaskItem::setTotalWork(int minutes)
{
    assign(m_totalWork, qMax(0, minutes));
}

void TaskItem::setContacts(const QString &contacts)
{
    assign(m_contacts, contacts);
}

QVariant TaskItem::property(const QString &name) const
{
    const std::pair<const char *, QVariant> values[] = {
        {"DueDate", m_due},
        {"StartDate", m_startDate},
        {"Status", m_status},
        {"Complete", Complete()},
        {"DateCompleted", m_completed},
        {"PercentComplete", m_percent},
        {"Importance", m_importance},
        {"ReminderSet", m_reminderSet},
        {"ReminderTime", m_reminderTime},
        {"DelegationState", m_delegation},
        {"Owner", Owner()},
        {"ActualWork", m_actualWork},
        {"TotalWork", m_totalWork},
        {"Contacts", m_contacts},
    };
    for (const auto &[key, value] : values)
        if (isPropertyName(name, key))
            return value;
    return IcalItem::property(name);
}

bool TaskItem::setProperty(const QString &name, const QVariant &value)
{
    using Setter = void (*)(TaskItem &, const QVariant &);
    static const std::pair<const char *, Setter> setters[] = {
        {"DueDate", [](TaskItem &t, const QVariant &v) { t.setDueDate(v.toDateTime()); }},
        {"StartDate", [](TaskItem &t, const QVariant &v) { t.setStartDate(v.toDateTime()); }},
        {"Status", [](TaskItem &t, const QVariant &v) { t.setStatus(v.toInt()); }},
        {"Complete", [](TaskItem &t, const QVariant &v) { t.setComplete(v.toBool()); }},
        {"Importance", [](TaskItem &t, const QVariant &v) { t.setImportance(v.toInt()); }},
        {"ReminderSet", [](TaskItem &t, const QVariant &v) { t.setReminderSet(v.toBool()); }},
        {"ReminderTime", [](TaskItem &t, const QVariant &v) { t.setReminderTime(v.toDateTime()); }},
        {"DelegationState",
         [](TaskItem &t, const QVariant &v) { t.setDelegationState(v.toInt()); }},
        {"Owner", [](TaskItem &t, const QVariant &v) { t.setOwner(v.toString()); }},
        {"ActualWork", [](TaskItem &t, const QVariant &v) { t.setActualWork(v.toInt()); }},
        {"TotalWork", [](TaskItem &t, const QVariant &v) { t.setTotalWork(v.toInt()); }},
        {"Contacts", [](TaskItem &t, const QVariant &v) { t.setContacts(v.toString()); }},
    };
    for (const auto &[key, set] : setters) {
        if (isPropertyName(name, key)) {
            set(*this, value);
            return true;
        }
    }
    // Follow from Status.
    if (isPropertyName(name, "DateCompleted") || isPropertyName(name, "PercentComplete"))
        return false;
    return IcalItem::setProperty(name, value);
}

void TaskItem::readKind(const IcalDocument &d)
{
    m_due = d.dateTime(ICAL_DUE_PROPERTY, &m_dueIsDate);
    m_startDate = d.dateTime(ICAL_DTSTART_PROPERTY, &m_startIsDate);
    m_status = statusFromFile(d);
    m_completed = d.dateTime(ICAL_COMPLETED_PROPERTY);
    m_percent = d.integer(ICAL_PERCENTCOMPLETE_PROPERTY).value_or(m_status == 2 ? 100 : 0);
    m_importance = importanceFromPriority(d.integer(ICAL_PRIORITY_PROPERTY).value_or(0));
    const std::optional<QDateTime> reminder = reminderFromFile(d);
    m_reminderSet = reminder.has_value();
    m_reminderTime = reminder.value_or(QDateTime());
    m_delegation = delegationFromFile(d);
    m_recipients = d.attendees();
    for (CalendarAddress &r : m_recipients)
        r.partStat.clear();
    m_owner = d.organizer();
    if (m_owner)
        m_owner->partStat.clear();
    m_actualWork = d.intField(ActualWorkField).value_or(0);
    m_totalWork = d.intField(TotalWorkField).value_or(0);
    m_contacts = d.field(ContactsField);
}

void TaskItem::writeKind(IcalDocument &d)
{
    icalcomponent *c = d.component();
    d.setDateTime(ICAL_DUE_PROPERTY, m_due, m_dueIsDate);
    d.setDateTime(ICAL_DTSTART_PROPERTY, m_startDate, m_startIsDate);

    if (statusFromFile(d) != m_status) {
        removeProperties(c, ICAL_STATUS_PROPERTY);
        icalcomponent_add_property(c, icalproperty_new_status(statusFor(m_status)));
        d.setIntField(StatusField, m_status);
    }
    if (m_status == 2 && !d.dateTime(ICAL_COMPLETED_PROPERTY).isValid())
        d.setUtcDateTime(ICAL_COMPLETED_PROPERTY,
                         m_completed.isValid() ? m_completed : QDateTime::currentDateTime());
    else if (m_status != 2)
        removeProperties(c, ICAL_COMPLETED_PROPERTY);
    if (d.integer(ICAL_PERCENTCOMPLETE_PROPERTY).value_or(0) != m_percent)
        d.setInteger(ICAL_PERCENTCOMPLETE_PROPERTY, m_percent);

    if (importanceFromPriority(d.integer(ICAL_PRIORITY_PROPERTY).value_or(0)) != m_importance)
        d.setInteger(ICAL_PRIORITY_PROPERTY, m_importance == 2 ? 1 : m_importance == 1 ? 5 : 9);

    const std::optional<QDateTime> reminder = reminderFromFile(d);
    if (!m_reminderSet || !m_reminderTime.isValid()) {
        removeAlarms(c);
    } else if (!reminder || reminder->toSecsSinceEpoch() != m_reminderTime.toSecsSinceEpoch()) {
        icaltriggertype trigger{};
        trigger.duration = icaldurationtype_null_duration();
        trigger.time = icaltime_from_timet_with_zone(m_reminderTime.toSecsSinceEpoch(), 0,
                                                     icaltimezone_get_utc_timezone());
        if (icalproperty *p = firstProperty(firstAlarm(c), ICAL_TRIGGER_PROPERTY)) {
            icalproperty_remove_parameter_by_kind(p, ICAL_RELATED_PARAMETER);
            icalproperty_set_trigger(p, trigger);
        } else {
            addDisplayAlarm(c, trigger);
        }
    }

    QList<CalendarAddress> attendees = m_recipients;
    for (CalendarAddress &a : attendees)
        a.partStat = QLatin1String(partStatFor(m_delegation));
    d.setAttendees(attendees);
    d.setOrganizer(m_owner);
    if (delegationFromFile(d) != m_delegation)
        d.setIntField(DelegationField, m_delegation);

    d.setIntField(ActualWorkField, m_actualWork ? std::optional<int>(m_actualWork) : std::nullopt);
    d.setIntField(TotalWorkField, m_totalWork ? std::optional<int>(m_totalWork) : std::nullopt);
    d.setField(ContactsField, m_contacts);
}

std::unique_ptr<Item> makeTaskItem(const Folder &folder)
{
    return std::make_unique<TaskItem>(folder);
}

} // namespace quorvale::pim
