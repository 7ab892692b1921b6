#include "LinkList.h"

#include <QDateTime>
#include <algorithm>

namespace quorvale {

namespace {

int compareValues(const QVariant &a, const QVariant &b)
{
    const bool aEmpty = a.isNull() || !a.isValid();
    const bool bEmpty = b.isNull() || !b.isValid();
    if (aEmpty || bEmpty)
        return aEmpty == bEmpty ? 0 : (aEmpty ? -1 : 1);
    if (a.metaType().id() == QMetaType::QString || b.metaType().id() == QMetaType::QString)
        return a.toString().compare(b.toString(), Qt::CaseInsensitive);
    const QPartialOrdering order = QVariant::compare(a, b);
    if (order == QPartialOrdering::Less)
        return -1;
    if (order == QPartialOrdering::Greater)
        return 1;
    return 0;
}

} // namespace

LinkList LinkList::empty(LinkListKind kind)
{
    LinkList list;
    list.kind = kind;
    list.fields = linkListFields(kind);
    list.sort = linkListDefaultSort(kind);
    return list;
}

QVariant LinkList::value(std::size_t row, const QString &field) const
{
    const int index = fieldIndex(field);
    return index < 0 ? QVariant() : rows.at(row).values.value(index);
}

std::optional<std::size_t> LinkList::findRow(const QVariant &wanted) const
{
    const QString text = wanted.toString();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (eid(i).toString() == text)
            return i;
    return std::nullopt;
}

void LinkList::applySort(const QString &newSort)
{
    const QStringList parts = newSort.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return;
    const int index = fieldIndex(parts.first());
    if (index < 0)
        return;
    const bool descending =
        parts.size() > 1 && parts.at(1).compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0;
    std::stable_sort(rows.begin(), rows.end(), [&](const LinkRow &a, const LinkRow &b) {
        const int c = compareValues(a.values.value(index), b.values.value(index));
        return descending ? c > 0 : c < 0;
    });
    sort = newSort;
}

QString linkSortField(const QString &heading)
{
    static const QList<std::pair<QString, QString>> map = {
        {QStringLiteral("Start Date"), QStringLiteral("StartDate")},
        {QStringLiteral("Start"), QStringLiteral("StartDate")},
        {QStringLiteral("Start Time"), QStringLiteral("StartTime")},
        {QStringLiteral("File Name"), QStringLiteral("FileName")},
        {QStringLiteral("File Path"), QStringLiteral("FilePath")},
        {QStringLiteral("Path"), QStringLiteral("FilePath")},
        {QStringLiteral("Due Date"), QStringLiteral("DueDate")},
        {QStringLiteral("Expense Type"), QStringLiteral("Abbreviation")},
        {QStringLiteral("#"), QStringLiteral("Units")},
        {QStringLiteral("Fixed Charge Description"), QStringLiteral("Description")},
    };
    for (const auto &[caption, field] : map)
        if (caption == heading)
            return field;
    return heading;
}

std::optional<QString> linkSortForHeading(const QString &currentSort, const QString &heading,
                                          int column)
{
    if (column == 1)
        return std::nullopt;
    const QString field = linkSortField(heading);
    return field + (currentSort.endsWith(QLatin1String("DESC")) ? QStringLiteral(" ASC")
                                                                : QStringLiteral(" DESC"));
}

} // namespace quorvale
