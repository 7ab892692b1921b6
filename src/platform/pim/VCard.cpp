#include "VCard.h"

namespace quorvale::pim {

namespace {

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

namespace VCardText {

QString escape(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case u'\\':
            out += QLatin1String("\\\\");
            break;
        case u',':
            out += QLatin1String("\\,");
            break;
        case u';':
            out += QLatin1String("\\;");
            break;
        case u'\r':
            // CR LF and a lone CR are one line break: vCard has only \n.
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            out += QLatin1String("\\n");
            break;
        case u'\n':
            out += QLatin1String("\\n");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString unescape(QStringView raw)
{
    if (!raw.contains(u'\\'))
        return raw.toString();
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c != u'\\' || i + 1 == raw.size()) {
            out += c;
            continue;
        }
        const QChar next = raw.at(++i);
        switch (next.unicode()) {
        case u'n':
        case u'N':
            out += u'\n';
            break;
        case u'\\':
        case u',':
        case u';':
        case u':':
            out += next;
            break;
        default:
            // Not an escape vCard knows: keep both characters rather than guess.
            out += c;
            out += next;
        }
    }
    return out;
}

QList<QStringView> splitUnescaped(QStringView raw, QChar separator)
{
    QList<QStringView> parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw.at(i) == u'\\') {
            ++i;
        } else if (raw.at(i) == separator) {
            parts << raw.mid(start, i - start);
            start = i + 1;
        }
    }
    parts << raw.mid(start);
    return parts;
}

} // namespace VCardText

VCardProperty::VCardProperty(QString name, QString rawValue)
    : name(std::move(name).toUpper()), rawValue(std::move(rawValue))
{
}

QString VCardProperty::parameter(const QString &paramName) const
{
    for (const VCardParameter &p : parameters) {
        if (sameName(p.name, paramName) && !p.values.isEmpty())
            return p.values.first();
    }
    return QString();
}

QStringList VCardProperty::parameterValues(const QString &paramName) const
{
    QStringList values;
    for (const VCardParameter &p : parameters) {
        if (sameName(p.name, paramName))
            values += p.values;
    }
    return values;
}

bool VCardProperty::hasParameter(const QString &paramName) const
{
    return std::any_of(parameters.cbegin(), parameters.cend(),
                       [&](const VCardParameter &p) { return sameName(p.name, paramName); });
}

void VCardProperty::setParameter(const QString &paramName, const QStringList &values)
{
    removeParameter(paramName);
    parameters.append({paramName.toUpper(), values});
}

void VCardProperty::removeParameter(const QString &paramName)
{
    parameters.removeIf([&](const VCardParameter &p) { return sameName(p.name, paramName); });
}

QStringList VCardProperty::types() const
{
    QStringList result;
    for (const QString &value : parameterValues(QStringLiteral("TYPE"))) {
        for (QStringView part : QStringView(value).split(u',')) {
            part = part.trimmed();
            if (!part.isEmpty())
                result << part.toString().toLower();
        }
    }
    return result;
}

bool VCardProperty::hasType(const QString &type) const
{
    return types().contains(type.toLower());
}

QString VCardProperty::text() const
{
    return VCardText::unescape(rawValue);
}

void VCardProperty::setText(const QString &value)
{
    rawValue = VCardText::escape(value);
}

QStringList VCardProperty::components() const
{
    QStringList result;
    for (QStringView part : VCardText::splitUnescaped(rawValue, u';'))
        result << VCardText::unescape(part);
    return result;
}

QString VCardProperty::component(int index) const
{
    const QList<QStringView> parts = VCardText::splitUnescaped(rawValue, u';');
    return index < parts.size() ? VCardText::unescape(parts.at(index)) : QString();
}

void VCardProperty::setComponent(int index, const QString &value)
{
    QStringList parts;
    for (QStringView part : VCardText::splitUnescaped(rawValue, u';'))
        parts << part.toString();
    while (parts.size() <= index)
        parts << QString();
    parts[index] = VCardText::escape(value);
    rawValue = parts.join(u';');
}

QStringList VCardProperty::listValues() const
{
    QStringList result;
    for (QStringView part : VCardText::splitUnescaped(rawValue, u',')) {
        const QString value = VCardText::unescape(part).trimmed();
        if (!value.isEmpty())
            result << value;
    }
    return result;
}

void VCardProperty::setListValues(const QStringList &values)
{
    QStringList escaped;
    for (const QString &value : values)
        escaped << VCardText::escape(value);
    rawValue = escaped.join(u',');
}

const VCardProperty *VCard::find(const QString &name) const
{
    for (const VCardProperty &p : properties) {
        if (sameName(p.name, name))
            return &p;
    }
    return nullptr;
}

VCardProperty *VCard::find(const QString &name)
{
    return const_cast<VCardProperty *>(std::as_const(*this).find(name));
}

QList<qsizetype> VCard::indexesOf(const QString &name) const
{
    QList<qsizetype> result;
    for (qsizetype i = 0; i < properties.size(); ++i) {
        if (sameName(properties.at(i).name, name))
            result << i;
    }
    return result;
}

VCardProperty &VCard::findOrAdd(const QString &name)
{
    if (VCardProperty *p = find(name))
        return *p;
    properties.append(VCardProperty(name));
    return properties.last();
}

qsizetype VCard::removeAll(const QString &name)
{
    return properties.removeIf([&](const VCardProperty &p) { return sameName(p.name, name); });
}

QString VCard::text(const QString &name) const
{
    const VCardProperty *p = find(name);
    return p ? p->text() : QString();
}

void VCard::setText(const QString &name, const QString &value)
{
    if (value.isEmpty()) {
        removeAll(name);
        return;
    }
    findOrAdd(name).setText(value);
}

QString versionText(VCard::Version version)
{
    switch (version) {
    case VCard::Version::V21:
        return QStringLiteral("2.1");
    case VCard::Version::V40:
        return QStringLiteral("4.0");
    case VCard::Version::V30:
        break;
    }
    return QStringLiteral("3.0");
}

} // namespace quorvale::pim
