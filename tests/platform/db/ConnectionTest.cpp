#include "DbFixture.h"
#include "platform/core/Money.h"
#include "platform/core/QvError.h"
#include "platform/db/Command.h"
#include "platform/db/Transaction.h"
#include "platform/db/Values.h"
#include "testsupport/FullDisk.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QTime>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

using namespace quorvale;
using namespace quorvale::db;
using namespace quorvale::db::test;
using quorvale::test::FullDisk;
using quorvale::test::TempDir;

namespace {

QString openError(const QString &connectString, int busyMs = 5000)
{
    Connection c;
    c.setBusyTimeout(busyMs);
    try {
        c.open(connectString);
    } catch (const QvError &e) {
        EXPECT_FALSE(c.isOpen());
        return e.description();
    }
    return {};
}

} // namespace

TEST(Connection, CreatesPrivateWalFiles)
{
    TempDir dir;
    const QString path = dir.filePath("QVLocal.db");
    Connection::createSqliteFile(path);
    EXPECT_EQ(QFileInfo(path).permissions() & 0x0077, 0); // nobody but the owner
    EXPECT_TRUE(QFileInfo(path).permissions() & QFileDevice::ReadOwner);
    Connection c;
    c.open(jetString(path));
    EXPECT_EQ(c.engine(), Engine::SQLite);
    EXPECT_EQ(c.scalar("PRAGMA journal_mode").toString(), "wal");
    EXPECT_EQ(c.filePath(), path);
    EXPECT_THROW(Connection::createSqliteFile(path), QvError);
}

TEST(Connection, MissingFileIsNamedAndNeverCreated)
{
    TempDir dir;
    const QString path = dir.filePath("QVData.db");
    EXPECT_EQ(openError(jetString(path)), "Could not find file '" + path + "'.");
    EXPECT_TRUE(filesIn(dir.path()).isEmpty());
}

TEST(Connection, ForeignAndEmptyFilesAreRefusedUntouched)
{
    TempDir dir;
    const QString text = dir.filePath("notes.db");
    const QString empty = dir.filePath("empty.db");
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
        QFile e(empty);
        ASSERT_TRUE(e.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(openError(jetString(text)), "Unrecognized database format '" + text + "'.");
    EXPECT_EQ(openError(jetString(empty)), "Unrecognized database format '" + empty + "'.");
    EXPECT_EQ(filesIn(dir.path()), QStringList({"empty.db", "notes.db"}));
    EXPECT_EQ(QFileInfo(empty).size(), 0);
}

TEST(Connection, DamagedDatabaseIsRefusedWithoutLeavingFiles)
{
    TempDir dir;
    const QString path = makeDataFile(dir);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const qint64 size = f.size();
    f.seek(100); // keep the header, wreck the schema page
    f.write(QByteArray(static_cast<int>(size - 100), '\x7f'));
    f.close();
    const QString message = openError(jetString(path));
    EXPECT_TRUE(message.contains(path)) << message.toStdString();
    EXPECT_EQ(filesIn(dir.path()), QStringList({"QVData.db"}));
}

TEST(Connection, LockedDatabaseFailsAfterTheBusyTimeout)
{
    TempDir dir;
    const QString path = makeDataFile(dir);
    Connection holder;
    holder.open(jetString(path));
    holder.execute("PRAGMA locking_mode=EXCLUSIVE");
    holder.execute("INSERT INTO tblContacts (Name) VALUES ('x')"); // takes the lock
    EXPECT_EQ(openError(jetString(path), 100),
              "Could not use '" + path + "'; file already in use.");
}

TEST(Connection, ReadOnlyModeReadsButRefusesWrites)
{
    TempDir dir;
    const QString path = makeDataFile(dir);
    Connection c;
    c.open(jetString(path) + "Mode=Read;");
    EXPECT_TRUE(c.isReadOnly());
    EXPECT_EQ(c.scalar("SELECT count(*) FROM tblContacts").toInt(), 0);
    EXPECT_THROW(c.execute("INSERT INTO tblContacts (Name) VALUES ('x')"), QvError);
}

TEST(Connection, ReadOnlyFileOpensOnlyWithoutWriting)
{
    // A read-only file system: root may write to a file without write permission.
    FullDisk disk;
    const QString path = disk.filePath("QVData.db");
    {
        Connection::createSqliteFile(path);
        Connection c;
        c.open(jetString(path));
        c.execute("CREATE TABLE tblContacts (ContactID INTEGER PRIMARY KEY, Name TEXT)");
    }
    ASSERT_EQ(filesIn(disk.path()), QStringList({"QVData.db"}));
    if (!disk.makeReadOnly())
        GTEST_SKIP() << "neither a read-only mount nor permissions stop root here";
    // A WAL database without its -wal/-shm files cannot be read without creating them.
    EXPECT_TRUE(openError(jetString(path)).contains("read-only"));
    EXPECT_EQ(filesIn(disk.path()), QStringList({"QVData.db"}));
}

TEST(Connection, AttachMakesUnqualifiedNamesReachTheDataFile)
{
    TempDir dir;
    const QString data = makeDataFile(dir);
    const QString link = dir.filePath("QVLink.db");
    Connection::createSqliteFile(link);
    Connection c;
    c.open(jetString(link));
    c.execute("CREATE TABLE tblLinks (Name TEXT PRIMARY KEY, Target TEXT)");
    c.attach(data, "qvdata");
    c.execute("INSERT INTO tblContacts (Name) VALUES (?)", {"Ann"});
    EXPECT_EQ(c.scalar("SELECT Name FROM tblContacts").toString(), "Ann");
    EXPECT_EQ(c.primaryKey("tblcontacts"), "ContactID");
    EXPECT_EQ(c.primaryKey("tblLinks"), "Name");
    EXPECT_TRUE(c.tables().contains("tblTimeCards"));
    EXPECT_TRUE(c.tables().contains("tblLinks"));
    EXPECT_EQ(c.scalar("PRAGMA qvdata.journal_mode").toString(), "wal");
    {
        Connection direct;
        direct.open(jetString(data));
        EXPECT_EQ(direct.scalar("SELECT count(*) FROM tblContacts").toInt(), 1);
    }
    // A thread of its own reaches the same tables through a connection of its own.
    int seen = -1;
    std::thread([source = c.source(), &seen] {
        Connection own;
        own.open(source);
        seen = own.scalar("SELECT count(*) FROM tblContacts").toInt();
    }).join();
    EXPECT_EQ(seen, 1);
    c.detach("qvdata");
    EXPECT_THROW(c.scalar("SELECT count(*) FROM tblContacts"), QvError);
    EXPECT_THROW(c.attach(dir.filePath("nope.db"), "x"), QvError);
    EXPECT_EQ(filesIn(dir.path()).filter("nope").size(), 0);
}

TEST(Connection, ValuesRoundTripAsBoundParameters)
{
    TempDir dir;
    Connection c;
    c.open(jetString(makeDataFile(dir)));
    const QString nasty = "O'Brien'); DROP TABLE tblTimeCards; --";
    const qlonglong id = c.insertReturningKey(
        "INSERT INTO tblTimeCards (UserID, Subject, Inactive, StartDate, StartTime, Value) "
        "VALUES (?, ?, ?, ?, ?, ?)",
        {7, nasty, true, QDate(2024, 2, 29), QTime(13, 5, 9, 456),
         QVariant::fromValue(Money::fromUnits(-123456789))},
        "TimeCardID");
    EXPECT_GT(id, 0);
    Command read(c, "SELECT * FROM tblTimeCards WHERE TimeCardID = ?");
    const auto row = read.first({id});
    ASSERT_TRUE(row);
    EXPECT_EQ(row->value("Subject").toString(), nasty);
    EXPECT_EQ(row->value("Inactive").toInt(), -1);
    EXPECT_EQ(row->value("StartDate").toString(), "2024-02-29"); // ISO text on disk
    EXPECT_EQ(row->value("StartDate").toDate(), QDate(2024, 2, 29));
    EXPECT_EQ(dateFrom(row->value("StartDate")), QDate(2024, 2, 29));
    // The quick reading agrees with Qt's on everything a column may hold.
    for (const QVariant &stored :
         {QVariant(QStringLiteral("2026-12-31")), QVariant(QStringLiteral("2026-02-30")),
          QVariant(QStringLiteral("2026-13-01")), QVariant(QStringLiteral("20x6-01-01")),
          QVariant(QStringLiteral("2026-1-01")), QVariant(QStringLiteral("2026-01-01T10:00:00")),
          QVariant(QString()), QVariant(QDate(1999, 1, 2)), QVariant()})
        EXPECT_EQ(dateFrom(stored), stored.toDate()) << stored.toString().toStdString();
    EXPECT_EQ(row->value("StartTime").toString(), "13:05:09");
    EXPECT_EQ(row->value("StartTime").toTime(), QTime(13, 5, 9));
    EXPECT_EQ(Money::fromStored(row->value("Value")), Money::fromUnits(-123456789));
    EXPECT_EQ(c.scalar("SELECT count(*) FROM tblTimeCards WHERE Inactive = True").toInt(), 1);
    EXPECT_FALSE(read.first({id + 1}));
    EXPECT_EQ(c.execute("UPDATE tblTimeCards SET Subject = ? WHERE UserID = ?", {QVariant(), 7}),
              1);
    EXPECT_TRUE(c.scalar("SELECT Subject FROM tblTimeCards").isNull());
}

TEST(Connection, ReadingRowsInBulkGivesWhatAQueryGives)
{
    TempDir dir;
    Connection c;
    c.open(jetString(makeDataFile(dir)));
    const QString nasty = QStringLiteral("O'Brien'); DROP TABLE tblTimeCards; -- \u00e6\u4e2d");
    c.execute("INSERT INTO tblTimeCards (UserID, Subject, Inactive, StartDate, Value) "
              "VALUES (?, ?, ?, ?, ?), (?, ?, ?, ?, ?)",
              {7, nasty, true, QDate(2024, 2, 29), QVariant::fromValue(Money::fromUnits(-5)), 8,
               QVariant(), false, QVariant(), 1.5});
    const QString sql = QStringLiteral(
        "SELECT UserID, Subject, Inactive, StartDate, [Value], X'00FF' FROM tblTimeCards WHERE "
        "UserID >= ? AND (StartDate = ? OR StartDate IS NULL) ORDER BY UserID");
    const QVariantList params{7, QDate(2024, 2, 29)};
    std::vector<QVariantList> bulk;
    c.readRows(sql, params,
               [&](QVariant *values, int columns) { bulk.emplace_back(values, values + columns); });
    QSqlQuery q = c.prepare(sql);
    c.run(q, params);
    std::size_t row = 0;
    while (q.next()) {
        ASSERT_LT(row, bulk.size());
        for (int i = 0; i < 6; ++i) {
            const QVariant &mine = bulk[row][i];
            // A null may come untyped; every other value alike in type and value.
            if (q.value(i).isNull()) {
                EXPECT_TRUE(mine.isNull()) << row << ' ' << i;
                continue;
            }
            EXPECT_EQ(mine, q.value(i)) << row << ' ' << i;
            EXPECT_EQ(mine.typeId(), q.value(i).typeId()) << row << ' ' << i;
        }
        ++row;
    }
    EXPECT_EQ(row, 2u);
    EXPECT_EQ(bulk.size(), 2u);
    EXPECT_EQ(bulk[0][1].toString(), nasty);
    EXPECT_EQ(dateFrom(bulk[0][3]), QDate(2024, 2, 29));

    // Inside a transaction it sees the transaction's own rows.
    {
        Transaction tx(c);
        c.execute("DELETE FROM tblTimeCards WHERE UserID = 8");
        int seen = 0;
        c.readRows("SELECT UserID FROM tblTimeCards", {}, [&](QVariant *, int) { ++seen; });
        EXPECT_EQ(seen, 1);
    }
    // A statement the engine refuses says so as any other statement does.
    const auto refusal = [&](const std::function<void()> &run) {
        try {
            run();
        } catch (const QvError &e) {
            return std::pair{e.number(), e.description()};
        }
        return std::pair{0L, QString()};
    };
    const QString bad = QStringLiteral("SELECT Missing FROM tblNowhere");
    const auto bulkError = refusal([&] { c.readRows(bad, {}, [](QVariant *, int) {}); });
    EXPECT_FALSE(bulkError.second.isEmpty());
    EXPECT_EQ(bulkError, refusal([&] { c.scalar(bad); }));
}

TEST(Connection, NestedTransactionsRollBackTheirOwnWork)
{
    TempDir dir;
    Connection c;
    c.open(jetString(makeDataFile(dir)));
    {
        Transaction outer(c);
        c.execute("INSERT INTO tblContacts (Name) VALUES ('kept')");
        {
            Transaction inner(c);
            c.execute("INSERT INTO tblContacts (Name) VALUES ('undone')");
        } // not committed
        {
            Transaction inner(c);
            c.execute("INSERT INTO tblContacts (Name) VALUES ('also kept')");
            inner.commit();
        }
        EXPECT_EQ(c.transactionDepth(), 1);
        outer.commit();
    }
    EXPECT_EQ(c.scalar("SELECT group_concat(Name, '|') FROM tblContacts").toString(),
              "kept|also kept");
    {
        Transaction t(c);
        c.execute("DELETE FROM tblContacts");
    }
    EXPECT_EQ(c.scalar("SELECT count(*) FROM tblContacts").toInt(), 2);
    EXPECT_EQ(c.transactionDepth(), 0);
}

TEST(Connection, ClosingInvalidatesCommandsInsteadOfLeavingDanglingQueries)
{
    TempDir dir;
    Connection c;
    c.open(jetString(makeDataFile(dir)));
    Command cmd(c, "SELECT count(*) FROM tblContacts");
    EXPECT_EQ(cmd.first()->value(0).toInt(), 0);
    c.close();
    EXPECT_FALSE(c.isOpen());
    EXPECT_THROW(cmd.first(), QvError);
    EXPECT_THROW(c.execute("SELECT 1"), QvError);
}

TEST(Connection, OdbcFailureNamesTheDataSource)
{
    TempDir dir;
    const QString ini = dir.filePath("odbc.ini");
    const QByteArray saved = qgetenv("ODBCINI");
    qputenv("ODBCINI", ini.toUtf8()); // an empty catalogue: the name cannot exist
    Connection c;
    try {
        c.open("ODBC;DSN=NoSuchSource;Database=x;UID=u;PWD=secret;");
        FAIL() << "opened a data source that does not exist";
    } catch (const QvError &e) {
        EXPECT_TRUE(e.description().contains("NoSuchSource")) << e.what();
        EXPECT_FALSE(e.description().contains("secret"));
        EXPECT_EQ(e.source(), OdbcErrorSource);
    }
    if (saved.isEmpty())
        qunsetenv("ODBCINI");
    else
        qputenv("ODBCINI", saved);
}

// The person reads what happened; the statement and the engine's own words are for
// the error report, where whoever mends it needs them.
TEST(Connection, ARefusedStatementTellsInWordsAndKeepsTheStatementForTheReport)
{
    TempDir dir;
    const QString path = makeDataFile(dir);
    Connection c;
    c.open(jetString(path));
    c.execute("CREATE TABLE tblOne (ID INTEGER PRIMARY KEY, Name TEXT NOT NULL)");
    const char *statements[] = {"INSERT INTO tblOne (Name) VALUES (NULL)",
                                "SELECT NoSuchColumn FROM tblOne"};
    for (const char *sql : statements) {
        SCOPED_TRACE(sql);
        try {
            c.execute(QString::fromLatin1(sql));
            FAIL() << "the statement was accepted";
        } catch (const QvError &e) {
            EXPECT_FALSE(e.description().contains("INSERT") || e.description().contains("SELECT"))
                << e.description().toStdString();
            EXPECT_FALSE(e.description().isEmpty());
            EXPECT_TRUE(e.detail().contains(QString::fromLatin1(sql)));
        }
    }
}
