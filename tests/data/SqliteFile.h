#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <gtest/gtest.h>

namespace quorvale::test {

// A SQLite file opened through a connection of its own for the length of one
// block, closed and unregistered afterwards.
class SqliteFile {
public:
    explicit SqliteFile(const QString &path)
    {
        static int counter = 0;
        m_name = QStringLiteral("data-test-%1").arg(++counter);
        m_db = QSqlDatabase::addDatabase("QSQLITE", m_name);
        m_db.setDatabaseName(path);
        if (!m_db.open())
            ADD_FAILURE() << m_db.lastError().text().toStdString();
    }
    ~SqliteFile()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase &db() { return m_db; }
    // The first column of the first row; invalid when the statement fails.
    QVariant scalar(const QString &sql)
    {
        QSqlQuery q(m_db);
        if (!q.exec(sql) || !q.next())
            return {};
        return q.value(0);
    }

private:
    QString m_name;
    QSqlDatabase m_db;
};

} // namespace quorvale::test
