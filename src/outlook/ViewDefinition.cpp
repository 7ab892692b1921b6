#include "outlook/ViewDefinition.h"

#include "platform/pim/Item.h"

#include <QFile>
#include <QXmlStreamReader>

namespace quorvale {

namespace {

const QString UserPlaceholder = QStringLiteral("[QVUserName]");
const QString ActivityPlaceholder = QStringLiteral("[MainActivity]");

QString xmlEscaped(const QString &text)
{
    QString out = text.toHtmlEscaped(); // &, <, > and "
    out.replace(u'\'', QStringLiteral("&apos;"));
    return out;
}

bool unresolved(const QString &text)
{
    return text.contains(ActivityPlaceholder);
}

} // namespace

QString substituteViewPlaceholders(QString text, const ViewSubstitutions &values)
{
    text.replace(UserPlaceholder, xmlEscaped(values.userName));
    if (values.activity1Term)
        text.replace(ActivityPlaceholder, xmlEscaped(*values.activity1Term));
    return text;
}

std::optional<ViewDefinition> ViewDefinition::parse(const QString &text, QString *error)
{
    auto fail = [error](const QString &reason) -> std::optional<ViewDefinition> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    QXmlStreamReader xml(text);
    ViewDefinition view;
    bool inView = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto attrs = xml.attributes();
        if (!inView) {
            if (xml.name() != QLatin1String("view"))
                return fail(QStringLiteral("The file does not begin with a <view> element."));
            inView = true;
            view.m_name = attrs.value(QLatin1String("name")).toString().trimmed();
            continue;
        }
        const QString field = attrs.value(QLatin1String("field")).toString().trimmed();
        if (xml.name() == QLatin1String("column")) {
            QString heading = attrs.value(QLatin1String("heading")).toString();
            if (heading.isEmpty())
                heading = field;
            if (field.isEmpty())
                return fail(
                    QStringLiteral("A column names no field (line %1).").arg(xml.lineNumber()));
            if (!unresolved(field) && !unresolved(heading))
                view.m_columns.push_back({field, heading});
        } else if (xml.name() == QLatin1String("filter")) {
            const QString value = attrs.value(QLatin1String("equals")).toString();
            if (field.isEmpty())
                return fail(
                    QStringLiteral("A filter names no field (line %1).").arg(xml.lineNumber()));
            if (!unresolved(field) && !unresolved(value))
                view.m_conditions.push_back({field, value});
        }
    }
    if (xml.hasError())
        return fail(QStringLiteral("Line %1: %2").arg(xml.lineNumber()).arg(xml.errorString()));
    if (!inView)
        return fail(QStringLiteral("The file holds no view."));
    if (view.m_columns.empty())
        return fail(QStringLiteral("The view defines no column."));
    return view;
}

std::optional<ViewDefinition> ViewDefinition::load(const QString &path,
                                                   const ViewSubstitutions &values, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    return parse(substituteViewPlaceholders(QString::fromUtf8(file.readAll()), values), error);
}

bool ViewDefinition::shows(const pim::Item &item) const
{
    for (const ViewCondition &c : m_conditions) {
        const QVariant v = item.property(c.field);
        if (v.toString().compare(c.value, Qt::CaseInsensitive) != 0)
            return false;
    }
    return true;
}

} // namespace quorvale
