#pragma once

#include <QString>
#include <QVariantList>

namespace quorvale {

// Conditions a filter appends to a working set's statement: " AND " + clause
// [+ " AND " + clause ...], with "?" standing for each value, in order. What a
// person typed travels in params only, never in text.
struct SqlFragment {
    QString text;
    QVariantList params;

    bool isEmpty() const { return text.isEmpty(); }
    // Adds " AND " + clause, with the values its "?" stand for.
    void add(const QString &clause, const QVariantList &values = {})
    {
        text += QStringLiteral(" AND ") + clause;
        params += values;
    }
    bool operator==(const SqlFragment &) const = default;
};

} // namespace quorvale
