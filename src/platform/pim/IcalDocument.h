#pragma once

#include "platform/pim/ContactLink.h"
#include "platform/pim/ItemType.h"
#include "platform/pim/UserProperties.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <libical/ical.h>
#include <memory>
#include <optional>

namespace quorvale::pim {

struct IcalComponentFree {
    void operator()(icalcomponent *component) const { icalcomponent_free(component); }
};
using IcalComponentPtr = std::unique_ptr<icalcomponent, IcalComponentFree>;

// An ATTENDEE or ORGANIZER: the display name (CN), the address without
// "mailto:" and the participation status ("NEEDS-ACTION", "ACCEPTED", ...).
struct CalendarAddress {
    QString name;
    QString address;
    QString partStat;
    bool operator==(const CalendarAddress &) const = default;
};

// One iCalendar file: a VCALENDAR holding the item's component (VEVENT,
// VTODO, VJOURNAL) beside whatever else the file had (VTIMEZONE, other
// clients' properties), all of which is written back.
//
// Setters leave a property untouched when it already holds the value, so a
// rewrite keeps the form a client chose (TZID, UTC, floating time, DATE).
// Properties are read and written on the item's component unless another
// component (a VALARM) is passed.
class IcalDocument {
public:
    // nullopt for content that is not one VCALENDAR with a component of that
    // kind, or that libical reports errors in; when read to be edited, also
    // for content whose rewrite would not read again.
    static std::optional<IcalDocument> parse(const QByteArray &content, icalcomponent_kind kind,
                                             ReadPurpose purpose = ReadPurpose::Edit);
    static IcalDocument create(icalcomponent_kind kind);

    QByteArray serialize() const;

    icalcomponent *calendar() const { return m_calendar.get(); }
    icalcomponent *component() const { return m_component; }

    QString text(icalproperty_kind kind, icalcomponent *in = nullptr) const;
    // An empty text removes the property.
    void setText(icalproperty_kind kind, const QString &value, icalcomponent *in = nullptr);
    std::optional<int> integer(icalproperty_kind kind) const;
    void setInteger(icalproperty_kind kind, std::optional<int> value);

    // Local time; invalid when the property is missing. A DATE value reads as
    // local midnight with dateOnly set.
    QDateTime dateTime(icalproperty_kind kind, bool *dateOnly = nullptr) const;
    // An invalid time removes the property. A new property gets the local
    // zone's TZID (with its VTIMEZONE), or UTC where there is no such zone.
    void setDateTime(icalproperty_kind kind, const QDateTime &value, bool dateOnly = false);
    // Always UTC, as iCalendar requires for DTSTAMP, CREATED, LAST-MODIFIED,
    // COMPLETED.
    void setUtcDateTime(icalproperty_kind kind, const QDateTime &value);

    QStringList categories() const;
    void setCategories(const QStringList &categories);

    // The program's own X- fields (not user properties). Empty removes.
    QString field(const char *name) const;
    void setField(const char *name, const QString &value);
    std::optional<int> intField(const char *name) const;
    void setIntField(const char *name, std::optional<int> value);

    UserProperties userProperties() const;
    void setUserProperties(const UserProperties &properties);

    QList<ContactLink> contactLinks() const;
    void setContactLinks(const QList<ContactLink> &links);

    QList<CalendarAddress> attendees() const;
    void setAttendees(const QList<CalendarAddress> &attendees);
    std::optional<CalendarAddress> organizer() const;
    void setOrganizer(const std::optional<CalendarAddress> &organizer);

    // Time conversions against this calendar's zones.
    QDateTime toLocal(icaltimetype time, const char *tzid) const;
    icaltimezone *zone(const char *tzid) const;

private:
    static std::optional<IcalDocument> parseOnce(const QByteArray &content,
                                                 icalcomponent_kind kind);
    IcalDocument(IcalComponentPtr calendar, icalcomponent *component);
    icalproperty *findField(const char *name) const;
    QString ensureLocalZone();

    IcalComponentPtr m_calendar;
    icalcomponent *m_component = nullptr;
};

// The first property of a kind, or nullptr.
icalproperty *firstProperty(icalcomponent *component, icalproperty_kind kind);
void removeProperties(icalcomponent *component, icalproperty_kind kind);
QString parameterText(icalproperty *property, const char *xName);

} // namespace quorvale::pim
