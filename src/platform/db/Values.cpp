#include "Values.h"

#include "platform/core/Money.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace quorvale::db {

QVariant toBindable(const QVariant &value, Dialect dialect)
{
    const int type = value.typeId();
    if (!value.isValid())
        return QVariant(QMetaType::fromType<QString>());
    if (type == QMetaType::Bool)
        return value.isNull() ? QVariant(QMetaType::fromType<int>())
                              : QVariant(value.toBool() ? -1 : 0);
    if (type == qMetaTypeId<Money>())
        return value.value<Money>().toStored();
    if (dialect != Dialect::SQLite)
        return value;
    // SQLite has no date types: store ISO text, which sorts and compares as dates do.
    switch (type) {
    case QMetaType::QDate:
        return value.isNull() ? QVariant(QMetaType::fromType<QString>())
                              : QVariant(value.toDate().toString(Qt::ISODate));
    case QMetaType::QTime:
        return value.isNull() ? QVariant(QMetaType::fromType<QString>())
                              : QVariant(value.toTime().toString(QStringLiteral("HH:mm:ss")));
    case QMetaType::QDateTime:
        return value.isNull()
                   ? QVariant(QMetaType::fromType<QString>())
                   : QVariant(value.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")));
    default:
        return value;
    }
}

} // namespace quorvale::db
