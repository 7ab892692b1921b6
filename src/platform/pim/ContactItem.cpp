#include "ContactItem.h"

#include "platform/pim/ItemKinds.h"
#include "platform/pim/PrivateFiles.h"
#include "platform/pim/VCardReader.h"
#include "platform/pim/VCardWriter.h"

#include <QLoggingCategory>
#include <QTimeZone>
#include <algorithm>
#include <functional>

namespace quorvale::pim {

namespace {

Q_LOGGING_CATEGORY(lcContacts, "quorvale.pim.contacts")

const QString UserNameParameter = QStringLiteral("X-QUORVALE-NAME");
const QString UserTypeParameter = QStringLiteral("X-QUORVALE-TYPE");
const QString Prefix = QLatin1String(UserPropertyNames::Prefix);

// ADR components: post office box, extended address, street, locality,
// region, postal code, country.
constexpr int AdrComponent[] = {0, 2, 3, 4, 5, 6};
constexpr int AdrComponentCount = 7;

QString joinNonEmpty(const QStringList &parts, const QString &separator)
{
    QStringList kept;
    for (const QString &p : parts) {
        if (!p.isEmpty())
            kept << p;
    }
    return kept.join(separator);
}

// "A (B)", or whichever of the two is there.
QString withParenthesis(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return a.isEmpty() ? b : a;
    return a + QStringLiteral(" (") + b + u')';
}

QStringList phoneTypes(ContactItem::Phone phone, VCard::Version version)
{
    using P = ContactItem::Phone;
    switch (phone) {
    case P::Business:
    case P::Business2:
        return {QStringLiteral("work"), QStringLiteral("voice")};
    case P::Home:
    case P::Home2:
        return {QStringLiteral("home"), QStringLiteral("voice")};
    case P::Mobile:
        return {QStringLiteral("cell")};
    case P::BusinessFax:
        return {QStringLiteral("work"), QStringLiteral("fax")};
    case P::HomeFax:
        return {QStringLiteral("home"), QStringLiteral("fax")};
    case P::OtherFax:
        return {QStringLiteral("fax")};
    case P::Pager:
        return {QStringLiteral("pager")};
    case P::Car:
        return {QStringLiteral("car")};
    case P::Primary:
        // 4.0 marks preference with PREF=1 (added by the caller), not a type.
        return version == VCard::Version::V40
                   ? QStringList{QStringLiteral("voice")}
                   : QStringList{QStringLiteral("pref"), QStringLiteral("voice")};
    case P::Assistant:
        return {QStringLiteral("X-ASSISTANT")};
    case P::Callback:
        return {QStringLiteral("X-CALLBACK")};
    case P::CompanyMain:
        return {QStringLiteral("X-COMPANY")};
    case P::ISDN:
        return {QStringLiteral("isdn")};
    case P::Other:
        return {QStringLiteral("voice")};
    case P::Radio:
        return {QStringLiteral("X-RADIO")};
    case P::Telex:
        return {QStringLiteral("X-TELEX")};
    case P::TTYTDD:
        return {version == VCard::Version::V40 ? QStringLiteral("textphone")
                                               : QStringLiteral("X-TTYTDD")};
    }
    return {};
}

// Which Outlook number a TEL is, by its types; Business and Home are told from
// Business2 and Home2 by order.
ContactItem::Phone classifyPhone(const VCardProperty &tel)
{
    using P = ContactItem::Phone;
    QStringList types;
    for (const QString &t : tel.types())
        types << (t.startsWith(QLatin1String("x-")) ? t.mid(2) : t);
    const auto has = [&](const char *t) { return types.contains(QLatin1String(t)); };
    if (has("assistant"))
        return P::Assistant;
    if (has("callback"))
        return P::Callback;
    if (has("company") || has("companymain") || has("company-main"))
        return P::CompanyMain;
    if (has("isdn"))
        return P::ISDN;
    if (has("radio"))
        return P::Radio;
    if (has("telex"))
        return P::Telex;
    if (has("ttytdd") || has("textphone") || has("tty"))
        return P::TTYTDD;
    if (has("pager"))
        return P::Pager;
    if (has("car"))
        return P::Car;
    if (has("cell") || has("mobile"))
        return P::Mobile;
    if (has("fax"))
        return has("work") ? P::BusinessFax : has("home") ? P::HomeFax : P::OtherFax;
    if (has("work"))
        return P::Business;
    if (has("home"))
        return P::Home;
    if (has("pref") || has("primary") || tel.parameter(QStringLiteral("PREF")) == u'1')
        return P::Primary;
    return P::Other;
}

// Business, Home, Other: work and home by type, any other address is Other.
int classifyAddress(const VCardProperty &adr)
{
    if (adr.hasType(QStringLiteral("work")))
        return 0;
    if (adr.hasType(QStringLiteral("home")))
        return 1;
    return 2;
}

const char *addressType(ContactItem::AddressKind kind)
{
    switch (kind) {
    case ContactItem::AddressKind::Business:
        return "work";
    case ContactItem::AddressKind::Home:
        return "home";
    case ContactItem::AddressKind::Other:
        break;
    }
    return "other";
}

QString telNumber(const VCardProperty &tel)
{
    if (tel.rawValue.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
        return tel.rawValue.mid(4);
    return tel.text();
}

QDate parseDate(const QString &text)
{
    QString date = text.trimmed().section(u'T', 0, 0);
    date.remove(u'-');
    if (date.size() != 8)
        return QDate(); // no year (--0504) or not a date at all
    return QDate::fromString(date, QStringLiteral("yyyyMMdd"));
}

bool isUserProperty(const VCardProperty &p, const QHash<QString, bool> &builtins)
{
    if (!p.name.startsWith(Prefix))
        return false;
    return p.hasParameter(UserNameParameter) || !builtins.contains(p.name);
}

QString userPropertyName(const VCardProperty &p)
{
    const QString name = p.parameter(UserNameParameter);
    return name.isEmpty() ? p.name.mid(Prefix.size()) : name;
}

// X-QUORVALE-<NAME> properties that stand for Outlook contact properties, not
// for user properties.
const QHash<QString, bool> &builtinExtensions()
{
    static const QHash<QString, bool> names = [] {
        QHash<QString, bool> h;
        for (const char *n : {"ACCOUNT", "BILLINGINFORMATION", "COMPANIES", "CUSTOMERID", "FILEAS",
                              "GOVERNMENTIDNUMBER", "IMPORTANCE", "INITIALS", "OFFICELOCATION",
                              "ORGANIZATIONALIDNUMBER", "USER1", "USER2", "USER3", "USER4"})
            h.insert(Prefix + QLatin1String(n), true);
        return h;
    }();
    return names;
}

} // namespace

ContactItem::ContactItem(const Folder &folder) : Item(ItemType::Contact, folder)
{
    m_card.version = VCard::Version::V30;
}

void ContactItem::setCardVersion(VCard::Version version)
{
    m_card.version = version == VCard::Version::V40 ? version : VCard::Version::V30;
}

// ---- card access ----------------------------------------------------------

qsizetype ContactItem::builtinIndex(const QString &name) const
{
    for (qsizetype i = 0; i < m_card.properties.size(); ++i) {
        const VCardProperty &p = m_card.properties.at(i);
        if (p.name.compare(name, Qt::CaseInsensitive) == 0 && !p.hasParameter(UserNameParameter))
            return i;
    }
    return -1;
}

QString ContactItem::cardText(const char *name) const
{
    const qsizetype i = builtinIndex(QLatin1String(name));
    return i < 0 ? QString() : m_card.properties.at(i).text();
}

void ContactItem::setCardText(const char *name, const QString &value)
{
    if (value == cardText(name))
        return;
    const qsizetype i = builtinIndex(QLatin1String(name));
    if (value.isEmpty())
        m_card.properties.removeAt(i);
    else if (i >= 0)
        m_card.properties[i].setText(value);
    else
        m_card.properties.append(VCardProperty(QLatin1String(name), VCardText::escape(value)));
    markChanged();
}

QString ContactItem::nameComponent(int index) const
{
    const VCardProperty *n = m_card.find(QStringLiteral("N"));
    return n ? n->component(index) : QString();
}

void ContactItem::setNameComponent(int index, const QString &value)
{
    if (value == nameComponent(index))
        return;
    VCardProperty &n = m_card.findOrAdd(QStringLiteral("N"));
    // N always has its five components, however few another client wrote.
    const qsizetype present = VCardText::splitUnescaped(n.rawValue, u';').size();
    if (present < NameSuffix + 1)
        n.rawValue += QString(NameSuffix + 1 - present, u';');
    n.setComponent(index, value);
    markChanged();
}

QString ContactItem::FullName() const
{
    const QString fn = m_card.text(QStringLiteral("FN")).trimmed();
    if (!fn.isEmpty())
        return fn;
    return joinNonEmpty({Title(), FirstName(), MiddleName(), LastName(), Suffix()},
                        QStringLiteral(" "));
}

void ContactItem::setFullName(const QString &name)
{
    setCardText("FN", name);
}

QString ContactItem::CompanyName() const
{
    const VCardProperty *org = m_card.find(QStringLiteral("ORG"));
    return org ? org->component(0) : QString();
}

QString ContactItem::Department() const
{
    const VCardProperty *org = m_card.find(QStringLiteral("ORG"));
    return org ? org->component(1) : QString();
}

void ContactItem::setOrgComponent(int index, const QString &value)
{
    const VCardProperty *org = m_card.find(QStringLiteral("ORG"));
    if ((org ? org->component(index) : QString()) == value)
        return;
    VCardProperty &p = m_card.findOrAdd(QStringLiteral("ORG"));
    p.setComponent(index, value);
    // Trailing empty components say nothing: "Acme;" is "Acme".
    while (p.rawValue.endsWith(u';') && !p.rawValue.endsWith(QLatin1String("\\;")))
        p.rawValue.chop(1);
    if (p.rawValue.isEmpty())
        m_card.removeAll(QStringLiteral("ORG"));
    markChanged();
}

void ContactItem::setCompanyName(const QString &name)
{
    setOrgComponent(0, name);
}

void ContactItem::setDepartment(const QString &department)
{
    setOrgComponent(1, department);
}

QString ContactItem::NickName() const
{
    const VCardProperty *p = m_card.find(QStringLiteral("NICKNAME"));
    return p ? p->listValues().join(QStringLiteral(", ")) : QString();
}

void ContactItem::setNickName(const QString &name)
{
    setCardText("NICKNAME", name);
}

QString ContactItem::url(const QString &type) const
{
    for (const VCardProperty &p : m_card.properties) {
        if (p.name != QLatin1String("URL"))
            continue;
        const bool typed = p.hasType(QStringLiteral("work")) || p.hasType(QStringLiteral("home"));
        if (type.isEmpty() ? !typed : p.hasType(type))
            return p.text();
    }
    return QString();
}

void ContactItem::setUrl(const QString &type, const QString &value)
{
    if (value == url(type))
        return;
    for (qsizetype i = 0; i < m_card.properties.size(); ++i) {
        VCardProperty &p = m_card.properties[i];
        if (p.name != QLatin1String("URL"))
            continue;
        const bool typed = p.hasType(QStringLiteral("work")) || p.hasType(QStringLiteral("home"));
        if (type.isEmpty() ? !typed : p.hasType(type)) {
            if (value.isEmpty())
                m_card.properties.removeAt(i);
            else
                p.rawValue = value; // a URI: escaping would change it
            markChanged();
            return;
        }
    }
    VCardProperty p(QStringLiteral("URL"), value);
    if (!type.isEmpty())
        p.setParameter(QStringLiteral("TYPE"), {type});
    m_card.properties.append(p);
    markChanged();
}

QString ContactItem::emailAddress(int index) const
{
    const QList<qsizetype> emails = m_card.indexesOf(QStringLiteral("EMAIL"));
    return index >= 0 && index < emails.size() ? m_card.properties.at(emails.at(index)).text()
                                               : QString();
}

void ContactItem::setEmailAddress(int index, const QString &address)
{
    if (index < 0 || address == emailAddress(index))
        return;
    const QList<qsizetype> emails = m_card.indexesOf(QStringLiteral("EMAIL"));
    if (index < emails.size()) {
        if (address.isEmpty())
            m_card.properties.removeAt(emails.at(index));
        else
            m_card.properties[emails.at(index)].setText(address);
    } else if (!address.isEmpty()) {
        VCardProperty p(QStringLiteral("EMAIL"), VCardText::escape(address));
        if (m_card.version != VCard::Version::V40)
            p.setParameter(QStringLiteral("TYPE"), {QStringLiteral("INTERNET")});
        m_card.properties.append(p);
    }
    markChanged();
}

// ---- telephones -----------------------------------------------------------

std::array<qsizetype, ContactItem::PhoneCount> ContactItem::phoneIndexes() const
{
    std::array<qsizetype, PhoneCount> slots;
    slots.fill(-1);
    for (qsizetype i = 0; i < m_card.properties.size(); ++i) {
        const VCardProperty &p = m_card.properties.at(i);
        if (p.name != QLatin1String("TEL"))
            continue;
        Phone phone = classifyPhone(p);
        if (phone == Phone::Business && slots[int(Phone::Business)] >= 0)
            phone = Phone::Business2;
        else if (phone == Phone::Home && slots[int(Phone::Home)] >= 0)
            phone = Phone::Home2;
        // A number beyond the slots Outlook has stays in the card untouched.
        if (slots[int(phone)] < 0)
            slots[int(phone)] = i;
    }
    return slots;
}

QString ContactItem::telephone(Phone phone) const
{
    const qsizetype i = phoneIndexes()[int(phone)];
    return i < 0 ? QString() : telNumber(m_card.properties.at(i));
}

void ContactItem::setTelephone(Phone phone, const QString &number)
{
    if (number == telephone(phone))
        return;
    const qsizetype i = phoneIndexes()[int(phone)];
    if (i >= 0 && number.isEmpty()) {
        m_card.properties.removeAt(i);
    } else if (i >= 0) {
        VCardProperty &p = m_card.properties[i];
        if (p.rawValue.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
            p.rawValue = p.rawValue.left(4) + number;
        else
            p.setText(number);
    } else {
        VCardProperty p(QStringLiteral("TEL"), VCardText::escape(number));
        p.setParameter(QStringLiteral("TYPE"), phoneTypes(phone, m_card.version));
        if (phone == Phone::Primary && m_card.version == VCard::Version::V40)
            p.setParameter(QStringLiteral("PREF"), {QStringLiteral("1")});
        // Business2 after Business (and Home2 after Home) so the order reads back.
        const auto slots = phoneIndexes();
        qsizetype at = m_card.properties.size();
        if (phone == Phone::Business && slots[int(Phone::Business2)] >= 0)
            at = slots[int(Phone::Business2)];
        if (phone == Phone::Home && slots[int(Phone::Home2)] >= 0)
            at = slots[int(Phone::Home2)];
        m_card.properties.insert(at, p);
    }
    markChanged();
}

// ---- addresses ------------------------------------------------------------

std::array<qsizetype, 3> ContactItem::addressIndexes(const QString &propertyName) const
{
    std::array<qsizetype, 3> slots{-1, -1, -1};
    for (qsizetype i = 0; i < m_card.properties.size(); ++i) {
        const VCardProperty &p = m_card.properties.at(i);
        if (p.name != propertyName)
            continue;
        const int kind = classifyAddress(p);
        if (slots[kind] < 0)
            slots[kind] = i;
    }
    return slots;
}

QString ContactItem::addressPart(AddressKind kind, AddressPart part) const
{
    const qsizetype i = addressIndexes(QStringLiteral("ADR"))[int(kind)];
    return i < 0 ? QString() : m_card.properties.at(i).component(AdrComponent[int(part)]);
}

void ContactItem::setAddressPart(AddressKind kind, AddressPart part, const QString &value)
{
    if (value == addressPart(kind, part))
        return;
    qsizetype i = addressIndexes(QStringLiteral("ADR"))[int(kind)];
    if (i < 0) {
        VCardProperty adr(QStringLiteral("ADR"), QString(AdrComponentCount - 1, u';'));
        adr.setParameter(QStringLiteral("TYPE"), {QLatin1String(addressType(kind))});
        m_card.properties.append(adr);
        i = m_card.properties.size() - 1;
    }
    VCardProperty &adr = m_card.properties[i];
    adr.setComponent(AdrComponent[int(part)], value);
    adr.removeParameter(QStringLiteral("LABEL"));
    QList<qsizetype> drop;
    if (adr.components().join(QString()).isEmpty())
        drop << i; // every part is empty: the address is gone
    const qsizetype label = addressIndexes(QStringLiteral("LABEL"))[int(kind)];
    if (label >= 0)
        drop << label;
    std::sort(drop.begin(), drop.end(), std::greater<>());
    for (const qsizetype d : drop)
        m_card.properties.removeAt(d);
    markChanged();
}

QString ContactItem::address(AddressKind kind) const
{
    const qsizetype adr = addressIndexes(QStringLiteral("ADR"))[int(kind)];
    if (adr >= 0) {
        const QString label = m_card.properties.at(adr).parameter(QStringLiteral("LABEL"));
        if (!label.isEmpty())
            return label;
    }
    const qsizetype label = addressIndexes(QStringLiteral("LABEL"))[int(kind)];
    if (label >= 0)
        return m_card.properties.at(label).text();
    const auto part = [&](AddressPart p) { return addressPart(kind, p); };
    const QString cityLine = joinNonEmpty(
        {joinNonEmpty({part(AddressPart::City), part(AddressPart::State)}, QStringLiteral(", ")),
         part(AddressPart::PostalCode)},
        QStringLiteral(" "));
    return joinNonEmpty({part(AddressPart::PostOfficeBox), part(AddressPart::Street), cityLine,
                         part(AddressPart::Country)},
                        QStringLiteral("\n"));
}

void ContactItem::setAddress(AddressKind kind, const QString &text)
{
    if (text == address(kind))
        return;
    qsizetype adr = addressIndexes(QStringLiteral("ADR"))[int(kind)];
    const QStringList type{QLatin1String(addressType(kind))};
    if (m_card.version == VCard::Version::V40) {
        if (adr < 0) {
            if (text.isEmpty())
                return;
            VCardProperty p(QStringLiteral("ADR"), QString(AdrComponentCount - 1, u';'));
            p.setParameter(QStringLiteral("TYPE"), type);
            m_card.properties.append(p);
            adr = m_card.properties.size() - 1;
        }
        VCardProperty &p = m_card.properties[adr];
        if (text.isEmpty())
            p.removeParameter(QStringLiteral("LABEL"));
        else
            p.setParameter(QStringLiteral("LABEL"), {text});
    } else {
        const qsizetype label = addressIndexes(QStringLiteral("LABEL"))[int(kind)];
        if (label >= 0 && text.isEmpty()) {
            m_card.properties.removeAt(label);
        } else if (label >= 0) {
            m_card.properties[label].setText(text);
        } else {
            VCardProperty p(QStringLiteral("LABEL"), VCardText::escape(text));
            p.setParameter(QStringLiteral("TYPE"), type);
            m_card.properties.insert(adr >= 0 ? adr + 1 : m_card.properties.size(), p);
        }
    }
    markChanged();
}

QString ContactItem::mailingAddressPart(int part) const
{
    // The address marked preferred, else the first of business, home, other.
    const auto slots = addressIndexes(QStringLiteral("ADR"));
    qsizetype chosen = -1;
    for (const qsizetype i : slots) {
        if (i < 0)
            continue;
        const VCardProperty &p = m_card.properties.at(i);
        if (p.hasType(QStringLiteral("pref")) || p.parameter(QStringLiteral("PREF")) == u'1') {
            chosen = i;
            break;
        }
        if (chosen < 0)
            chosen = i;
    }
    if (chosen < 0)
        return QString();
    const AddressKind kind = AddressKind(classifyAddress(m_card.properties.at(chosen)));
    return part < 0 ? address(kind) : addressPart(kind, AddressPart(part));
}

// ---- dates ----------------------------------------------------------------

QDate ContactItem::cardDate(const QString &name) const
{
    const VCardProperty *p = m_card.find(name);
    return p ? parseDate(p->rawValue) : QDate();
}

void ContactItem::setCardDate(const QString &name, const QDate &date)
{
    if (!date.isValid()) {
        m_card.removeAll(name);
        return;
    }
    const QString format = m_card.version == VCard::Version::V40 ? QStringLiteral("yyyyMMdd")
                                                                 : QStringLiteral("yyyy-MM-dd");
    VCardProperty &p = m_card.findOrAdd(name);
    p.rawValue = date.toString(format);
    p.removeParameter(QStringLiteral("VALUE"));
}

void ContactItem::setBirthday(const QDate &date)
{
    if (date == Birthday())
        return;
    setCardDate(QStringLiteral("BDAY"), date);
    markChanged();
}

QDate ContactItem::Anniversary() const
{
    const QDate date = cardDate(QStringLiteral("ANNIVERSARY"));
    return date.isValid() ? date : cardDate(QStringLiteral("X-ANNIVERSARY"));
}

void ContactItem::setAnniversary(const QDate &date)
{
    if (date == Anniversary())
        return;
    const bool v4 = m_card.version == VCard::Version::V40;
    m_card.removeAll(v4 ? QStringLiteral("X-ANNIVERSARY") : QStringLiteral("ANNIVERSARY"));
    setCardDate(v4 ? QStringLiteral("ANNIVERSARY") : QStringLiteral("X-ANNIVERSARY"), date);
    markChanged();
}

// ---- properties by Outlook name ---------------------------------------------

QString ContactItem::userPropertiesText() const
{
    QStringList parts;
    for (const UserProperty &p : std::as_const(*this).userProperties().all())
        parts << p.name + QStringLiteral(": ") + UserPropertyNames::valueToText(p);
    return parts.join(QStringLiteral("; "));
}

const QHash<QString, ContactItem::Field> &ContactItem::fields()
{
    using C = ContactItem;
    static const QHash<QString, Field> table = [] {
        QHash<QString, Field> t;
        const auto add = [&](const char *name, Field f) {
            t.insert(QString::fromLatin1(name).toLower(), f);
        };

#define QV_TEXT(outlook, getter, setter)                                                           \
    add(outlook, {[](const C &c) { return QVariant(c.getter()); },                                 \
                  [](C &c, const QVariant &v) { c.setter(v.toString()); }})
#define QV_CARD(outlook, vcardName)                                                                \
    add(outlook, {[](const C &c) { return QVariant(c.cardText(vcardName)); },                      \
                  [](C &c, const QVariant &v) { c.setCardText(vcardName, v.toString()); }})
#define QV_PHONE(outlook, phone)                                                                   \
    add(outlook, {[](const C &c) { return QVariant(c.telephone(Phone::phone)); },                  \
                  [](C &c, const QVariant &v) { c.setTelephone(Phone::phone, v.toString()); }})
#define QV_COMPUTED(outlook, expr)                                                                 \
    add(outlook, {[](const C &c) { return QVariant(expr); }, nullptr})

        QV_TEXT("FullName", FullName, setFullName);
        QV_TEXT("FirstName", FirstName, setFirstName);
        QV_TEXT("MiddleName", MiddleName, setMiddleName);
        QV_TEXT("LastName", LastName, setLastName);
        QV_TEXT("Title", Title, setTitle);
        QV_TEXT("Suffix", Suffix, setSuffix);
        QV_TEXT("CompanyName", CompanyName, setCompanyName);
        QV_TEXT("Department", Department, setDepartment);
        QV_TEXT("JobTitle", JobTitle, setJobTitle);
        QV_TEXT("NickName", NickName, setNickName);
        QV_TEXT("WebPage", WebPage, setWebPage);
        add("BusinessHomePage",
            {[](const C &c) { return QVariant(c.url(QStringLiteral("work"))); },
             [](C &c, const QVariant &v) { c.setUrl(QStringLiteral("work"), v.toString()); }});
        add("PersonalHomePage",
            {[](const C &c) { return QVariant(c.url(QStringLiteral("home"))); },
             [](C &c, const QVariant &v) { c.setUrl(QStringLiteral("home"), v.toString()); }});
#define QV_EMAIL(n)                                                                                \
    add("Email" #n "Address",                                                                      \
        {[](const C &c) { return QVariant(c.emailAddress(n - 1)); },                               \
         [](C &c, const QVariant &v) { c.setEmailAddress(n - 1, v.toString()); }})
        QV_EMAIL(1);
        QV_EMAIL(2);
        QV_EMAIL(3);
        QV_CARD("Profession", "ROLE");
        QV_CARD("Spouse", "X-SPOUSE");
        QV_CARD("AssistantName", "X-ASSISTANT");
        QV_CARD("ManagerName", "X-MANAGER");
        QV_CARD("Account", "X-QUORVALE-ACCOUNT");
        QV_CARD("BillingInformation", "X-QUORVALE-BILLINGINFORMATION");
        QV_CARD("Companies", "X-QUORVALE-COMPANIES");
        QV_CARD("CustomerID", "X-QUORVALE-CUSTOMERID");
        QV_CARD("GovernmentIDNumber", "X-QUORVALE-GOVERNMENTIDNUMBER");
        QV_CARD("OfficeLocation", "X-QUORVALE-OFFICELOCATION");
        QV_CARD("OrganizationalIDNumber", "X-QUORVALE-ORGANIZATIONALIDNUMBER");
        QV_CARD("User1", "X-QUORVALE-USER1");
        QV_CARD("User2", "X-QUORVALE-USER2");
        QV_CARD("User3", "X-QUORVALE-USER3");
        QV_CARD("User4", "X-QUORVALE-USER4");
        add("FileAs",
            {[](const C &c) {
                 const QString stored = c.cardText("X-QUORVALE-FILEAS");
                 if (!stored.isEmpty())
                     return QVariant(stored);
                 const QString name =
                     joinNonEmpty({c.LastName(), c.FirstName()}, QStringLiteral(", "));
                 return QVariant(!name.isEmpty()              ? name
                                 : !c.CompanyName().isEmpty() ? c.CompanyName()
                                                              : c.FullName());
             },
             [](C &c, const QVariant &v) { c.setCardText("X-QUORVALE-FILEAS", v.toString()); }});
        add("Initials",
            {[](const C &c) {
                 const QString stored = c.cardText("X-QUORVALE-INITIALS");
                 if (!stored.isEmpty())
                     return QVariant(stored);
                 QString initials;
                 for (const QString &part : {c.FirstName(), c.MiddleName(), c.LastName()})
                     if (!part.isEmpty())
                         initials += part.at(0) + QStringLiteral(".");
                 return QVariant(initials);
             },
             [](C &c, const QVariant &v) { c.setCardText("X-QUORVALE-INITIALS", v.toString()); }});
        add("Importance",
            {[](const C &c) {
                 bool ok = false;
                 const int value = c.cardText("X-QUORVALE-IMPORTANCE").toInt(&ok);
                 return QVariant(ok ? value : 1); // olImportanceNormal
             },
             [](C &c, const QVariant &v) {
                 c.setCardText("X-QUORVALE-IMPORTANCE",
                               v.toInt() == 1 ? QString() : QString::number(v.toInt()));
             }});
        add("Birthday", {[](const C &c) { return QVariant(c.Birthday()); },
                         [](C &c, const QVariant &v) { c.setBirthday(v.toDate()); }});
        add("Anniversary", {[](const C &c) { return QVariant(c.Anniversary()); },
                            [](C &c, const QVariant &v) { c.setAnniversary(v.toDate()); }});

        QV_PHONE("BusinessTelephoneNumber", Business);
        QV_PHONE("Business2TelephoneNumber", Business2);
        QV_PHONE("HomeTelephoneNumber", Home);
        QV_PHONE("Home2TelephoneNumber", Home2);
        QV_PHONE("MobileTelephoneNumber", Mobile);
        QV_PHONE("BusinessFaxNumber", BusinessFax);
        QV_PHONE("HomeFaxNumber", HomeFax);
        QV_PHONE("PagerNumber", Pager);
        QV_PHONE("CarTelephoneNumber", Car);
        QV_PHONE("PrimaryTelephoneNumber", Primary);
        QV_PHONE("AssistantTelephoneNumber", Assistant);
        QV_PHONE("CallbackTelephoneNumber", Callback);
        QV_PHONE("CompanyMainTelephoneNumber", CompanyMain);
        QV_PHONE("ISDNNumber", ISDN);
        QV_PHONE("OtherTelephoneNumber", Other);
        QV_PHONE("OtherFaxNumber", OtherFax);
        QV_PHONE("RadioTelephoneNumber", Radio);
        QV_PHONE("TelexNumber", Telex);
        QV_PHONE("TTYTDDTelephoneNumber", TTYTDD);

#define QV_ADDRESS(kind)                                                                           \
    add(#kind "Address",                                                                           \
        {[](const C &c) { return QVariant(c.address(AddressKind::kind)); },                        \
         [](C &c, const QVariant &v) { c.setAddress(AddressKind::kind, v.toString()); }});         \
    QV_ADDRESS_PART(kind, Street);                                                                 \
    QV_ADDRESS_PART(kind, City);                                                                   \
    QV_ADDRESS_PART(kind, State);                                                                  \
    QV_ADDRESS_PART(kind, PostalCode);                                                             \
    QV_ADDRESS_PART(kind, Country);                                                                \
    QV_ADDRESS_PART(kind, PostOfficeBox)
#define QV_ADDRESS_PART(kind, part)                                                                \
    add(#kind "Address" #part,                                                                     \
        {[](const C &c) { return QVariant(c.addressPart(AddressKind::kind, AddressPart::part)); }, \
         [](C &c, const QVariant &v) {                                                             \
             c.setAddressPart(AddressKind::kind, AddressPart::part, v.toString());                 \
         }})
        QV_ADDRESS(Business);
        QV_ADDRESS(Home);
        QV_ADDRESS(Other);
#define QV_MAILING(suffix, part) QV_COMPUTED("MailingAddress" suffix, c.mailingAddressPart(part))
        QV_MAILING("", -1);
        QV_MAILING("PostOfficeBox", int(AddressPart::PostOfficeBox));
        QV_MAILING("Street", int(AddressPart::Street));
        QV_MAILING("City", int(AddressPart::City));
        QV_MAILING("State", int(AddressPart::State));
        QV_MAILING("PostalCode", int(AddressPart::PostalCode));
        QV_MAILING("Country", int(AddressPart::Country));

        // Outlook's read-only combinations of the name and company.
        QV_COMPUTED("LastNameAndFirstName",
                    joinNonEmpty({c.LastName(), c.FirstName()}, QStringLiteral(", ")));
        QV_COMPUTED("LastFirstAndSuffix",
                    joinNonEmpty({joinNonEmpty({c.LastName(), c.FirstName()}, QStringLiteral(", ")),
                                  c.Suffix()},
                                 QStringLiteral(" ")));
        QV_COMPUTED("LastFirstNoSpace", c.LastName() + c.FirstName());
        QV_COMPUTED("LastFirstNoSpaceAndSuffix",
                    joinNonEmpty({c.LastName() + c.FirstName(), c.Suffix()}, QStringLiteral(" ")));
        QV_COMPUTED("LastFirstSpaceOnly",
                    joinNonEmpty({c.LastName(), c.FirstName()}, QStringLiteral(" ")));
        QV_COMPUTED("LastFirstNoSpaceCompany",
                    withParenthesis(c.LastName() + c.FirstName(), c.CompanyName()));
        QV_COMPUTED(
            "LastFirstSpaceOnlyCompany",
            withParenthesis(joinNonEmpty({c.LastName(), c.FirstName()}, QStringLiteral(" ")),
                            c.CompanyName()));
        QV_COMPUTED("CompanyAndFullName", withParenthesis(c.CompanyName(), c.FullName()));
        QV_COMPUTED("FullNameAndCompany", withParenthesis(c.FullName(), c.CompanyName()));
        QV_COMPUTED("CompanyLastFirstNoSpace",
                    withParenthesis(c.CompanyName(), c.LastName() + c.FirstName()));
        QV_COMPUTED("CompanyLastFirstSpaceOnly",
                    withParenthesis(c.CompanyName(), joinNonEmpty({c.LastName(), c.FirstName()},
                                                                  QStringLiteral(" "))));
        QV_COMPUTED("UserProperties", c.userPropertiesText());
#undef QV_TEXT
#undef QV_CARD
#undef QV_PHONE
#undef QV_COMPUTED
#undef QV_ADDRESS
#undef QV_ADDRESS_PART
#undef QV_MAILING
#undef QV_EMAIL
        return t;
    }();
    return table;
}

QVariant ContactItem::property(const QString &name) const
{
    const auto &table = fields();
    const auto it = table.constFind(name.toLower());
    if (it != table.constEnd())
        return it->get(*this);
    return Item::property(name);
}

bool ContactItem::setProperty(const QString &name, const QVariant &value)
{
    const auto &table = fields();
    const auto it = table.constFind(name.toLower());
    if (it != table.constEnd()) {
        if (!it->set)
            return false;
        it->set(*this, value);
        return true;
    }
    const auto is = [&](const char *n) {
        return name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0;
    };
    if (is("Subject"))
        setSubject(value.toString());
    else if (is("Body"))
        setBody(value.toString());
    else if (is("Categories"))
        setCategoriesText(value.toString());
    else
        return false;
    return true;
}

// ---- reading and writing --------------------------------------------------

QString ContactItem::newFileName() const
{
    return m_newId + QStringLiteral(".vcf");
}

void ContactItem::prepareNew()
{
    m_newId = newId();
    if (m_card.find(QStringLiteral("UID")) == nullptr)
        m_card.properties.prepend(VCardProperty(QStringLiteral("UID"), m_newId));
    if (m_card.find(QStringLiteral("PRODID")) == nullptr)
        m_card.properties.prepend(VCardProperty(
            QStringLiteral("PRODID"), QStringLiteral("-//Kestrune Software//Quorvale//EN")));
}

bool ContactItem::parse(const QByteArray &content, ReadPurpose)
{
    VCardReadResult result = readVCard(content);
    if (!result.ok()) {
        qCWarning(lcContacts).noquote() << "Not a contact:" << filePath() << "-" << result.error;
        return false;
    }
    if (result.extraCards > 0)
        qCWarning(lcContacts).noquote()
            << filePath() << "holds" << result.extraCards
            << "more card(s); only the first is read, the others are kept as they are";
    m_card = std::move(*result.card);
    m_otherCards = std::move(result.rest);
    loadBody(m_card.text(QStringLiteral("NOTE")));
    QStringList categories;
    for (const qsizetype i : m_card.indexesOf(QStringLiteral("CATEGORIES")))
        categories += m_card.properties.at(i).listValues();
    loadCategories(categories);
    loadUserPropertiesFromCard();
    const VCardProperty *rev = m_card.find(QStringLiteral("REV"));
    if (rev) {
        QDateTime time = QDateTime::fromString(rev->rawValue, Qt::ISODate);
        if (!time.isValid())
            time =
                QDateTime::fromString(rev->rawValue.left(15), QStringLiteral("yyyyMMdd'T'HHmmss"));
        if (time.isValid()) {
            if (rev->rawValue.endsWith(u'Z'))
                time.setTimeZone(QTimeZone::utc());
            setLastModificationTime(time.toLocalTime());
        }
    }
    return true;
}

void ContactItem::loadUserPropertiesFromCard()
{
    const auto &builtins = builtinExtensions();
    for (const VCardProperty &p : m_card.properties) {
        if (!isUserProperty(p, builtins))
            continue;
        const UserPropertyType type =
            UserPropertyNames::typeFromText(p.parameter(UserTypeParameter));
        UserProperty &user = loadUserProperties().Add(userPropertyName(p), type);
        user.value = UserPropertyNames::valueFromText(type, p.text());
    }
}

void ContactItem::writeUserPropertiesToCard()
{
    const auto &builtins = builtinExtensions();
    QList<bool> used(m_card.properties.size(), false);
    QList<VCardProperty> added;
    for (const UserProperty &user : std::as_const(*this).userProperties().all()) {
        const QString text = UserPropertyNames::valueToText(user);
        const QString type = UserPropertyNames::typeToText(user.type);
        qsizetype at = -1;
        for (qsizetype i = 0; i < m_card.properties.size() && at < 0; ++i) {
            const VCardProperty &p = m_card.properties.at(i);
            if (!used[i] && isUserProperty(p, builtins) &&
                userPropertyName(p).compare(user.name, Qt::CaseInsensitive) == 0)
                at = i;
        }
        if (at < 0) {
            added << VCardProperty(UserPropertyNames::toExtensionName(user.name));
            added.last().setParameter(UserNameParameter, {user.name});
            added.last().setParameter(UserTypeParameter, {type});
            added.last().setText(text);
            continue;
        }
        used[at] = true;
        VCardProperty &p = m_card.properties[at];
        if (p.parameter(UserNameParameter) != user.name)
            p.setParameter(UserNameParameter, {user.name});
        if (p.parameter(UserTypeParameter) != type)
            p.setParameter(UserTypeParameter, {type});
        if (p.text() != text)
            p.setText(text);
    }
    for (qsizetype i = m_card.properties.size() - 1; i >= 0; --i) {
        if (!used[i] && isUserProperty(m_card.properties.at(i), builtins))
            m_card.properties.removeAt(i);
    }
    m_card.properties += added;
}

void ContactItem::writeCommonPropertiesToCard()
{
    if (Body() != m_card.text(QStringLiteral("NOTE")))
        m_card.setText(QStringLiteral("NOTE"), Body());
    QStringList categories;
    for (const qsizetype i : m_card.indexesOf(QStringLiteral("CATEGORIES")))
        categories += m_card.properties.at(i).listValues();
    if (categories != Categories()) {
        m_card.removeAll(QStringLiteral("CATEGORIES"));
        if (!Categories().isEmpty()) {
            m_card.properties.append(VCardProperty(QStringLiteral("CATEGORIES")));
            m_card.properties.last().setListValues(Categories());
        }
    }
}

QByteArray ContactItem::serialize()
{
    writeCommonPropertiesToCard();
    writeUserPropertiesToCard();
    // FN is required in both versions, N in 3.0.
    if (m_card.text(QStringLiteral("FN")).isEmpty()) {
        const QString name = FullName().isEmpty() ? CompanyName() : FullName();
        m_card.findOrAdd(QStringLiteral("FN")).setText(name);
    }
    if (m_card.version != VCard::Version::V40 && !m_card.find(QStringLiteral("N")))
        m_card.properties.append(VCardProperty(QStringLiteral("N"), QStringLiteral(";;;;")));
    const QDateTime modified = LastModificationTime().toUTC();
    if (modified.isValid()) {
        const QString format = m_card.version == VCard::Version::V40
                                   ? QStringLiteral("yyyyMMdd'T'HHmmss'Z'")
                                   : QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'");
        m_card.findOrAdd(QStringLiteral("REV")).rawValue = modified.toString(format);
    }
    QByteArray data = writeVCard(m_card);
    data += m_otherCards;
    return data;
}

std::unique_ptr<Item> makeContactItem(const Folder &folder)
{
    return std::make_unique<ContactItem>(folder);
}

} // namespace quorvale::pim
