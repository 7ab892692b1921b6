// Measures the data store against SQLite used directly, side by side in one run:
// the ratio of the two is the figure that matters, not the absolute time.
//
//   qvbench [--timecards N] [--users U] [--dir DIR] [--repetitions R] [--json]
//   qvbench --items N [--dir DIR] [--repetitions R] [--json]   (the item store)
//   qvbench --timecard-ops [--journal-items N] [--timecards N] [--users U] ...
//       (creating, leaving and timing TimeCards through the editor and the timer)
//   qvbench --pick-lists [--contacts N] [--server SERVER] [--dir DIR] [--repetitions R] [--json]
//       (the contact picker as a person types, and the activity lists' refill; on
//       a database server with SERVER, an ODBC connect string)
//   qvbench --folder-scan [--items N] [--dir DIR] [--repetitions R] [--json]
//       (item folders read for the link choosers: big files, first and cached reads)
//   qvbench --links [--items N] [--dir DIR] [--repetitions R] [--json]
//   qvbench --invoicing [--items N] [--dir DIR] [--repetitions R] [--json]
//       (the Links page's list of N linked tasks, default 1,000, against libical)
//   qvbench --compaction [--dir DIR] [--repetitions R] [--json]
//       (the local databases compacted, a 100 MB QVLocal.db, against sqlite3's VACUUM INTO)
//   qvbench --backup [--timecards N] [--users U] [--dir DIR] [--repetitions R] [--json]
//       (the program database backed up and checked, against sqlite3's .backup)
//   qvbench --load SERVER [--load-users U] [--seconds S] [--json]
//       (U simulated users, default 50, on one database server for S seconds each
//       way, default 20, after one user alone; SERVER is an ODBC connect string)
//
// The database is made by `qvadmin generate` once per size and kept in DIR.

#include "BackupBench.h"
#include "BenchTimer.h"
#include "FolderScanBench.h"
#include "InvoiceBench.h"
#include "ItemBench.h"
#include "LinkListBench.h"
#include "LoadBench.h"
#include "PickListBench.h"
#include "ReportBench.h"
#include "SqliteBaseline.h"
#include "TimeCardBench.h"
#include "data/DataStore.h"
#include "data/WorkingSet.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "support/Prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>
#include <iostream>

using namespace quorvale;
using namespace quorvale::bench;

namespace {

// Benchmarks run unattended: any message would be a failure, so print and stop.
class ConsolePrompts : public Prompts {
public:
    PromptResult messageBox(const QString &title, const QString &text, PromptButtons,
                            PromptIcon) override
    {
        std::cerr << "qvbench: " << title.toStdString() << ": " << text.toStdString() << '\n';
        std::exit(3);
    }
    bool showDialog(const QString &, QVariantMap &) override { return false; }
};

struct Options {
    int timeCards = 1'000'000;
    int users = 100;
    int repetitions = 15;
    QString dir;
    bool json = false;
    int items = 0; // > 0: measure the item store instead of the databases
    bool timeCardOps = false;
    int journalItems = 10'000;
    bool pickLists = false;
    int contacts = 10'000;
    bool folderScan = false;
    bool links = false;
    bool invoicing = false;
    bool reports = false;
    bool compaction = false;
    bool backup = false;
    QString loadServer;
    QString server;
    int loadUsers = 50;
    int seconds = 20;
};

Options parse(const QStringList &args)
{
    Options o;
    o.dir = QDir::currentPath() + QStringLiteral("/bench-data");
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        auto next = [&]() -> QString {
            if (i + 1 >= args.size()) {
                std::cerr << "qvbench: " << a.toStdString() << " needs a value\n";
                std::exit(2);
            }
            return args.at(++i);
        };
        if (a == QLatin1String("--timecards"))
            o.timeCards = next().toInt();
        else if (a == QLatin1String("--users"))
            o.users = next().toInt();
        else if (a == QLatin1String("--repetitions"))
            o.repetitions = std::max(1, next().toInt());
        else if (a == QLatin1String("--dir"))
            o.dir = next();
        else if (a == QLatin1String("--json"))
            o.json = true;
        else if (a == QLatin1String("--items"))
            o.items = next().toInt();
        else if (a == QLatin1String("--timecard-ops"))
            o.timeCardOps = true;
        else if (a == QLatin1String("--journal-items"))
            o.journalItems = std::max(0, next().toInt());
        else if (a == QLatin1String("--folder-scan"))
            o.folderScan = true;
        else if (a == QLatin1String("--links"))
            o.links = true;
        else if (a == QLatin1String("--invoicing"))
            o.invoicing = true;
        else if (a == QLatin1String("--reports"))
            o.reports = true;
        else if (a == QLatin1String("--compaction"))
            o.compaction = true;
        else if (a == QLatin1String("--backup"))
            o.backup = true;
        else if (a == QLatin1String("--pick-lists"))
            o.pickLists = true;
        else if (a == QLatin1String("--load"))
            o.loadServer = next();
        else if (a == QLatin1String("--server"))
            o.server = next();
        else if (a == QLatin1String("--load-users"))
            o.loadUsers = std::max(1, next().toInt());
        else if (a == QLatin1String("--seconds"))
            o.seconds = std::max(1, next().toInt());
        else if (a == QLatin1String("--contacts"))
            o.contacts = std::max(1, next().toInt());
        else {
            std::cerr
                << "usage: qvbench [--timecards N] [--users U] [--dir DIR] "
                   "[--repetitions R] [--json] [--items N] "
                   "[--timecard-ops [--journal-items N]] "
                   "[--pick-lists [--contacts N] [--server SERVER]] [--folder-scan [--items N]] "
                   "[--links [--items N]] [--invoicing [--items N]] "
                   "[--reports [--timecards N] [--users U]] [--compaction] "
                   "[--backup [--timecards N] [--users U]] "
                   "[--load SERVER [--load-users U] [--seconds S]]\n";
            std::exit(2);
        }
    }
    return o;
}

QString qvadminPath()
{
    const QString self = QCoreApplication::applicationDirPath();
    for (const QString &candidate :
         {self + QStringLiteral("/../tools/qvadmin/qvadmin"), self + QStringLiteral("/qvadmin")})
        if (QFile::exists(candidate))
            return QDir::cleanPath(candidate);
    return QStringLiteral("qvadmin");
}

// Makes (or reuses) the database of this size; returns the seconds it took to
// generate, or -1 when it was already there.
double ensureDatabase(const Options &o, const QString &programDir)
{
    if (QFile::exists(programDir + QStringLiteral("/QVData.db")))
        return -1;
    QDir().mkpath(programDir);
    QElapsedTimer timer;
    timer.start();
    QProcess admin;
    admin.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    admin.start(qvadminPath(),
                {QStringLiteral("generate"), QStringLiteral("--timecards"),
                 QString::number(o.timeCards), QStringLiteral("--users"), QString::number(o.users),
                 QStringLiteral("--program-dir"), programDir, QStringLiteral("--data-dir"),
                 programDir, QStringLiteral("--settings"),
                 programDir + QStringLiteral("/settings.ini")});
    if (!admin.waitForFinished(-1) || admin.exitCode() != 0) {
        std::cerr << "qvbench: qvadmin generate failed\n";
        QDir(programDir).removeRecursively();
        std::exit(1);
    }
    return static_cast<double>(timer.elapsed()) / 1000.0;
}

void printMeasures(QTextStream &out, const std::vector<Measure> &measures, bool json)
{
    if (!json)
        out << QStringLiteral("%1 %2 %3 %4\n")
                   .arg(QStringLiteral("measure"), -42)
                   .arg(QStringLiteral("median ms"), 12)
                   .arg(QStringLiteral("baseline ms"), 12)
                   .arg(QStringLiteral("ratio"), 8);
    for (const Measure &m : measures) {
        const double ratio = m.baselineMs > 0 ? m.ms / m.baselineMs : 0;
        if (json) {
            out << QJsonDocument(QJsonObject{{QStringLiteral("name"), m.name},
                                             {QStringLiteral("median_ms"), m.ms},
                                             {QStringLiteral("baseline_ms"), m.baselineMs},
                                             {QStringLiteral("ratio"), ratio}})
                       .toJson(QJsonDocument::Compact)
                << '\n';
        } else {
            out << QStringLiteral("%1 %2 %3 %4\n")
                       .arg(m.name, -42)
                       .arg(m.ms, 12, 'f', 3)
                       .arg(m.baselineMs, 12, 'f', 3)
                       .arg(ratio, 8, 'f', 2);
        }
    }
}

QString quorvalePath()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../src/app/quorvale"));
}

} // namespace

// The start-up baseline: a process that opens the same files and runs the same
// working-set statement straight through SQLite, then ends.
int startupBaseline(const QString &programDir, const QString &sql)
{
    SqliteBaseline link(programDir + QStringLiteral("/QVLink.db"));
    link.exec(QStringLiteral("ATTACH DATABASE '") + programDir +
              QStringLiteral("/QVData.db' AS d"));
    link.readAll(QStringLiteral("SELECT * FROM tblAdminOptions"));
    return link.readAll(sql) >= 0 ? 0 : 1;
}

// Runs a program to its end `repetitions` times; returns the median wall time
// and the last run's standard output.
std::pair<double, QByteArray> medianRunMs(int repetitions, const QString &program,
                                          const QStringList &args,
                                          const QProcessEnvironment &environment)
{
    QByteArray output;
    const double ms = medianMs(repetitions, [&] {
        QProcess p;
        p.setProcessEnvironment(environment);
        p.start(program, args);
        if (!p.waitForFinished(60000) || p.exitCode() != 0) {
            std::cerr << "qvbench: " << program.toStdString()
                      << " failed: " << p.readAllStandardError().toStdString() << '\n';
            std::exit(1);
        }
        output = p.readAllStandardOutput();
    });
    return {ms, output};
}

int main(int argc, char **argv)
{
    // The invoice document is laid out with Qt's text engine, which needs a GUI
    // application; nothing is shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (app.arguments().value(1) == QLatin1String("--startup-baseline"))
        return startupBaseline(app.arguments().value(2), app.arguments().value(3));
    const Options o = parse(app.arguments());
    if (!o.loadServer.isEmpty()) {
        QTextStream out(stdout);
        return runLoad({o.loadServer, o.loadUsers, o.seconds, o.json}, out);
    }
    if (o.folderScan) {
        QDir().mkpath(o.dir);
        QTextStream out(stdout);
        printMeasures(out, measureFolderScan(o.dir, o.items > 0 ? o.items : 10'000, o.repetitions),
                      o.json);
        return 0;
    }
    if (o.compaction) {
        QTextStream out(stdout);
        printMeasures(out, measureCompaction(o.dir, o.repetitions), o.json);
        return 0;
    }
    if (o.invoicing) {
        QTextStream out(stdout);
        printMeasures(out, measureInvoicing(o.dir, o.items > 0 ? o.items : 10'000, o.repetitions),
                      o.json);
        return 0;
    }
    if (o.links) {
        ConsolePrompts prompts;
        ErrorReport report(prompts, o.dir);
        ErrorHandler errors(report);
        QTextStream out(stdout);
        printMeasures(
            out,
            measureLinkList(o.dir, o.items > 0 ? o.items : 1000, o.repetitions, prompts, errors),
            o.json);
        return 0;
    }
    if (o.items > 0) {
        QDir().mkpath(o.dir);
        QTextStream out(stdout);
        printMeasures(out, measureItems(o.dir, o.items, o.repetitions), o.json);
        return 0;
    }
    if (o.pickLists) {
        ConsolePrompts prompts;
        ErrorReport report(prompts, o.dir);
        ErrorHandler errors(report);
        return measurePickLists({o.dir, o.contacts, o.repetitions, o.json, o.server}, prompts,
                                errors);
    }
    const QString programDir =
        QStringLiteral("%1/tc%2-u%3").arg(o.dir).arg(o.timeCards).arg(o.users);
    const double generateSeconds = ensureDatabase(o, programDir);
    if (o.backup) {
        QTextStream out(stdout);
        printMeasures(out, measureBackup(programDir, o.repetitions), o.json);
        return 0;
    }

    ConsolePrompts prompts;
    ErrorReport report(prompts, o.dir);
    ErrorHandler errors(report);
    if (o.timeCardOps)
        return measureTimeCardOps({programDir, o.repetitions, o.journalItems, o.json}, prompts,
                                  errors);
    DatabaseSettings settings;
    settings.dataSource = programDir;
    const QString dataFile = programDir + QStringLiteral("/QVData.db");

    SqliteBaseline direct(dataFile);
    // A user and the count of their open TimeCards, the first in `order`.
    const auto pickUser = [&direct](const char *order) {
        sqlite3_stmt *pick = direct.prepare(
            QStringLiteral("SELECT UserId, count(*) AS c FROM tblTimeCards WHERE InvoiceID IS NULL "
                           "GROUP BY UserId ORDER BY %1 LIMIT 1")
                .arg(QLatin1String(order)));
        sqlite3_step(pick);
        const std::pair<qint32, int> picked{sqlite3_column_int(pick, 0),
                                            sqlite3_column_int(pick, 1)};
        sqlite3_finalize(pick);
        return picked;
    };
    // The user with the most open work is the one a person would feel; and one
    // with about a hundred open TimeCards, whose open must not grow with
    // everyone else's TimeCards.
    const auto [userId, openCards] = pickUser("c DESC");
    const auto [typicalUserId, typicalOpenCards] = pickUser("abs(c - 100), UserId");

    if (o.reports) {
        QTextStream out(stdout);
        printMeasures(out, measureReports(programDir, qvadminPath(), userId, o.repetitions),
                      o.json);
        return 0;
    }

    std::vector<Measure> measures;
    const WorkingSetContext context{true, Terms{}, userId, QStringLiteral("bench")};

    // OpenDB: every connection of start-up, against opening the same files and
    // reading the options row directly.
    measures.push_back({QStringLiteral("OpenDB"),
                        medianMs(o.repetitions,
                                 [&] {
                                     DataStore store(settings, programDir, prompts, errors);
                                     if (!store.OpenDB())
                                         std::exit(1);
                                 }),
                        medianMs(o.repetitions, [&] {
                            SqliteBaseline link(programDir + QStringLiteral("/QVLink.db"));
                            link.exec(QStringLiteral("ATTACH DATABASE '") + dataFile +
                                      QStringLiteral("' AS d"));
                            link.readAll(QStringLiteral("SELECT * FROM tblAdminOptions"));
                            SqliteBaseline local(programDir + QStringLiteral("/QVLocal.db"));
                            local.readAll(QStringLiteral("SELECT count(*) FROM sqlite_master"));
                        })});

    DataStore store(settings, programDir, prompts, errors);
    if (!store.OpenDB())
        return 1;
    WorkingSet set(errors);
    db::Connection &link = store.cnnLink();
    const auto translated = [&](const QString &sql) { return link.sqlDialect().translate(sql); };

    // The keyset's own work through SQLite's C API: the ordered keys, then the
    // first row by its key.
    const auto keysetOpen = [&](const QString &sql) {
        QString keys = translated(sql);
        keys.replace(QStringLiteral("SELECT tblTimeCards.*"),
                     QStringLiteral("SELECT tblTimeCards.TimeCardID"));
        sqlite3_stmt *stmt = direct.prepare(keys);
        long first = -1;
        while (sqlite3_step(stmt) == SQLITE_ROW)
            if (first < 0)
                first = static_cast<long>(sqlite3_column_int64(stmt, 0));
        sqlite3_finalize(stmt);
        if (first >= 0)
            direct.readAll(QStringLiteral("SELECT * FROM tblTimeCards WHERE TimeCardID = ?"),
                           first);
    };
    set.setOrderBy(QStringLiteral(" ORDER BY tblTimeCards.TimeCardID ASC"));
    for (const auto &[name, who] :
         {std::pair{QStringLiteral("SetRecordSet open (%1 open)").arg(typicalOpenCards),
                    typicalUserId},
          std::pair{QStringLiteral("SetRecordSet open (%1 open)").arg(openCards), userId}}) {
        WorkingSetContext of = context;
        of.userId = who;
        measures.push_back({name,
                            medianMs(o.repetitions,
                                     [&] {
                                         if (!set.SetRecordSet(false, link, of))
                                             std::exit(1);
                                     }),
                            medianMs(o.repetitions, [&] { keysetOpen(set.openedSql()); })});
    }
    if (!set.SetRecordSet(false, link, context))
        return 1;

    // A move: one row read by key, against the same single-row statement.
    constexpr int kMoves = 2000;
    db::Recordset &cards = set.timeCards();
    measures.push_back({QStringLiteral("move"),
                        medianMs(o.repetitions,
                                 [&] {
                                     cards.moveFirst();
                                     for (int i = 0; i < kMoves; ++i) {
                                         cards.moveNext();
                                         if (cards.eof())
                                             cards.moveFirst();
                                     }
                                 }) /
                            kMoves,
                        medianMs(o.repetitions, [&] {
                            sqlite3_stmt *row = direct.prepare(
                                QStringLiteral("SELECT * FROM tblTimeCards WHERE TimeCardID = ?"));
                            for (int i = 0; i < kMoves; ++i) {
                                sqlite3_bind_int64(row, 1, 1 + (i * 7919) % o.timeCards);
                                sqlite3_step(row);
                                sqlite3_reset(row);
                            }
                            sqlite3_finalize(row);
                        }) / kMoves});

    // A re-sort as the sort tools do it: keep the current TimeCard, reopen in the
    // new order, find it again.
    const QStringList orders = {QStringLiteral(" ORDER BY tblTimeCards.StartDate DESC"),
                                QStringLiteral(" ORDER BY tblTimeCards.[Value] ASC")};
    int turn = 0;
    measures.push_back({QStringLiteral("re-sort"),
                        medianMs(o.repetitions,
                                 [&] {
                                     const QVariant current =
                                         cards.eof() || cards.bof() ? QVariant() : cards.bookmark();
                                     set.setOrderBy(orders.at(turn++ % 2));
                                     if (!set.SetRecordSet(false, link, context))
                                         std::exit(1);
                                     if (current.isValid())
                                         cards.find(QStringLiteral("TimeCardID"), current);
                                 }),
                        medianMs(o.repetitions, [&] {
                            direct.readAll(
                                translated(set.sql().timeCardBase + orders.at(turn++ % 2)));
                        })});

    // Start-up: the program from process start to its window bound to the
    // working set (offscreen), against a process that opens the databases and
    // runs the working-set statement directly.
    double residentMiB = 0;
    const QString program = quorvalePath();
    if (QFile::exists(program)) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString config = programDir + QStringLiteral("/config");
        QDir().mkpath(config + QStringLiteral("/Kestrune Software"));
        const QString userSettings =
            config + QStringLiteral("/Kestrune Software/Quorvale for Office.ini");
        if (!QFile::exists(userSettings))
            QFile::copy(programDir + QStringLiteral("/settings.ini"), userSettings);
        env.insert(QStringLiteral("QUORVALE_HOME"), programDir);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("*.info=false"));
        env.insert(QStringLiteral("QUORVALE_QUIT_AFTER_START"), QStringLiteral("1"));
        const auto [startMs, output] = medianRunMs(o.repetitions, program, {}, env);
        const QByteArray rss = output.mid(output.indexOf("VmRSS:") + 6).trimmed();
        residentMiB = rss.left(rss.indexOf(' ')).toDouble() / 1024.0;
        WorkingSet startSet(errors);
        DataStore startStore(settings, programDir, prompts, errors);
        QString sql;
        if (startStore.OpenDB() && startSet.SetRecordSet(false, startStore.cnnLink(), context))
            sql = startStore.cnnLink().sqlDialect().translate(startSet.openedSql());
        const auto baseline =
            medianRunMs(o.repetitions, QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--startup-baseline"), programDir, sql}, env);
        measures.push_back({QStringLiteral("start-up"), startMs, baseline.first});
    }

    QTextStream out(stdout);
    if (!o.json) {
        out << QStringLiteral("database: %1 TimeCards, %2 users; measured user %3 with %4 open\n")
                   .arg(o.timeCards)
                   .arg(o.users)
                   .arg(userId)
                   .arg(openCards);
        if (generateSeconds >= 0)
            out << QStringLiteral("qvadmin generate: %1 s\n").arg(generateSeconds, 0, 'f', 1);
    }
    printMeasures(out, measures, o.json);
    if (!o.json && residentMiB > 0)
        out << QStringLiteral("resident memory after start-up: %1 MiB\n")
                   .arg(residentMiB, 0, 'f', 1);
    if (o.json && residentMiB > 0)
        out << QJsonDocument(QJsonObject{{QStringLiteral("name"), QStringLiteral("resident MiB")},
                                         {QStringLiteral("median_ms"), residentMiB},
                                         {QStringLiteral("baseline_ms"), 0},
                                         {QStringLiteral("ratio"), 0}})
                   .toJson(QJsonDocument::Compact)
            << '\n';
    if (o.json && generateSeconds >= 0)
        out << QJsonDocument(
                   QJsonObject{{QStringLiteral("name"), QStringLiteral("qvadmin generate")},
                               {QStringLiteral("median_ms"), generateSeconds * 1000},
                               {QStringLiteral("baseline_ms"), 0},
                               {QStringLiteral("ratio"), 0}})
                   .toJson(QJsonDocument::Compact)
            << '\n';
    return direct.sink() < 0 ? 1 : 0;
}
