#include "platform/db/ConnectionString.h"
#include "platform/db/SelectStatement.h"
#include "platform/db/SqlDialect.h"

#include <gtest/gtest.h>

using namespace quorvale::db;

namespace {

QString sqlite(const QString &sql)
{
    return SqlDialect(Dialect::SQLite).translate(sql);
}

QString pg(const QString &sql)
{
    return SqlDialect(Dialect::PostgreSQL).translate(sql);
}

} // namespace

TEST(ConnectionString, ParsesPairsCaseInsensitively)
{
    const ConnectionString cs(QStringLiteral(
        "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=/x/QVLink.db;Jet OLEDB:Database "
        "Password=r9h)2m!]7kWq4/TbNeYs;"));
    EXPECT_EQ(cs.provider(), "Microsoft.Jet.OLEDB.4.0");
    EXPECT_EQ(cs.value("data source"), "/x/QVLink.db");
    EXPECT_EQ(cs.value("Jet OLEDB:Database Password"), "r9h)2m!]7kWq4/TbNeYs");
    EXPECT_FALSE(cs.hadOdbcPrefix());

    const ConnectionString odbc("ODBC;DSN=QuorvaleTest;Database=q;UID=u;PWD=");
    EXPECT_TRUE(odbc.hadOdbcPrefix());
    EXPECT_EQ(odbc.provider(), "");
    EXPECT_TRUE(odbc.contains("pwd"));
    EXPECT_EQ(odbc.value("PWD"), "");
    EXPECT_EQ(odbc.toString({"uid", "PWD"}), "DSN=QuorvaleTest;Database=q;");

    // A password may hold the separator when it is braced.
    const ConnectionString braced("DSN=x;PWD={a;b}}c=d};UID= u ;Database=q");
    EXPECT_EQ(braced.value("PWD"), "a;b}c=d");
    EXPECT_EQ(braced.value("UID"), "u");
    EXPECT_EQ(braced.value("Database"), "q");
    EXPECT_EQ(braced.toString(), "DSN=x;PWD={a;b}}c=d};UID=u;Database=q;");
}

TEST(SqlDialect, BracketsBecomeLowerCaseQuotedNamesOnPostgresOnly)
{
    const QString sql = "SELECT * FROM tblTimeCards ORDER BY tblTimeCards.[Value] ASC";
    EXPECT_EQ(sqlite(sql), sql);
    EXPECT_EQ(pg(sql),
              "SELECT * FROM tblTimeCards ORDER BY tblTimeCards.\"value\" ASC NULLS FIRST");
}

TEST(SqlDialect, OrderedNullsComeFirstOnPostgresAsOnSqlite)
{
    EXPECT_EQ(pg("SELECT a FROM t ORDER BY a, [b] DESC, c ASC LIMIT 5"),
              "SELECT a FROM t ORDER BY a NULLS FIRST, \"b\" DESC NULLS LAST, c ASC NULLS FIRST "
              "LIMIT 5");
    // Every ORDER BY of the statement, inside parentheses too; an expression with
    // commas of its own is one item, and one that says where its nulls go is kept.
    EXPECT_EQ(pg("SELECT * FROM (SELECT a FROM t ORDER BY COALESCE(a, b), c) AS s ORDER BY "
                 "a DESC NULLS FIRST;"),
              "SELECT * FROM (SELECT a FROM t ORDER BY COALESCE(a, b) NULLS FIRST, c NULLS "
              "FIRST) AS s ORDER BY a DESC NULLS FIRST;");
    EXPECT_EQ(pg("SELECT a FROM t WHERE s = 'ORDER BY x'"),
              "SELECT a FROM t WHERE s = 'ORDER BY x'");
    const QString sql = "SELECT a FROM t ORDER BY a";
    EXPECT_EQ(sqlite(sql), sql);
}

TEST(SqlDialect, BooleanWordsBecomeIntegersOutsideLiterals)
{
    EXPECT_EQ(sqlite("SELECT * FROM t WHERE t.Inactive=False AND b = TRUE OR c<>false"),
              "SELECT * FROM t WHERE t.Inactive=0 AND b = -1 OR c<>0");
    EXPECT_EQ(pg("UPDATE t SET a = True WHERE s = 'True or False' AND [True] = 1"),
              "UPDATE t SET a = -1 WHERE s = 'True or False' AND \"true\" = 1");
    // A column that happens to be called so, qualified, stays a column.
    EXPECT_EQ(sqlite("SELECT t.False FROM t"), "SELECT t.False FROM t");
    EXPECT_EQ(sqlite("SELECT a FROM t WHERE n = 'it''s False'"),
              "SELECT a FROM t WHERE n = 'it''s False'");
    EXPECT_EQ(sqlite("SELECT a FROM t WHERE n = \"False\""), "SELECT a FROM t WHERE n = \"False\"");
}

TEST(SqlDialect, RightJoinBecomesLeftJoinOnSqlite)
{
    const QString sql = QStringLiteral(
        "SELECT tblTimeCards.* FROM tblContacts RIGHT JOIN tblTimeCards ON tblContacts.ContactID "
        "= tblTimeCards.ContactID WHERE (tblContacts.Active<>0 OR tblTimeCards.ContactID Is "
        "Null) AND tblTimeCards.Inactive=False");
    EXPECT_EQ(sqlite(sql),
              "SELECT tblTimeCards.* FROM tblTimeCards LEFT JOIN tblContacts ON "
              "tblContacts.ContactID = tblTimeCards.ContactID WHERE (tblContacts.Active<>0 OR "
              "tblTimeCards.ContactID Is Null) AND tblTimeCards.Inactive=0");
    EXPECT_EQ(sqlite("SELECT c.Name FROM tblContacts AS c RIGHT OUTER JOIN tblTimeCards t ON "
                     "c.ContactID = t.ContactID"),
              "SELECT c.Name FROM tblTimeCards t LEFT JOIN tblContacts AS c ON c.ContactID = "
              "t.ContactID");
    // PostgreSQL keeps its RIGHT JOIN; a bare "*" would change column order, so stays too.
    EXPECT_TRUE(pg(sql).contains("RIGHT JOIN"));
    const QString star = "SELECT * FROM a RIGHT JOIN b ON a.x = b.x";
    EXPECT_EQ(sqlite(star), star);
}

TEST(SelectStatement, FindsTheBaseTableOfWorkingSetQueries)
{
    auto s = SelectStatement::parse(QStringLiteral(
        "SELECT tblTimeCards.* FROM tblContacts RIGHT JOIN tblTimeCards ON tblContacts.ContactID "
        "= tblTimeCards.ContactID WHERE (tblContacts.Active<>0) AND tblTimeCards.UserID=3 ORDER "
        "BY tblTimeCards.[Value] DESC"));
    ASSERT_TRUE(s.singleTable);
    EXPECT_EQ(s.baseTable, "tblTimeCards");
    EXPECT_TRUE(s.allColumns);
    EXPECT_EQ(s.fromClause, "FROM tblContacts RIGHT JOIN tblTimeCards ON tblContacts.ContactID "
                            "= tblTimeCards.ContactID");
    EXPECT_EQ(s.whereCondition, "(tblContacts.Active<>0) AND tblTimeCards.UserID=3");
    EXPECT_EQ(s.orderBy, "ORDER BY tblTimeCards.[Value] DESC");

    s = SelectStatement::parse("SELECT a, [b c] FROM tblX x WHERE a = ?");
    ASSERT_TRUE(s.singleTable);
    EXPECT_EQ(s.columns, QStringList({"a", "b c"}));
    EXPECT_EQ(s.qualifier, "x");
    EXPECT_EQ(s.tableText, "tblX");

    EXPECT_TRUE(SelectStatement::parse("SELECT * FROM tblAdminOptions").singleTable);
    EXPECT_TRUE(SelectStatement::parse("SELECT RecordID FROM tblAdminOptions;").singleTable);
}

TEST(SelectStatement, RejectsWhatIsNotOneTablesRows)
{
    for (const char *sql :
         {"SELECT count(*) FROM t", "SELECT DISTINCT a FROM t", "SELECT a FROM t GROUP BY a",
          "SELECT * FROM a JOIN b ON a.x = b.x", "SELECT a.x, b.y FROM a JOIN b ON a.x = b.x",
          "SELECT a + 1 FROM t", "SELECT x FROM (SELECT 1 AS x) q",
          "SELECT a FROM t UNION SELECT a FROM u", "UPDATE t SET a = 1"}) {
        EXPECT_FALSE(SelectStatement::parse(QString::fromLatin1(sql)).singleTable) << sql;
    }
}
