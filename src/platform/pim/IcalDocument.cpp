#include "platform/pim/IcalDocument.h"

#include "platform/core/OutgoingText.h"
#include "platform/pim/IcalContentLines.h"

#include <QTimeZone>
#include <QUrl>
#include <cstdlib>
#include <vector>

namespace quorvale::pim {

namespace {

constexpr const char *UserNameParameter = "X-QUORVALE-NAME";
constexpr const char *UserTypeParameter = "X-QUORVALE-TYPE";
constexpr const char *EntryIdParameter = "X-QUORVALE-ENTRYID";
constexpr const char *ProductId = "-//Kestrune Software//Quorvale for Office//EN";

struct BufferFree {
    void operator()(char *buffer) const { icalmemory_free_buffer(buffer); }
};
using IcalBuffer = std::unique_ptr<char, BufferFree>;

QString fromUtf8(const char *text)
{
    return text ? QString::fromUtf8(text) : QString();
}

std::vector<icalproperty *> properties(icalcomponent *component, icalproperty_kind kind)
{
    std::vector<icalproperty *> out;
    for (icalproperty *p = icalcomponent_get_first_property(component, kind); p;
         p = icalcomponent_get_next_property(component, kind))
        out.push_back(p);
    return out;
}

void removeProperty(icalcomponent *component, icalproperty *property)
{
    icalcomponent_remove_property(component, property);
    icalproperty_free(property);
}

// A TEXT value may span lines (libical writes the breaks as \n); no value
// may carry another control character.
QString textValue(const QString &value)
{
    return outgoingText(value, ControlCharacters::DropKeepLines);
}

QString oneLineValue(const QString &value)
{
    return outgoingText(value, ControlCharacters::DropOneLine);
}

// Parameter values cannot hold a double quote or a line break.
QByteArray parameterValue(const QString &value)
{
    QString clean = oneLineValue(value);
    clean.replace(QLatin1Char('"'), QLatin1Char('\''));
    return clean.toUtf8();
}

void addXParameter(icalproperty *property, const char *name, const QString &value)
{
    icalparameter *parameter = icalparameter_new_x(parameterValue(value).constData());
    icalparameter_set_xname(parameter, name);
    icalproperty_add_parameter(property, parameter);
}

bool sameName(const char *a, const char *b)
{
    return a && b && qstricmp(a, b) == 0;
}

// Compared as they are written, so a value that reads back the same is equal.
bool sameUserProperties(const UserProperties &a, const UserProperties &b)
{
    if (a.Count() != b.Count())
        return false;
    for (std::size_t i = 0; i < a.all().size(); ++i) {
        const UserProperty &x = a.all()[i];
        const UserProperty &y = b.all()[i];
        if (oneLineValue(x.name) != oneLineValue(y.name) || x.type != y.type ||
            textValue(UserPropertyNames::valueToText(x)) !=
                textValue(UserPropertyNames::valueToText(y)))
            return false;
    }
    return true;
}

bool isUserProperty(icalproperty *property)
{
    return !parameterText(property, UserNameParameter).isNull();
}

std::optional<icaltimetype> timeValue(icalproperty *property)
{
    icalvalue *value = property ? icalproperty_get_value(property) : nullptr;
    if (!value)
        return std::nullopt;
    switch (icalvalue_isa(value)) {
    case ICAL_DATE_VALUE:
        return icalvalue_get_date(value);
    case ICAL_DATETIME_VALUE:
        return icalvalue_get_datetime(value);
    default:
        return std::nullopt;
    }
}

QString tzidOf(icalproperty *property)
{
    icalparameter *p = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    return p ? fromUtf8(icalparameter_get_tzid(p)) : QString();
}

bool isUtcZoneId(const QByteArray &id)
{
    static const char *const names[] = {"UTC",     "Etc/UTC",       "Etc/GMT", "GMT",
                                        "Etc/UCT", "Etc/Universal", "Zulu",    "Universal"};
    for (const char *name : names)
        if (id == name)
            return true;
    return false;
}

QString stripMailto(const char *value)
{
    QString text = fromUtf8(value);
    if (text.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        text = text.mid(7);
    return text;
}

CalendarAddress readAddress(icalproperty *p)
{
    CalendarAddress a;
    a.name = fromUtf8(icalproperty_get_parameter_as_string(p, "CN"));
    a.address = stripMailto(icalvalue_as_ical_string(icalproperty_get_value(p)));
    a.partStat = fromUtf8(icalproperty_get_parameter_as_string(p, "PARTSTAT"));
    return a;
}

QByteArray addressValue(const CalendarAddress &a)
{
    const QByteArray address = oneLineValue(a.address).toUtf8();
    if (address.contains(':'))
        return address;
    if (!address.isEmpty())
        return "mailto:" + address;
    // iCalendar wants a URI even for someone known only by name.
    return "urn:x-quorvale:name:" + QUrl::toPercentEncoding(a.name);
}

void writeAddress(icalproperty *p, const CalendarAddress &a)
{
    if (!a.name.isEmpty())
        icalproperty_add_parameter(p, icalparameter_new_cn(parameterValue(a.name).constData()));
    if (!a.partStat.isEmpty())
        icalproperty_set_parameter_from_string(p, "PARTSTAT", a.partStat.toUtf8().constData());
}

} // namespace

icalproperty *firstProperty(icalcomponent *component, icalproperty_kind kind)
{
    return component ? icalcomponent_get_first_property(component, kind) : nullptr;
}

void removeProperties(icalcomponent *component, icalproperty_kind kind)
{
    for (icalproperty *p : properties(component, kind))
        removeProperty(component, p);
}

QString parameterText(icalproperty *property, const char *xName)
{
    for (icalparameter *p = icalproperty_get_first_parameter(property, ICAL_X_PARAMETER); p;
         p = icalproperty_get_next_parameter(property, ICAL_X_PARAMETER))
        if (sameName(icalparameter_get_xname(p), xName))
            return QString::fromUtf8(icalparameter_get_xvalue(p) ? icalparameter_get_xvalue(p)
                                                                 : "");
    return QString();
}

IcalDocument::IcalDocument(IcalComponentPtr calendar, icalcomponent *component)
    : m_calendar(std::move(calendar)), m_component(component)
{
}

std::optional<IcalDocument> IcalDocument::parse(const QByteArray &content, icalcomponent_kind kind,
                                                ReadPurpose purpose)
{
    std::optional<IcalDocument> document = parseOnce(content, kind);
    // A file is taken only when what we would write back reads again: libical
    // lets some broken structure pass (an END without its BEGIN) that it then
    // refuses once written, and an item we cannot read back would be lost.
    if (purpose == ReadPurpose::Edit && document && !parseOnce(document->serialize(), kind))
        return std::nullopt;
    return document;
}

std::optional<IcalDocument> IcalDocument::parseOnce(const QByteArray &content,
                                                    icalcomponent_kind kind)
{
    const std::optional<QByteArray> shielded = icallines::shield(content);
    if (!shielded || shielded->trimmed().isEmpty())
        return std::nullopt;
    IcalComponentPtr root(icalparser_parse_string(shielded->constData()));
    if (!root || icalcomponent_isa(root.get()) != ICAL_VCALENDAR_COMPONENT ||
        icalcomponent_count_errors(root.get()) > 0)
        return std::nullopt;
    // A recurring event's overrides share its UID; the item is the master.
    icalcomponent *found = nullptr;
    for (icalcomponent *c = icalcomponent_get_first_component(root.get(), kind); c;
         c = icalcomponent_get_next_component(root.get(), kind)) {
        if (!firstProperty(c, ICAL_RECURRENCEID_PROPERTY)) {
            found = c;
            break;
        }
        if (!found)
            found = c;
    }
    if (!found)
        return std::nullopt;
    return IcalDocument(std::move(root), found);
}

IcalDocument IcalDocument::create(icalcomponent_kind kind)
{
    IcalComponentPtr calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid(ProductId));
    icalcomponent *component = icalcomponent_new(kind);
    icalcomponent_add_component(calendar.get(), component);
    return IcalDocument(std::move(calendar), component);
}

QByteArray IcalDocument::serialize() const
{
    const IcalBuffer text(icalcomponent_as_ical_string_r(m_calendar.get()));
    return icallines::unshield(QByteArray(text.get()));
}

QString IcalDocument::text(icalproperty_kind kind, icalcomponent *in) const
{
    icalproperty *p = firstProperty(in ? in : m_component, kind);
    icalvalue *v = p ? icalproperty_get_value(p) : nullptr;
    if (!v)
        return QString();
    if (icalvalue_isa(v) == ICAL_TEXT_VALUE)
        return fromUtf8(icalvalue_get_text(v));
    return fromUtf8(icalvalue_as_ical_string(v));
}

void IcalDocument::setText(icalproperty_kind kind, const QString &typed, icalcomponent *in)
{
    const QString value = textValue(typed);
    icalcomponent *c = in ? in : m_component;
    if (text(kind, c) == value && (firstProperty(c, kind) || value.isEmpty()))
        return;
    if (value.isEmpty()) {
        removeProperties(c, kind);
        return;
    }
    icalvalue *v = icalvalue_new_text(value.toUtf8().constData());
    if (icalproperty *p = firstProperty(c, kind)) {
        icalproperty_set_value(p, v);
    } else {
        icalproperty *created = icalproperty_new(kind);
        icalproperty_set_value(created, v);
        icalcomponent_add_property(c, created);
    }
}

std::optional<int> IcalDocument::integer(icalproperty_kind kind) const
{
    icalproperty *p = firstProperty(m_component, kind);
    icalvalue *v = p ? icalproperty_get_value(p) : nullptr;
    if (!v || icalvalue_isa(v) != ICAL_INTEGER_VALUE)
        return std::nullopt;
    return icalvalue_get_integer(v);
}

void IcalDocument::setInteger(icalproperty_kind kind, std::optional<int> value)
{
    if (integer(kind) == value)
        return;
    removeProperties(m_component, kind);
    if (!value)
        return;
    icalproperty *p = icalproperty_new(kind);
    icalproperty_set_value(p, icalvalue_new_integer(*value));
    icalcomponent_add_property(m_component, p);
}

icaltimezone *IcalDocument::zone(const char *tzid) const
{
    if (!tzid || !*tzid)
        return nullptr;
    if (icaltimezone *z = icalcomponent_get_timezone(m_calendar.get(), tzid))
        return z;
    if (icaltimezone *z = icaltimezone_get_builtin_timezone(tzid))
        return z;
    return icaltimezone_get_builtin_timezone_from_tzid(tzid);
}

QDateTime IcalDocument::toLocal(icaltimetype t, const char *tzid) const
{
    if (icaltime_is_null_time(t))
        return QDateTime();
    const QDate date(t.year, t.month, t.day);
    if (t.is_date)
        return QDateTime(date, QTime(0, 0));
    const QTime time(t.hour, t.minute, t.second);
    if (icaltime_is_utc(t))
        return QDateTime(date, time, QTimeZone::utc()).toLocalTime();
    if (tzid && *tzid) {
        if (icaltimezone *z = zone(tzid)) {
            t.zone = nullptr;
            return QDateTime::fromSecsSinceEpoch(icaltime_as_timet_with_zone(t, z));
        }
        const QTimeZone qtz{QByteArray(tzid)};
        if (qtz.isValid())
            return QDateTime(date, time, qtz).toLocalTime();
    }
    return QDateTime(date, time);
}

QDateTime IcalDocument::dateTime(icalproperty_kind kind, bool *dateOnly) const
{
    icalproperty *p = firstProperty(m_component, kind);
    const std::optional<icaltimetype> t = timeValue(p);
    if (dateOnly)
        *dateOnly = t && t->is_date;
    if (!t)
        return QDateTime();
    return toLocal(*t, tzidOf(p).toUtf8().constData());
}

QString IcalDocument::ensureLocalZone()
{
    const QByteArray id = QTimeZone::systemTimeZoneId();
    if (id.isEmpty() || isUtcZoneId(id))
        return QString();
    icaltimezone *builtin = icaltimezone_get_builtin_timezone(id.constData());
    if (!builtin)
        return QString();
    if (!icalcomponent_get_timezone(m_calendar.get(), id.constData())) {
        icalcomponent *vtimezone = icalcomponent_new_clone(icaltimezone_get_component(builtin));
        // libical names its built-in zones with a prefix; clients expect the
        // plain IANA name.
        if (icalproperty *tzid = firstProperty(vtimezone, ICAL_TZID_PROPERTY))
            icalproperty_set_tzid(tzid, id.constData());
        icalcomponent_add_component(m_calendar.get(), vtimezone);
    }
    return QString::fromUtf8(id);
}

void IcalDocument::setDateTime(icalproperty_kind kind, const QDateTime &value, bool dateOnly)
{
    icalproperty *existing = firstProperty(m_component, kind);
    if (!value.isValid()) {
        removeProperties(m_component, kind);
        return;
    }
    const QDateTime local = value.toLocalTime();
    bool wasDate = false;
    const QDateTime current = dateTime(kind, &wasDate);
    if (existing && wasDate == dateOnly &&
        (dateOnly ? current.date() == local.date()
                  : current.toSecsSinceEpoch() == local.toSecsSinceEpoch()))
        return;

    // Keep the form the property had; a new one takes the local zone.
    enum class Form { Zone, Utc, Floating } form = Form::Utc;
    QString tzid;
    if (existing) {
        const std::optional<icaltimetype> old = timeValue(existing);
        tzid = tzidOf(existing);
        if (!tzid.isEmpty() && zone(tzid.toUtf8().constData()))
            form = Form::Zone;
        else if (old && !old->is_date && icaltime_is_utc(*old))
            form = Form::Utc;
        else if (tzid.isEmpty() && old && !old->is_date)
            form = Form::Floating;
        else
            tzid.clear();
    }
    if (!existing || (form == Form::Utc && tzid.isEmpty() && wasDate)) {
        tzid = ensureLocalZone();
        form = tzid.isEmpty() ? Form::Utc : Form::Zone;
    }

    icalvalue *v = nullptr;
    if (dateOnly) {
        icaltimetype t = icaltime_null_date();
        t.year = local.date().year();
        t.month = local.date().month();
        t.day = local.date().day();
        v = icalvalue_new_date(t);
        tzid.clear();
    } else if (form == Form::Utc) {
        v = icalvalue_new_datetime(icaltime_from_timet_with_zone(local.toSecsSinceEpoch(), 0,
                                                                 icaltimezone_get_utc_timezone()));
    } else if (form == Form::Zone) {
        icaltimetype t = icaltime_from_timet_with_zone(local.toSecsSinceEpoch(), 0,
                                                       zone(tzid.toUtf8().constData()));
        t.zone = nullptr;
        v = icalvalue_new_datetime(t);
    } else {
        icaltimetype t = icaltime_null_time();
        t.year = local.date().year();
        t.month = local.date().month();
        t.day = local.date().day();
        t.hour = local.time().hour();
        t.minute = local.time().minute();
        t.second = local.time().second();
        v = icalvalue_new_datetime(t);
    }
    icalproperty *p = existing ? existing : icalproperty_new(kind);
    icalproperty_remove_parameter_by_kind(p, ICAL_TZID_PARAMETER);
    icalproperty_remove_parameter_by_kind(p, ICAL_VALUE_PARAMETER);
    icalproperty_set_value(p, v);
    if (dateOnly)
        icalproperty_add_parameter(p, icalparameter_new_value(ICAL_VALUE_DATE));
    if (form == Form::Zone && !tzid.isEmpty())
        icalproperty_add_parameter(p, icalparameter_new_tzid(tzid.toUtf8().constData()));
    if (!existing)
        icalcomponent_add_property(m_component, p);
}

void IcalDocument::setUtcDateTime(icalproperty_kind kind, const QDateTime &value)
{
    removeProperties(m_component, kind);
    if (!value.isValid())
        return;
    icalproperty *p = icalproperty_new(kind);
    icalproperty_set_value(p, icalvalue_new_datetime(icaltime_from_timet_with_zone(
                                  value.toSecsSinceEpoch(), 0, icaltimezone_get_utc_timezone())));
    icalcomponent_add_property(m_component, p);
}

QStringList IcalDocument::categories() const
{
    QStringList out;
    for (icalproperty *p : properties(m_component, ICAL_CATEGORIES_PROPERTY))
        for (const QString &part :
             fromUtf8(icalproperty_get_categories(p)).split(QLatin1Char(','), Qt::SkipEmptyParts))
            if (!part.trimmed().isEmpty())
                out << part.trimmed();
    return out;
}

void IcalDocument::setCategories(const QStringList &typed)
{
    QStringList categories;
    for (const QString &category : typed)
        categories << oneLineValue(category);
    if (this->categories() == categories)
        return;
    removeProperties(m_component, ICAL_CATEGORIES_PROPERTY);
    if (!categories.isEmpty())
        icalcomponent_add_property(
            m_component,
            icalproperty_new_categories(categories.join(QLatin1Char(',')).toUtf8().constData()));
}

icalproperty *IcalDocument::findField(const char *name) const
{
    for (icalproperty *p : properties(m_component, ICAL_X_PROPERTY))
        if (sameName(icalproperty_get_x_name(p), name) && !isUserProperty(p))
            return p;
    return nullptr;
}

QString IcalDocument::field(const char *name) const
{
    icalproperty *p = findField(name);
    return p ? fromUtf8(icalproperty_get_x(p)) : QString();
}

void IcalDocument::setField(const char *name, const QString &typed)
{
    const QString value = textValue(typed);
    icalproperty *p = findField(name);
    if (value.isEmpty()) {
        if (p)
            removeProperty(m_component, p);
        return;
    }
    if (p && fromUtf8(icalproperty_get_x(p)) == value)
        return;
    if (!p) {
        p = icalproperty_new_x(value.toUtf8().constData());
        icalproperty_set_x_name(p, name);
        icalcomponent_add_property(m_component, p);
    } else {
        icalproperty_set_x(p, value.toUtf8().constData());
    }
}

std::optional<int> IcalDocument::intField(const char *name) const
{
    bool ok = false;
    const int value = field(name).trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

void IcalDocument::setIntField(const char *name, std::optional<int> value)
{
    if (intField(name) != value)
        setField(name, value ? QString::number(*value) : QString());
}

UserProperties IcalDocument::userProperties() const
{
    UserProperties out;
    for (icalproperty *p : properties(m_component, ICAL_X_PROPERTY)) {
        const QString name = parameterText(p, UserNameParameter);
        if (name.isNull())
            continue;
        const UserPropertyType type =
            UserPropertyNames::typeFromText(parameterText(p, UserTypeParameter));
        // The marker stands for a value libical could not hold: an empty one.
        const QString text = parameterText(p, "X-QUORVALE-EMPTY").isNull()
                                 ? fromUtf8(icalproperty_get_x(p))
                                 : QString();
        out.Add(name, type).value = UserPropertyNames::valueFromText(type, text);
    }
    return out;
}

void IcalDocument::setUserProperties(const UserProperties &wanted)
{
    if (sameUserProperties(userProperties(), wanted))
        return;
    for (icalproperty *p : properties(m_component, ICAL_X_PROPERTY))
        if (isUserProperty(p))
            removeProperty(m_component, p);
    for (const UserProperty &property : wanted.all()) {
        icalproperty *p = icalproperty_new_x(
            textValue(UserPropertyNames::valueToText(property)).toUtf8().constData());
        icalproperty_set_x_name(
            p, UserPropertyNames::toExtensionName(property.name).toUtf8().constData());
        addXParameter(p, UserNameParameter, property.name);
        addXParameter(p, UserTypeParameter, UserPropertyNames::typeToText(property.type));
        icalcomponent_add_property(m_component, p);
    }
}

QList<ContactLink> IcalDocument::contactLinks() const
{
    QList<ContactLink> out;
    for (icalproperty *p : properties(m_component, ICAL_CONTACT_PROPERTY)) {
        ContactLink link;
        link.name = fromUtf8(icalproperty_get_contact(p));
        link.entryId = parameterText(p, EntryIdParameter);
        const QString altrep = fromUtf8(icalproperty_get_parameter_as_string(p, "ALTREP"));
        if (altrep.startsWith(QLatin1String("urn:uuid:"), Qt::CaseInsensitive))
            link.uid = altrep.mid(9);
        out << link;
    }
    return out;
}

void IcalDocument::setContactLinks(const QList<ContactLink> &links)
{
    if (contactLinks() == links)
        return;
    removeProperties(m_component, ICAL_CONTACT_PROPERTY);
    for (const ContactLink &link : links) {
        icalproperty *p = icalproperty_new_contact(oneLineValue(link.name).toUtf8().constData());
        if (!link.uid.isEmpty())
            icalproperty_add_parameter(
                p, icalparameter_new_altrep(("urn:uuid:" + parameterValue(link.uid)).constData()));
        if (!link.entryId.isEmpty())
            addXParameter(p, EntryIdParameter, link.entryId);
        icalcomponent_add_property(m_component, p);
    }
}

QList<CalendarAddress> IcalDocument::attendees() const
{
    QList<CalendarAddress> out;
    for (icalproperty *p : properties(m_component, ICAL_ATTENDEE_PROPERTY))
        out << readAddress(p);
    return out;
}

void IcalDocument::setAttendees(const QList<CalendarAddress> &attendees)
{
    if (this->attendees() == attendees)
        return;
    removeProperties(m_component, ICAL_ATTENDEE_PROPERTY);
    for (const CalendarAddress &a : attendees) {
        icalproperty *p = icalproperty_new_attendee(addressValue(a).constData());
        writeAddress(p, a);
        icalcomponent_add_property(m_component, p);
    }
}

std::optional<CalendarAddress> IcalDocument::organizer() const
{
    icalproperty *p = firstProperty(m_component, ICAL_ORGANIZER_PROPERTY);
    return p ? std::optional<CalendarAddress>(readAddress(p)) : std::nullopt;
}

void IcalDocument::setOrganizer(const std::optional<CalendarAddress> &organizer)
{
    if (this->organizer() == organizer)
        return;
    removeProperties(m_component, ICAL_ORGANIZER_PROPERTY);
    if (organizer) {
        icalproperty *p = icalproperty_new_organizer(addressValue(*organizer).constData());
        writeAddress(p, *organizer);
        icalcomponent_add_property(m_component, p);
    }
}

} // namespace quorvale::pim
