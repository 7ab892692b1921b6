// The same classes against a real PostgreSQL server over ODBC. Runs under
// scripts/with-postgres.sh, which provides the data source; skipped without it.
#include "platform/core/Money.h"
#include "platform/core/QvError.h"
#include "platform/db/Command.h"
#include "platform/db/Recordset.h"
#include "platform/db/Transaction.h"

#include <QCoreApplication>
#include <QDate>
#include <QProcess>
#include <QTime>
#include <QUuid>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

using namespace quorvale;
using namespace quorvale::db;

namespace {

QString odbcString()
{
    return QStringLiteral("ODBC;DSN=%1;Database=quorvale_test;UID=%2;PWD=;")
        .arg(qEnvironmentVariable("QUORVALE_TEST_ODBC_DSN"),
             qEnvironmentVariable("QUORVALE_TEST_PG_USER", "qvtest"));
}

class OdbcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("QUORVALE_TEST_ODBC_DSN"))
            GTEST_SKIP() << "no ODBC test data source (run under scripts/with-postgres.sh)";
        // The server is shared during a run: every test gets tables of its own.
        table = "tbltc_" + QUuid::createUuid().toString(QUuid::Id128).left(12).toLower();
        conn.open(odbcString());
        conn.execute(
            QStringLiteral("CREATE TABLE %1 (TimeCardID SERIAL PRIMARY KEY, UserID INTEGER NOT "
                           "NULL, ContactID INTEGER, Subject VARCHAR(255), Inactive SMALLINT NOT "
                           "NULL DEFAULT 0, StartDate DATE, StartTime TIME, Value BIGINT)")
                .arg(table));
        for (int i = 1; i <= 6; ++i)
            conn.execute(QStringLiteral("INSERT INTO %1 (UserID, ContactID, Subject, Value, "
                                        "StartDate) VALUES (?, ?, ?, ?, ?)")
                             .arg(table),
                         {i <= 4 ? 1 : 2, i % 2 ? QVariant(i) : QVariant(),
                          QStringLiteral("card %1").arg(i), qlonglong(i) * 10000,
                          QDate(2024, 3, i)});
    }

    void TearDown() override
    {
        if (conn.isOpen())
            conn.execute(QStringLiteral("DROP TABLE IF EXISTS %1").arg(table));
    }

    QString sql(const char *text) const { return QString::fromLatin1(text).arg(table); }

    QString table;
    Connection conn;
};

} // namespace

TEST_F(OdbcTest, ConnectsToPostgresAndKnowsItsDialect)
{
    EXPECT_EQ(conn.engine(), Engine::Odbc);
    EXPECT_EQ(conn.dialect(), Dialect::PostgreSQL);
    EXPECT_EQ(conn.primaryKey(table.toUpper()), "timecardid");
    EXPECT_TRUE(conn.tables().contains(table, Qt::CaseInsensitive));
    // The same source named the other ways the program writes it.
    Connection plain;
    plain.open(odbcString().mid(5));
    EXPECT_EQ(plain.scalar("SELECT 1").toInt(), 1);
    Connection msdasql;
    msdasql.open("PROVIDER=MSDASQL;" + odbcString().mid(5));
    EXPECT_EQ(msdasql.scalar(sql("SELECT count(*) FROM %1")).toInt(), 6);
}

TEST_F(OdbcTest, WrongDatabaseIsReportedWithTheDataSource)
{
    Connection bad;
    try {
        bad.open(QStringLiteral("ODBC;DSN=%1;Database=no_such_db;UID=qvtest;PWD=;")
                     .arg(qEnvironmentVariable("QUORVALE_TEST_ODBC_DSN")));
        FAIL();
    } catch (const QvError &e) {
        EXPECT_TRUE(e.description().contains(qEnvironmentVariable("QUORVALE_TEST_ODBC_DSN")));
        EXPECT_TRUE(e.description().contains("no_such_db"));
    }
}

TEST_F(OdbcTest, ValuesAndJetSqlRoundTrip)
{
    const QString nasty = "O'Brien'); DROP TABLE x; --";
    const qlonglong id = conn.insertReturningKey(
        sql("INSERT INTO %1 (UserID, Subject, Inactive, StartDate, StartTime, [Value]) VALUES "
            "(?, ?, ?, ?, ?, ?)"),
        {9, nasty, true, QDate(2024, 2, 29), QTime(23, 59, 58),
         QVariant::fromValue(Money::fromUnits(-98765432101LL))},
        "TimeCardID");
    EXPECT_EQ(id, 7);
    Command read(conn, sql("SELECT * FROM %1 WHERE TimeCardID = ? AND Inactive = True"));
    const auto row = read.first({id});
    ASSERT_TRUE(row);
    EXPECT_EQ(row->value("subject").toString(), nasty);
    EXPECT_EQ(row->value("startdate").toDate(), QDate(2024, 2, 29));
    EXPECT_EQ(row->value("starttime").toTime(), QTime(23, 59, 58));
    EXPECT_EQ(Money::fromStored(row->value("value")), Money::fromUnits(-98765432101LL));
    EXPECT_EQ(conn.execute(sql("UPDATE %1 SET ContactID = ?, StartDate = ? WHERE UserID = ?"),
                           {QVariant(), QVariant(), 9}),
              1);
    EXPECT_EQ(conn.scalar(sql("SELECT count(*) FROM %1 WHERE ContactID IS NULL")).toInt(), 4);
}

// Long reads come from the ODBC driver itself, not through Qt's driver: every
// value must be what Qt's driver would have given.
TEST_F(OdbcTest, LongReadsGiveWhatQtsDriverGives)
{
    conn.execute(sql("ALTER TABLE %1 ADD COLUMN Notes TEXT"));
    // Longer than a piece of the reader, and not all ASCII.
    const QString longText = QStringLiteral("Zürich café · ").repeated(300);
    conn.execute(sql("UPDATE %1 SET Notes = ?, StartTime = ? WHERE UserID = 1"),
                 {longText, QTime(8, 30, 15)});
    const QString select = sql("SELECT TimeCardID, UserID, ContactID, Subject, Inactive, "
                               "StartDate, StartTime, [Value], Notes FROM %1 WHERE StartDate >= ? "
                               "AND Subject <> ? ORDER BY TimeCardID");
    const QVariantList params{QDate(2024, 3, 2), QStringLiteral("card 5")};
    std::vector<QVariantList> fast;
    conn.readRows(select, params, [&fast](QVariant *values, int columns) {
        fast.emplace_back(values, values + columns);
    });
    std::vector<QVariantList> qt;
    QSqlQuery q = conn.prepare(select);
    conn.run(q, params);
    while (q.next()) {
        QVariantList row;
        for (int c = 0; c < q.record().count(); ++c)
            row << q.value(c);
        qt.push_back(row);
    }
    ASSERT_EQ(fast.size(), 4u);
    ASSERT_EQ(fast.size(), qt.size());
    for (std::size_t r = 0; r < qt.size(); ++r) {
        for (qsizetype c = 0; c < qt[r].size(); ++c) {
            SCOPED_TRACE(testing::Message() << "row " << r << ", column " << c);
            EXPECT_EQ(fast[r][c].isNull(), qt[r][c].isNull());
            if (!qt[r][c].isNull()) {
                EXPECT_EQ(fast[r][c], qt[r][c]) << fast[r][c].toString().left(40).toStdString();
            }
        }
    }
    EXPECT_EQ(fast[0][8].toString(), longText);
    EXPECT_EQ(fast[0][5].typeId(), QMetaType::QDate);
    EXPECT_EQ(fast[0][7].typeId(), QMetaType::LongLong);

    // A statement the server refuses is told as one, with the statement kept out
    // of what the person reads.
    try {
        conn.readRows(sql("SELECT NoSuchColumn FROM %1"), {}, [](QVariant *, int) {});
        FAIL();
    } catch (const QvError &e) {
        EXPECT_NE(e.number(), long(ErrorNumber::ConnectionLost));
    }
}

// The server's text cannot hold U+0000: the driver would cut the text there.
TEST_F(OdbcTest, ANulCharacterIsLeftOutAndTheRestOfTheTextKept)
{
    const QString typed = QStringLiteral("before") + QChar(0) + QStringLiteral(" after");
    conn.execute(sql("UPDATE %1 SET Subject = ? WHERE TimeCardID = 1"), {typed});
    EXPECT_EQ(conn.scalar(sql("SELECT Subject FROM %1 WHERE TimeCardID = 1")).toString(),
              QStringLiteral("before after"));
}

TEST_F(OdbcTest, TransactionsNestOnTheServer)
{
    {
        Transaction outer(conn);
        conn.execute(sql("DELETE FROM %1 WHERE UserID = 2"));
        {
            Transaction inner(conn);
            conn.execute(sql("DELETE FROM %1"));
        }
        outer.commit();
    }
    EXPECT_EQ(conn.scalar(sql("SELECT count(*) FROM %1")).toInt(), 4);
}

TEST_F(OdbcTest, KeysetRecordsetOnTheServer)
{
    Recordset rs;
    rs.open(conn,
            sql("SELECT %1.* FROM %1 WHERE %1.UserID = ? AND %1.Inactive=False ORDER BY "
                "%1.[Value] DESC"),
            CursorType::Keyset, LockType::Optimistic, {1});
    ASSERT_TRUE(rs.isKeyset());
    EXPECT_EQ(rs.recordCount(), 4);
    EXPECT_EQ(rs.value("TimeCardID").toInt(), 4);
    rs.moveLast();
    EXPECT_EQ(rs.value("Subject").toString(), "card 1");
    rs.moveFirst();
    rs.find("ContactID", QVariant());
    EXPECT_EQ(rs.value("TimeCardID").toInt(), 4);
    rs.moveNext();
    rs.find("ContactID", QVariant());
    EXPECT_EQ(rs.value("TimeCardID").toInt(), 2);
    rs.setFilter(sql("%1.Subject <> ?"), {"card 3"});
    EXPECT_EQ(rs.recordCount(), 3);
    rs.clearFilter();

    rs.addNew();
    rs.setValue("UserID", 1);
    rs.setValue("Subject", "new");
    rs.setValue("StartDate", QDate(2025, 1, 2));
    rs.update();
    EXPECT_EQ(rs.recordCount(), 5);
    EXPECT_EQ(rs.value("Inactive").toInt(), 0); // the server's default, read back
    EXPECT_EQ(rs.value("StartDate").toDate(), QDate(2025, 1, 2));

    // Optimistic conflict with a second connection.
    Connection other;
    other.open(odbcString());
    rs.moveFirst();
    other.execute(sql("UPDATE %1 SET Subject = 'theirs' WHERE TimeCardID = 4"));
    rs.setValue("Value", 1);
    try {
        rs.update();
        FAIL();
    } catch (const QvError &e) {
        EXPECT_EQ(e.number(), ErrorNumber::RowChanged);
    }
    rs.move(0);
    EXPECT_EQ(rs.value("Subject").toString(), "theirs");
    rs.setValue("Value", 1);
    rs.update();
    EXPECT_EQ(other.scalar(sql("SELECT Value FROM %1 WHERE TimeCardID = 4")).toLongLong(), 1);

    other.execute(sql("DELETE FROM %1 WHERE TimeCardID = 3"));
    rs.moveNext(); // 3 was next; it is skipped
    EXPECT_EQ(rs.value("TimeCardID").toInt(), 2);
    rs.deleteCurrent();
    EXPECT_EQ(conn.scalar(sql("SELECT count(*) FROM %1 WHERE UserID = 1")).toInt(), 3);
}

namespace {

// The same connection while its server is stopped and started again.
class OdbcLostServerTest : public OdbcTest {
protected:
    void SetUp() override
    {
        ctl = qEnvironmentVariable("QUORVALE_TEST_PG_CTL");
        if (ctl.isEmpty())
            GTEST_SKIP() << "no test server to stop (run under scripts/with-postgres.sh)";
        OdbcTest::SetUp();
    }
    void TearDown() override
    {
        if (stopped)
            server("start");
        if (conn.isLost())
            conn.reconnect();
        OdbcTest::TearDown();
    }
    void server(const char *action)
    {
        ASSERT_EQ(QProcess::execute(ctl, {QString::fromLatin1(action)}), 0) << action;
        stopped = QLatin1String(action) == QLatin1String("stop");
    }
    // The error a statement throws, or none.
    static std::optional<QvError> thrown(const std::function<void()> &statement)
    {
        try {
            statement();
        } catch (const QvError &e) {
            return e;
        }
        return std::nullopt;
    }

    QString ctl;
    bool stopped = false;
};

} // namespace

TEST_F(OdbcLostServerTest, OnlyAServerThatWentAwayCountsAsALostConnection)
{
    // A statement the server refuses is an error of its own, not a lost server.
    const std::optional<QvError> refused = thrown([&] { conn.execute("SELEC nothing"); });
    ASSERT_TRUE(refused);
    EXPECT_FALSE(isConnectionLost(*refused));
    EXPECT_FALSE(conn.isLost());

    Command count(conn, sql("SELECT count(*) FROM %1 WHERE UserID = ?"));
    ASSERT_NO_FATAL_FAILURE(server("stop"));
    struct Case {
        const char *what;
        std::function<void()> statement;
    };
    const Case cases[] = {
        {"a prepared command", [&] { count.first({1}); }},
        {"a new statement", [&] { conn.scalar(sql("SELECT count(*) FROM %1")); }},
        {"a transaction", [&] { Transaction tx(conn); }},
        {"a new record set",
         [&] {
             Recordset rs;
             rs.open(conn, sql("SELECT * FROM %1"), CursorType::Keyset, LockType::Optimistic);
         }},
    };
    for (const Case &c : cases) {
        const std::optional<QvError> e = thrown(c.statement);
        ASSERT_TRUE(e) << c.what;
        EXPECT_TRUE(isConnectionLost(*e)) << c.what << ": " << e->description().toStdString();
        EXPECT_TRUE(conn.isLost()) << c.what;
        EXPECT_TRUE(conn.isOpen()) << c.what; // still the same connection for its users
    }
    EXPECT_FALSE(conn.reconnect());
}

TEST_F(OdbcLostServerTest, AfterTheServerReturnsPreparedStatementsAndAPendingEditGoOn)
{
    Command count(conn, sql("SELECT count(*) FROM %1 WHERE UserID = ?"));
    Recordset rs;
    rs.open(conn, sql("SELECT %1.* FROM %1 WHERE %1.UserID = ? ORDER BY %1.TimeCardID"),
            CursorType::Keyset, LockType::Optimistic, {1});
    Recordset other;
    other.open(conn, sql("SELECT %1.* FROM %1 WHERE %1.UserID = 2 ORDER BY %1.TimeCardID"),
               CursorType::Keyset, LockType::ReadOnly);
    ASSERT_NO_FATAL_FAILURE(server("stop"));
    rs.setValue("Subject", "typed while the server was away");
    const std::optional<QvError> lost = thrown([&] { rs.update(); });
    ASSERT_TRUE(lost);
    EXPECT_TRUE(isConnectionLost(*lost));
    // The edit is kept, and the set stays on its row when the next one cannot be read.
    EXPECT_EQ(rs.editMode(), EditMode::InProgress);
    EXPECT_EQ(rs.value("Subject").toString(), "typed while the server was away");
    EXPECT_TRUE(thrown([&] { count.first({1}); }));
    EXPECT_TRUE(thrown([&] { other.moveNext(); }));
    EXPECT_EQ(other.value("TimeCardID").toInt(), 5);

    ASSERT_NO_FATAL_FAILURE(server("start"));
    // The first statement after the return makes the connection again by itself.
    EXPECT_EQ(count.first({1})->value(0).toInt(), 4);
    EXPECT_FALSE(conn.isLost());
    EXPECT_EQ(conn.reconnects(), 1);
    rs.update();
    EXPECT_EQ(conn.scalar(sql("SELECT Subject FROM %1 WHERE TimeCardID = 1")).toString(),
              "typed while the server was away");
    rs.moveNext();
    EXPECT_EQ(rs.value("TimeCardID").toInt(), 2);
    EXPECT_EQ(count.first({2})->value(0).toInt(), 2);
}
