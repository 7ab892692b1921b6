#include "UserProperties.h"

#include "platform/core/Money.h"

#include <algorithm>

namespace quorvale::pim {

namespace {

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

UserProperty &UserProperties::Add(const QString &name, UserPropertyType type, bool)
{
    if (UserProperty *existing = Find(name)) {
        existing->type = type;
        return *existing;
    }
    m_properties.push_back({name, type, QVariant()});
    return m_properties.back();
}

UserProperty *UserProperties::Find(const QString &name)
{
    const auto it = std::find_if(m_properties.begin(), m_properties.end(),
                                 [&](const UserProperty &p) { return sameName(p.name, name); });
    return it == m_properties.end() ? nullptr : &*it;
}

const UserProperty *UserProperties::Find(const QString &name) const
{
    return const_cast<UserProperties *>(this)->Find(name);
}

bool UserProperties::Remove(const QString &name)
{
    const auto it = std::find_if(m_properties.begin(), m_properties.end(),
                                 [&](const UserProperty &p) { return sameName(p.name, name); });
    if (it == m_properties.end())
        return false;
    m_properties.erase(it);
    return true;
}

QVariant UserProperties::value(const QString &name) const
{
    const UserProperty *p = Find(name);
    return p ? p->value : QVariant();
}

bool UserProperties::setValue(const QString &name, UserPropertyType type, const QVariant &value)
{
    UserProperty *p = Find(name);
    if (p && p->type == type && p->value == value)
        return false;
    Add(name, type).value = value;
    return true;
}

namespace UserPropertyNames {

QString toExtensionName(const QString &name)
{
    QString out = QLatin1String(Prefix);
    for (QChar c : name) {
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
            out += c.toUpper();
        else
            out += u'-';
    }
    return out;
}

QString valueToText(const UserProperty &property)
{
    if (!property.value.isValid() || property.value.isNull())
        return QString();
    switch (property.type) {
    case UserPropertyType::Currency:
        return property.value.canConvert<Money>() && property.value.typeId() == qMetaTypeId<Money>()
                   ? property.value.value<Money>().toString()
                   : Money::parse(property.value.toString()).value_or(Money()).toString();
    case UserPropertyType::Number:
        return QString::number(property.value.toDouble(), 'g', 17);
    case UserPropertyType::Text:
        break;
    }
    return property.value.toString();
}

QVariant valueFromText(UserPropertyType type, const QString &text)
{
    switch (type) {
    case UserPropertyType::Currency:
        return QVariant::fromValue(Money::parse(text).value_or(Money()));
    case UserPropertyType::Number: {
        bool ok = false;
        const double d = text.toDouble(&ok);
        return ok ? QVariant(d) : QVariant();
    }
    case UserPropertyType::Text:
        break;
    }
    return text;
}

QString typeToText(UserPropertyType type)
{
    switch (type) {
    case UserPropertyType::Currency:
        return QStringLiteral("CURRENCY");
    case UserPropertyType::Number:
        return QStringLiteral("NUMBER");
    case UserPropertyType::Text:
        break;
    }
    return QStringLiteral("TEXT");
}

UserPropertyType typeFromText(const QString &text)
{
    if (text.compare(QLatin1String("CURRENCY"), Qt::CaseInsensitive) == 0)
        return UserPropertyType::Currency;
    if (text.compare(QLatin1String("NUMBER"), Qt::CaseInsensitive) == 0)
        return UserPropertyType::Number;
    return UserPropertyType::Text;
}

} // namespace UserPropertyNames

} // namespace quorvale::pim
