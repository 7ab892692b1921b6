#pragma once

#include "outlook/LinkListKind.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <optional>
#include <vector>

namespace quorvale {

// One line of a link list: its values in the order of the kind's fields.
// Dates are QDateTime, counts int, money the Money's stored units (qlonglong):
// Rate and Total of the charge kinds. StoreID is kept beside the values for
// messages, whose items may live in any store.
struct LinkRow {
    QVariantList values;
    QString storeId;
};

// The TimeCard's links of one kind as the Links page shows them: built fresh
// for each display and never written back.
struct LinkList {
    LinkListKind kind = LinkListKind::PersonalTasks;
    QStringList fields;
    std::vector<LinkRow> rows;
    QString sort;

    static LinkList empty(LinkListKind kind);

    int fieldIndex(const QString &field) const { return static_cast<int>(fields.indexOf(field)); }
    QVariant value(std::size_t row, const QString &field) const;
    QVariant eid(std::size_t row) const { return rows.at(row).values.value(0); }
    // The row whose EID is that one (compared as text, as the grid holds it).
    std::optional<std::size_t> findRow(const QVariant &eid) const;

    // Orders the rows by "Field ASC" or "Field DESC"; empty values come first
    // ascending, as the database orders them. Rows with equal keys keep their
    // order. An unknown field leaves the rows as they are.
    void applySort(const QString &sort);
};

// The field a column heading sorts by.
QString linkSortField(const QString &heading);
// The sort a click on a heading asks for: the other direction of what the list
// is sorted by now (descending unless the present sort is). The second column
// does not sort: nullopt.
std::optional<QString> linkSortForHeading(const QString &currentSort, const QString &heading,
                                          int column);

} // namespace quorvale
