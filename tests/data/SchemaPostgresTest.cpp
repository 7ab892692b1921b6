#include "data/AdminOptionOrdinals.h"
#include "data/Schema.h"
#include "data/SchemaDdl.h"
#include "data/UserSettingOrdinals.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

using namespace quorvale;
using namespace quorvale::schema;

namespace {

// The program database's DDL on the throw-away server of scripts/with-postgres.sh,
// inside a namespace of its own that is dropped afterwards: other tests share the
// database.
class PostgresSchemaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString port = qEnvironmentVariable("QUORVALE_TEST_PG_PORT");
        if (port.isEmpty())
            GTEST_SKIP() << "no test server (run under scripts/with-postgres.sh)";
        m_db = QSqlDatabase::addDatabase("QPSQL", "schema-pg");
        m_db.setHostName("127.0.0.1");
        m_db.setPort(port.toInt());
        m_db.setUserName(qEnvironmentVariable("QUORVALE_TEST_PG_USER", "qvtest"));
        m_db.setDatabaseName("quorvale_test");
        ASSERT_TRUE(m_db.open()) << m_db.lastError().text().toStdString();
        m_schema = QStringLiteral("qv_schema_test_%1").arg(QCoreApplication::applicationPid());
        exec("SET client_min_messages TO warning");
        exec("DROP SCHEMA IF EXISTS " + m_schema + " CASCADE");
        exec("CREATE SCHEMA " + m_schema);
        exec("SET search_path TO " + m_schema);
    }
    void TearDown() override
    {
        if (m_db.isOpen()) {
            exec("DROP SCHEMA IF EXISTS " + m_schema + " CASCADE");
            m_db.close();
        }
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase("schema-pg");
    }
    void exec(const QString &sql)
    {
        QSqlQuery q(m_db);
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    }
    QStringList columns(const QString &table)
    {
        QSqlQuery q(m_db);
        EXPECT_TRUE(q.prepare("SELECT column_name FROM information_schema.columns WHERE "
                              "table_schema = ? AND table_name = ? ORDER BY ordinal_position"));
        q.addBindValue(m_schema);
        q.addBindValue(table.toLower());
        EXPECT_TRUE(q.exec()) << q.lastError().text().toStdString();
        QStringList out;
        while (q.next())
            out << q.value(0).toString();
        return out;
    }

    QSqlDatabase m_db;
    QString m_schema;
};

} // namespace

TEST_F(PostgresSchemaTest, ProgramSchemaRunsAndKeepsItsColumnOrder)
{
    ASSERT_NO_THROW(createProgramSchema(m_db, Dialect::PostgreSQL));
    ASSERT_NO_THROW(insertDefaultRows(m_db));

    const QStringList timeCards = columns("tblTimeCards");
    ASSERT_EQ(timeCards.size(), 25);
    EXPECT_EQ(timeCards.first(), "timecardid");
    EXPECT_EQ(timeCards[3], "userid");
    EXPECT_EQ(timeCards.last(), "joborder");

    const QStringList options = columns("tblAdminOptions");
    ASSERT_EQ(options.size(), AdminOption::Count);
    for (const auto &c : adminOptionColumns)
        EXPECT_EQ(
            options[c.ordinal],
            QString::fromUtf8(c.column.name.data(), static_cast<qsizetype>(c.column.name.size()))
                .toLower());
    EXPECT_EQ(columns("tblUserSettings").size(), UserSetting::Count + 1);

    // Read by position the way the program reads them.
    QSqlQuery q(m_db);
    ASSERT_TRUE(q.exec("SELECT * FROM tblAdminOptions"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(AdminOption::BillingInUse).toInt(), -1);
    EXPECT_EQ(q.value(AdminOption::UpgradeRequest).toInt(), 0);
    EXPECT_EQ(q.value(AdminOption::ContactTerm).toString(), "Contact");
    ASSERT_TRUE(q.exec("SELECT * FROM tblUserSettings"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(UserSetting::DefaultSort).toString(),
              " ORDER BY tblTimeCards.TimeCardID ASC");
}

TEST_F(PostgresSchemaTest, KeysBooleansAndMoneyBehaveAsOnSqlite)
{
    ASSERT_NO_THROW(createProgramSchema(m_db, Dialect::PostgreSQL));
    exec("INSERT INTO tblContacts (ContactName, Active) VALUES ('on', -1)");
    exec("INSERT INTO tblContacts (ContactName) VALUES ('off')");
    exec("INSERT INTO tblTimeCards (UserId, ContactID, Value) VALUES (7, 1, 9007199254740993)");
    exec("INSERT INTO tblTimeCards (UserId, ContactID) VALUES (7, 2)");
    exec("INSERT INTO tblTimeCards (UserId) VALUES (7)");

    QSqlQuery q(m_db);
    ASSERT_TRUE(q.exec("SELECT tblTimeCards.TimeCardID, tblTimeCards.Value, tblTimeCards.Inactive "
                       "FROM tblTimeCards LEFT JOIN tblContacts ON tblContacts.ContactID = "
                       "tblTimeCards.ContactID WHERE (tblContacts.Active<>0 OR "
                       "tblTimeCards.ContactID Is Null) AND tblTimeCards.InvoiceID Is Null AND "
                       "tblTimeCards.Inactive=0 AND tblTimeCards.UserID=7 "
                       "ORDER BY tblTimeCards.TimeCardID"))
        << q.lastError().text().toStdString();
    QList<int> keys;
    QList<qlonglong> values;
    while (q.next()) {
        keys << q.value(0).toInt();
        values << q.value(1).toLongLong();
        EXPECT_EQ(q.value(2).toInt(), 0);
    }
    EXPECT_EQ(keys, (QList<int>{1, 3}));
    EXPECT_EQ(values, (QList<qlonglong>{9007199254740993LL, 0}));
}

TEST_F(PostgresSchemaTest, LinkAndLocalTablesRunToo)
{
    // Not used on a server today, but the descriptions must stay valid for both.
    for (auto kind : {DatabaseKind::Link, DatabaseKind::Local, DatabaseKind::Report}) {
        for (const auto &sql : createStatements(kind, Dialect::PostgreSQL))
            exec(sql);
    }
    EXPECT_EQ(columns("tblAbbreviations"),
              (QStringList{"abbreviationid", "sortorder", "abbreviation", "text"}));
}
