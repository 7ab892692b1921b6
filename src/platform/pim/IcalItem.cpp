#include "platform/pim/IcalItem.h"

#include "platform/pim/PrivateFiles.h"

#include <QLoggingCategory>

namespace quorvale::pim {

Q_LOGGING_CATEGORY(lcIcalItem, "quorvale.pim.ical")

namespace {

constexpr const char *CompaniesField = "X-QUORVALE-COMPANIES";
constexpr const char *BillingField = "X-QUORVALE-BILLINGINFORMATION";

} // namespace

bool isPropertyName(const QString &name, const char *expected)
{
    return name.compare(QLatin1String(expected), Qt::CaseInsensitive) == 0;
}

IcalItem::IcalItem(ItemType type, Folder folder, icalcomponent_kind kind)
    : Item(type, std::move(folder)), m_kind(kind), m_document(IcalDocument::create(kind))
{
}

QString IcalItem::uid() const
{
    return m_document.text(ICAL_UID_PROPERTY);
}

void IcalItem::setLinks(const QList<ContactLink> &links)
{
    assign(m_links, links);
}

QString IcalItem::ContactNames() const
{
    QStringList names;
    for (const ContactLink &link : m_links)
        names << link.name;
    return names.join(QStringLiteral("; "));
}

void IcalItem::setCompanies(const QString &companies)
{
    assign(m_companies, companies);
}

void IcalItem::setBillingInformation(const QString &text)
{
    assign(m_billingInformation, text);
}

QVariant IcalItem::property(const QString &name) const
{
    if (isPropertyName(name, "Companies"))
        return m_companies;
    if (isPropertyName(name, "BillingInformation"))
        return m_billingInformation;
    if (isPropertyName(name, "ContactNames"))
        return ContactNames();
    if (isPropertyName(name, "Saved"))
        return Saved();
    return Item::property(name);
}

bool IcalItem::setProperty(const QString &name, const QVariant &value)
{
    if (isPropertyName(name, "Companies")) {
        setCompanies(value.toString());
        return true;
    }
    if (isPropertyName(name, "BillingInformation")) {
        setBillingInformation(value.toString());
        return true;
    }
    if (isPropertyName(name, "ContactNames") || isPropertyName(name, "Saved"))
        return false;
    return Item::setProperty(name, value);
}

QString IcalItem::newFileName() const
{
    return uid() + QStringLiteral(".ics");
}

void IcalItem::prepareNew()
{
    m_document.setText(ICAL_UID_PROPERTY, newId());
}

bool IcalItem::parse(const QByteArray &content, ReadPurpose purpose)
{
    std::optional<IcalDocument> document = IcalDocument::parse(content, m_kind, purpose);
    if (!document) {
        qCDebug(lcIcalItem) << "not an iCalendar item of kind"
                            << icalcomponent_kind_to_string(m_kind) << ":" << fileName();
        return false;
    }
    m_document = std::move(*document);
    m_isNew = false;
    loadSubject(m_document.text(ICAL_SUMMARY_PROPERTY));
    loadBody(m_document.text(ICAL_DESCRIPTION_PROPERTY));
    loadCategories(m_document.categories());
    loadUserProperties() = m_document.userProperties();
    setCreationTime(m_document.dateTime(ICAL_CREATED_PROPERTY));
    setLastModificationTime(m_document.dateTime(ICAL_LASTMODIFIED_PROPERTY));
    m_links = m_document.contactLinks();
    m_companies = m_document.field(CompaniesField);
    m_billingInformation = m_document.field(BillingField);
    readKind(m_document);
    return true;
}

QByteArray IcalItem::serialize()
{
    IcalDocument &d = m_document;
    if (d.text(ICAL_UID_PROPERTY).isEmpty())
        d.setText(ICAL_UID_PROPERTY, newId());
    d.setText(ICAL_SUMMARY_PROPERTY, Subject());
    d.setText(ICAL_DESCRIPTION_PROPERTY, Body());
    d.setCategories(Categories());
    d.setContactLinks(m_links);
    d.setField(CompaniesField, m_companies);
    d.setField(BillingField, m_billingInformation);
    writeKind(d);
    d.setUserProperties(static_cast<const Item &>(*this).userProperties());

    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (!firstProperty(d.component(), ICAL_CREATED_PROPERTY))
        d.setUtcDateTime(ICAL_CREATED_PROPERTY, CreationTime());
    d.setUtcDateTime(ICAL_DTSTAMP_PROPERTY, now);
    d.setUtcDateTime(ICAL_LASTMODIFIED_PROPERTY, LastModificationTime());
    d.setInteger(ICAL_SEQUENCE_PROPERTY,
                 m_isNew ? 0 : d.integer(ICAL_SEQUENCE_PROPERTY).value_or(0) + 1);
    m_isNew = false;
    return d.serialize();
}

} // namespace quorvale::pim
