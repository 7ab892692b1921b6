#include "qvadmin/ReportTable.h"

#include "platform/core/Duration.h"
#include "platform/core/Money.h"
#include "platform/db/Values.h"

#include <QTime>

namespace quorvale::admin {

QString ReportTable::display(int column, const QVariant &value) const
{
    if (value.isNull() || !value.isValid())
        return {};
    switch (columns.at(column).format) {
    case ReportFormat::Text:
        return value.toString();
    case ReportFormat::Number:
        return QString::number(value.toLongLong());
    case ReportFormat::Money:
        return Money::fromStored(value).toDisplayString();
    case ReportFormat::Date: {
        const QDate d = db::dateFrom(value);
        // Stored as ISO text already on SQLite: shown as it stands.
        if (d.isValid() && value.typeId() == QMetaType::QString)
            return value.toString();
        return d.isValid() ? d.toString(Qt::ISODate) : value.toString();
    }
    case ReportFormat::Time: {
        const QTime t = value.toTime();
        return t.isValid() ? t.toString(QStringLiteral("HH:mm")) : value.toString();
    }
    case ReportFormat::Duration:
        // A damaged duration text counts as no time, so one bad row cannot hide the
        // others' total.
        return Duration::fromColumnOrZero(value).toShown();
    case ReportFormat::Percent:
        return QString::number(value.toDouble() * 100.0, 'f', 0) + u'%';
    }
    return value.toString();
}

QString ReportTable::total(int column) const
{
    const ReportColumn &c = columns.at(column);
    if (!c.totalled)
        return {};
    switch (c.format) {
    case ReportFormat::Money: {
        Money sum;
        for (const QVariantList &row : rows)
            sum += Money::fromStored(row.at(column));
        return sum.toDisplayString();
    }
    case ReportFormat::Duration: {
        Duration sum;
        for (const QVariantList &row : rows)
            sum = sum + Duration::fromColumnOrZero(row.at(column));
        return sum.toShown();
    }
    default: {
        qint64 sum = 0;
        for (const QVariantList &row : rows)
            sum += row.at(column).toLongLong();
        return QString::number(sum);
    }
    }
}

bool ReportTable::hasTotals() const
{
    for (const ReportColumn &c : columns)
        if (c.totalled)
            return true;
    return false;
}

void applyTerms(ReportTable &table, const Terms &terms)
{
    for (ReportColumn &c : table.columns) {
        if (c.heading == QLatin1String("Contact"))
            c.heading = terms.contact;
        else if (c.heading == QLatin1String("Activity 1"))
            c.heading = terms.activity1;
        else if (c.heading == QLatin1String("Activity 2"))
            c.heading = terms.activity2;
    }
}

} // namespace quorvale::admin
