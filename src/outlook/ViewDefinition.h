#pragma once

#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

namespace quorvale {

namespace pim {
class Item;
}

// What the view files put in for their placeholders: the user's name for
// "[QVUserName]" and, when Activity 1 is in use, its term for "[MainActivity]".
struct ViewSubstitutions {
    QString userName;
    std::optional<QString> activity1Term;
};

// Replaces every "[QVUserName]" and (when there is a term) every
// "[MainActivity]" in a view file's text. The values are escaped for XML, so a
// name such as "Smith & Jones" cannot break the definition.
QString substituteViewPlaceholders(QString text, const ViewSubstitutions &values);

struct ViewColumn {
    QString field;   // an item property ("Subject", "Start") or a user property
    QString heading; // the column's caption
};

// Only items whose property `field` equals `value` (without regard to case)
// are listed.
struct ViewCondition {
    QString field;
    QString value;
};

// One folder view as a view file defines it:
//
//   <view name="Quorvale TimeCards">
//     <filter field="Quorvale Staff" equals="[QVUserName]"/>
//     <column field="Subject" heading="Subject"/>
//     <column field="[MainActivity]" heading="[MainActivity]"/>
//   </view>
//
// Columns and filters still naming "[MainActivity]" after substitution belong
// to an Activity 1 that is not in use; they are left out.
class ViewDefinition {
public:
    // Parses substituted text; nothing (and the reason in *error) when it is no
    // view definition or defines no column.
    static std::optional<ViewDefinition> parse(const QString &text, QString *error = nullptr);
    // Reads, substitutes and parses a view file; nothing when it is missing,
    // unreadable or invalid.
    static std::optional<ViewDefinition> load(const QString &path, const ViewSubstitutions &values,
                                              QString *error = nullptr);

    const QString &name() const { return m_name; }
    const std::vector<ViewColumn> &columns() const { return m_columns; }
    const std::vector<ViewCondition> &conditions() const { return m_conditions; }

    // The item passes every condition of the view.
    bool shows(const pim::Item &item) const;

private:
    QString m_name;
    std::vector<ViewColumn> m_columns;
    std::vector<ViewCondition> m_conditions;
};

} // namespace quorvale
