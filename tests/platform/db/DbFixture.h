#pragma once

#include "platform/db/Connection.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QString>

namespace quorvale::db::test {

inline QString jetString(const QString &file)
{
    return "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + file +
           ";Jet OLEDB:Database Password=r9h)2m!]7kWq4/TbNeYs;";
}

inline QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// A fresh data file with the two tables the working sets join.
inline QString makeDataFile(const quorvale::test::TempDir &dir, const QString &name = "QVData.db")
{
    const QString path = dir.filePath(name);
    Connection::createSqliteFile(path);
    Connection c;
    c.open(jetString(path));
    c.execute(QStringLiteral(
        "CREATE TABLE tblContacts (ContactID INTEGER PRIMARY KEY, Name TEXT, Active INTEGER "
        "NOT NULL DEFAULT -1)"));
    c.execute(QStringLiteral(
        "CREATE TABLE tblTimeCards (TimeCardID INTEGER PRIMARY KEY, UserID INTEGER NOT NULL, "
        "ContactID INTEGER, InvoiceID INTEGER, Subject TEXT, Inactive INTEGER NOT NULL DEFAULT 0, "
        "StartDate TEXT, StartTime TEXT, Value BIGINT, BillStatus TEXT DEFAULT 'Billable')"));
    return path;
}

} // namespace quorvale::db::test
