#include "SqliteFile.h"
#include "data/Schema.h"
#include "data/SortOrders.h"
#include "data/WorkingSetSql.h"
#include "platform/db/SqlDialect.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

// The key statement a keyset opens with: the working set's own, reading only the key.
QString keyStatement(const QString &base, const QString &table, const QString &key)
{
    QString sql = base;
    sql.replace(QStringLiteral("SELECT %1.*").arg(table),
                QStringLiteral("SELECT %1.%2").arg(table, key));
    return sql;
}

struct Statement {
    std::string label;
    QString sql;
};

// Every statement that opens a user's open work, in every order and with and
// without hidden TimeCards and the contact test: a person can reach each one.
std::vector<Statement> openWorkStatements()
{
    std::vector<Statement> out;
    for (bool contactInUse : {true, false}) {
        for (bool includeHidden : {false, true}) {
            const WorkingSetSql sql = WorkingSetSql::build(contactInUse, includeHidden, 7);
            const std::string mode = std::string(contactInUse ? "contacts" : "no contacts") +
                                     (includeHidden ? ", hidden shown" : "");
            const QString keys = keyStatement(sql.timeCardBase, QStringLiteral("tblTimeCards"),
                                              QStringLiteral("TimeCardID"));
            out.push_back({"TimeCards unsorted (" + mode + ")", keys});
            for (const SortOrder &order : SortOrders::all())
                out.push_back({"TimeCards" + std::string(order.clause) + " (" + mode + ")",
                               keys + QLatin1String(order.clause)});
            if (!includeHidden) {
                out.push_back({"expenses (" + mode + ")",
                               keyStatement(sql.expenses, QStringLiteral("tblExpenses"),
                                            QStringLiteral("ExpenseID"))});
                out.push_back({"fixed charges (" + mode + ")",
                               keyStatement(sql.fixedCharges, QStringLiteral("tblFixedCharges"),
                                            QStringLiteral("ProductID"))});
            }
        }
    }
    return out;
}

// What the planner does with a statement, one line per step.
QStringList planOf(QSqlDatabase &db, const QString &explain, int detailColumn)
{
    QSqlQuery q(db);
    QStringList lines;
    if (!q.exec(explain)) {
        ADD_FAILURE() << explain.toStdString() << ": " << q.lastError().text().toStdString();
        return lines;
    }
    while (q.next())
        lines << q.value(detailColumn).toString();
    return lines;
}

// SQLite as the program runs it: no statistics, so the plan is the schema's alone.
TEST(WorkingSetPlan, OnSqliteEveryOpenReadsOnlyTheUsersRowsThroughAnIndex)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    test::SqliteFile file(dir.filePath(QStringLiteral("QVData.db")));
    schema::createProgramSchema(file.db(), schema::Dialect::SQLite);
    const db::SqlDialect dialect(db::Dialect::SQLite);
    // A scan of any table, or the open work found by contact or by invoice alone,
    // grows with the table instead of with the user's open rows.
    const QRegularExpression user(QStringLiteral("\\(.*UserId=\\?.*\\)"),
                                  QRegularExpression::CaseInsensitiveOption);
    for (const Statement &s : openWorkStatements()) {
        const QStringList plan =
            planOf(file.db(), QStringLiteral("EXPLAIN QUERY PLAN ") + dialect.translate(s.sql), 3);
        ASSERT_FALSE(plan.isEmpty()) << s.label;
        bool userRange = false;
        for (const QString &step : plan) {
            EXPECT_FALSE(step.startsWith(QLatin1String("SCAN ")))
                << s.label << ": " << step.toStdString();
            if (step.startsWith(QLatin1String("SEARCH tblContacts")))
                EXPECT_TRUE(step.contains(QLatin1String("PRIMARY KEY")))
                    << s.label << ": " << step.toStdString();
            else if (step.startsWith(QLatin1String("SEARCH ")))
                userRange = userRange || user.match(step).hasMatch();
        }
        EXPECT_TRUE(userRange) << s.label << ": " << plan.join(QLatin1String(" | ")).toStdString();
    }
}

// The server decides by its statistics, so it is given a firm's shape: many
// users' TimeCards, most of them invoiced, and the statistics read.
class WorkingSetPlanOnServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString port = qEnvironmentVariable("QUORVALE_TEST_PG_PORT");
        if (port.isEmpty())
            GTEST_SKIP() << "no test server (run under scripts/with-postgres.sh)";
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("plan-pg"));
        m_db.setHostName(QStringLiteral("127.0.0.1"));
        m_db.setPort(port.toInt());
        m_db.setUserName(qEnvironmentVariable("QUORVALE_TEST_PG_USER", QStringLiteral("qvtest")));
        m_db.setDatabaseName(QStringLiteral("quorvale_test"));
        ASSERT_TRUE(m_db.open()) << m_db.lastError().text().toStdString();
        m_schema = QStringLiteral("qv_plan_test_%1").arg(QCoreApplication::applicationPid());
        for (const QString &sql : {QStringLiteral("SET client_min_messages TO warning"),
                                   QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_schema),
                                   QStringLiteral("CREATE SCHEMA %1").arg(m_schema),
                                   QStringLiteral("SET search_path TO %1").arg(m_schema)})
            ASSERT_NO_FATAL_FAILURE(exec(sql));
        schema::createProgramSchema(m_db, schema::Dialect::PostgreSQL);
        for (const char *sql :
             {"INSERT INTO tblContacts (ContactName, Active) SELECT 'Client ' || i, -1 "
              "FROM generate_series(1, 2000) i",
              "INSERT INTO tblTimeCards (UserId, ContactID, InvoiceID, Inactive) "
              "SELECT i % 200, i % 2000 + 1, CASE WHEN i % 50 = 0 THEN NULL ELSE i / 50 END, "
              "0 FROM generate_series(1, 100000) i",
              "INSERT INTO tblExpenses (UserID, ContactID, InvoiceID) SELECT i % 200, "
              "i % 2000 + 1, CASE WHEN i % 50 = 0 THEN NULL ELSE i / 50 END "
              "FROM generate_series(1, 20000) i",
              "INSERT INTO tblFixedCharges (UserID, ContactID, InvoiceID) SELECT i % 200, "
              "i % 2000 + 1, CASE WHEN i % 50 = 0 THEN NULL ELSE i / 50 END "
              "FROM generate_series(1, 20000) i",
              "ANALYZE"})
            ASSERT_NO_FATAL_FAILURE(exec(QString::fromLatin1(sql)));
    }
    void TearDown() override
    {
        if (m_db.isOpen()) {
            QSqlQuery(m_db).exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_schema));
            m_db.close();
        }
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("plan-pg"));
    }
    void exec(const QString &sql)
    {
        QSqlQuery q(m_db);
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    }

    QSqlDatabase m_db;
    QString m_schema;
};

TEST_F(WorkingSetPlanOnServer, EveryOpenReadsOnlyTheUsersRowsThroughAnIndex)
{
    const db::SqlDialect dialect(db::Dialect::PostgreSQL);
    for (const Statement &s : openWorkStatements()) {
        const QString table = s.sql.section(QLatin1Char('.'), 0, 0).section(u' ', 1).toLower();
        const QStringList plan =
            planOf(m_db, QStringLiteral("EXPLAIN ") + dialect.translate(s.sql), 0);
        const QString text = plan.join(u'\n');
        // The table of the open work is reached through its user, never read
        // whole nor through its contacts.
        EXPECT_FALSE(text.contains(QStringLiteral("Seq Scan on ") + table)) << s.label << ":\n"
                                                                            << text.toStdString();
        EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Cond: .*userid = 7"))))
            << s.label << ":\n"
            << text.toStdString();
    }
}

} // namespace
