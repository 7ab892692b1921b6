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
    if (dialect != Dialect::SQLite) {
        // SQLite's driver stores a null QString as empty text, ODBC's as a null: the
        // engines must agree, and the files people have hold empty text.
        if (type == QMetaType::QString && !value.isNull() && value.toString().isNull())
            return QVariant(QStringLiteral(""));
        // A server's text holds no U+0000, and the driver would end the text at
        // one: everything after it would be lost without a word.
        if (type == QMetaType::QString && value.toString().contains(QChar(0)))
            return QVariant(value.toString().remove(QChar(0)));
        return value;
    }
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

QDate dateFrom(const QVariant &stored)
{
    if (stored.typeId() != QMetaType::QString)
        return stored.toDate();
    // Lists and invoices read a date per row: the ISO form needs no parser.
    const QString text = stored.toString();
    const auto digit = [&text](qsizetype i) {
        const char16_t c = text[i].unicode();
        return c >= u'0' && c <= u'9' ? int(c - u'0') : -1;
    };
    if (text.size() == 10 && text[4] == u'-' && text[7] == u'-') {
        int v[8];
        const qsizetype at[8] = {0, 1, 2, 3, 5, 6, 8, 9};
        bool ok = true;
        for (int i = 0; i < 8 && ok; ++i)
            ok = (v[i] = digit(at[i])) >= 0;
        if (ok)
            return QDate(v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3], v[4] * 10 + v[5],
                         v[6] * 10 + v[7]);
    }
    return stored.toDate();
}

} // namespace quorvale::db
