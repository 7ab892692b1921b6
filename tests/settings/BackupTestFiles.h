#pragma once

// What the backup, restore and compaction tests compare files by.

#include "platform/db/Connection.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <gtest/gtest.h>

namespace quorvale::test {

inline QString sqliteConnect(const QString &file)
{
    return QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=") + file;
}

inline QByteArray bytesOf(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Every row of every table, in stored order, as text: what a person would miss.
inline QMap<QString, QStringList> contents(const QString &file)
{
    db::Connection c;
    c.open(sqliteConnect(file));
    QMap<QString, QStringList> tables;
    QStringList names;
    {
        QSqlQuery q(c.database());
        EXPECT_TRUE(q.exec("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"));
        while (q.next())
            names << q.value(0).toString();
    }
    for (const QString &table : std::as_const(names)) {
        QSqlQuery q(c.database());
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table)))
            << table.toStdString();
        QStringList &rows = tables[table];
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < q.record().count(); ++i)
                values << (q.isNull(i) ? QStringLiteral("<null>") : q.value(i).toString());
            rows << values.join(u'|');
        }
    }
    return tables;
}

// Equal, or where they first differ: table, row and both texts.
inline ::testing::AssertionResult sameContents(const QMap<QString, QStringList> &actual,
                                               const QMap<QString, QStringList> &expected)
{
    if (actual.keys() != expected.keys())
        return ::testing::AssertionFailure()
               << "tables " << actual.keys().join(u',').toStdString() << " instead of "
               << expected.keys().join(u',').toStdString();
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        const QStringList &got = actual[it.key()];
        for (qsizetype i = 0; i < std::max(got.size(), it->size()); ++i)
            if (got.value(i, QStringLiteral("<no row>")) !=
                it->value(i, QStringLiteral("<no row>")))
                return ::testing::AssertionFailure()
                       << it.key().toStdString() << " row " << i << ": "
                       << got.value(i, QStringLiteral("<no row>")).toStdString() << " instead of "
                       << it->value(i, QStringLiteral("<no row>")).toStdString() << " ("
                       << got.size() << " rows instead of " << it->size() << ")";
    }
    return ::testing::AssertionSuccess();
}

inline qsizetype rowCount(const QMap<QString, QStringList> &tables)
{
    qsizetype n = 0;
    for (const QStringList &rows : tables)
        n += rows.size();
    return n;
}

// Files a run must not leave behind: temporary copies, logs of closed files.
inline QStringList leftovers(const QString &dir)
{
    QStringList found;
    for (const QString &name :
         QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name))
        if (name.startsWith(u'.') || name.endsWith(QStringLiteral("-wal")) ||
            name.endsWith(QStringLiteral("-shm")) || name.endsWith(QStringLiteral("-journal")))
            found << name;
    return found;
}

} // namespace quorvale::test
