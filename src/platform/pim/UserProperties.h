#pragma once

#include <QString>
#include <QVariant>
#include <vector>

namespace quorvale::pim {

// The types a user property can take, numbered as Outlook numbers them.
enum class UserPropertyType {
    Text = 1,
    Number = 3,
    Currency = 14,
};

// A named value the program keeps on an item beyond its standard properties:
// an X- property in iCalendar and vCard, an X- header in mail. A Currency value
// is a Money (platform/core/Money.h); a Number a double; Text a QString.
struct UserProperty {
    QString name;
    UserPropertyType type = UserPropertyType::Text;
    QVariant value;

    bool operator==(const UserProperty &) const = default;
};

// An item's user properties, in the order they were added. Names compare
// without regard to case, as the program's callers spell them inconsistently.
class UserProperties {
public:
    // The property of that name, added (with an empty value) when missing; an
    // existing one keeps its value and takes the type given.
    UserProperty &Add(const QString &name, UserPropertyType type, bool addToFolderFields = false);
    UserProperty *Find(const QString &name);
    const UserProperty *Find(const QString &name) const;
    bool Remove(const QString &name);
    int Count() const { return static_cast<int>(m_properties.size()); }
    const std::vector<UserProperty> &all() const { return m_properties; }

    // The value of the property, or an invalid QVariant.
    QVariant value(const QString &name) const;
    // Sets (adding as needed) and returns whether anything changed.
    bool setValue(const QString &name, UserPropertyType type, const QVariant &value);

    bool operator==(const UserProperties &) const = default;

private:
    std::vector<UserProperty> m_properties;
};

// How a user property is written as a standard X- name: "QuorvaleID" becomes
// "X-QUORVALE-QUORVALEID"; the original spelling and the type travel as
// parameters so a value reads back exactly.
namespace UserPropertyNames {
inline constexpr const char *Prefix = "X-QUORVALE-";
QString toExtensionName(const QString &name);
// Value texts: Currency as Money's exact text, Number in C locale.
QString valueToText(const UserProperty &property);
QVariant valueFromText(UserPropertyType type, const QString &text);
QString typeToText(UserPropertyType type);
UserPropertyType typeFromText(const QString &text);
} // namespace UserPropertyNames

} // namespace quorvale::pim
