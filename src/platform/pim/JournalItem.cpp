#include "platform/pim/JournalItem.h"

#include "platform/pim/ItemKinds.h"

namespace quorvale::pim {

namespace {

constexpr const char *DurationField = "X-QUORVALE-DURATION";
constexpr const char *TypeField = "X-QUORVALE-ENTRYTYPE";

} // namespace

std::optional<int> durationMinutes(const QString &text)
{
    if (text.trimmed().isEmpty())
        return std::nullopt;
    const icaldurationtype d = icaldurationtype_from_string(text.trimmed().toLatin1().constData());
    if (icaldurationtype_is_bad_duration(d))
        return std::nullopt;
    return icaldurationtype_as_int(d) / 60;
}

QString durationText(int minutes)
{
    struct Free {
        void operator()(char *b) const { icalmemory_free_buffer(b); }
    };
    const std::unique_ptr<char, Free> text(
        icaldurationtype_as_ical_string_r(icaldurationtype_from_int(minutes * 60)));
    return QString::fromLatin1(text.get());
}

JournalItem::JournalItem(Folder folder)
    : IcalItem(ItemType::Journal, std::move(folder), ICAL_VJOURNAL_COMPONENT)
{
}

void JournalItem::setStart(const QDateTime &start)
{
    assign(m_start, start);
}

QDateTime JournalItem::End() const
{
    return m_start.isValid() ? m_start.addSecs(qint64(m_duration) * 60) : QDateTime();
}

bool JournalItem::setEnd(const QDateTime &end)
{
    if (!m_start.isValid() || !end.isValid() || end < m_start)
        return false;
    setDuration(static_cast<int>(m_start.secsTo(end) / 60));
    return true;
}

void JournalItem::setDuration(int minutes)
{
    assign(m_duration, qMax(0, minutes));
}

void JournalItem::setType(const QString &type)
{
    assign(m_type, type);
}

QVariant JournalItem::property(const QString &name) const
{
    if (isPropertyName(name, "Start"))
        return m_start;
    if (isPropertyName(name, "End"))
        return End();
    if (isPropertyName(name, "Duration"))
        return m_duration;
    if (isPropertyName(name, "Type"))
        return m_type;
    return IcalItem::property(name);
}

bool JournalItem::setProperty(const QString &name, const QVariant &value)
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
    if (isPropertyName(name, "Type")) {
        setType(value.toString());
        return true;
    }
    return IcalItem::setProperty(name, value);
}

void JournalItem::readKind(const IcalDocument &document)
{
    m_start = document.dateTime(ICAL_DTSTART_PROPERTY);
    // DURATION first: another program that changes the time changes that one
    // and keeps our own property as it found it.
    m_duration = durationMinutes(document.text(ICAL_DURATION_PROPERTY))
                     .value_or(durationMinutes(document.field(DurationField)).value_or(0));
    m_type = document.field(TypeField);
}

void JournalItem::writeKind(IcalDocument &document)
{
    document.setDateTime(ICAL_DTSTART_PROPERTY, m_start);
    if (durationMinutes(document.field(DurationField)).value_or(0) != m_duration)
        document.setField(DurationField, m_duration ? durationText(m_duration) : QString());
    if (durationMinutes(document.text(ICAL_DURATION_PROPERTY)).value_or(0) != m_duration) {
        removeProperties(document.component(), ICAL_DURATION_PROPERTY);
        if (m_duration > 0)
            icalcomponent_add_property(
                document.component(),
                icalproperty_new_duration(icaldurationtype_from_int(m_duration * 60)));
    }
    document.setField(TypeField, m_type);
}

std::unique_ptr<Item> makeJournalItem(const Folder &folder)
{
    return std::make_unique<JournalItem>(folder);
}

} // namespace quorvale::pim
