#include "BackupBench.h"

#include "data/DatabaseSettings.h"
#include "data/Schema.h"
#include "platform/db/Connection.h"
#include "settings/LocalCompaction.h"
#include "settings/ProgramBackup.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <iostream>
#include <random>
#include <sqlite3.h>

namespace quorvale::bench {

namespace {

[[noreturn]] void fail(const std::string &what)
{
    std::cerr << "qvbench: " << what << '\n';
    std::exit(1);
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double msSince(const QElapsedTimer &timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void runToEnd(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        fail(program.toStdString() + " failed: " + p.readAllStandardError().toStdString());
}

QString sqlite3Tool()
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (tool.isEmpty())
        fail("the sqlite3 command line is needed for the baseline");
    return tool;
}

void copyFile(const QString &from, const QString &to)
{
    QFile::remove(to);
    if (!QFile::copy(from, to))
        fail("cannot copy " + from.toStdString());
}

void exec(sqlite3 *db, const char *sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK)
        fail(std::string("sqlite: ") + (error ? error : "?"));
}

// What a person keeps in their abbreviations over the years: short codes for
// texts of a line up to a paragraph, many replaced since.
void makeLocalDatabase(const QString &path, qint64 targetBytes)
{
    db::Connection::createSqliteFile(path);
    {
        db::Connection c;
        c.open(QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=") + path);
        QSqlDatabase database = c.database();
        schema::createLocalSchema(database);
    }
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK)
        fail("cannot open " + path.toStdString());
    static const char *const words[] = {
        "client",  "meeting",    "review",   "contract",  "invoice",  "telephone", "call",
        "with",    "regarding",  "draft",    "agreement", "the",      "and",       "of",
        "project", "status",     "report",   "research",  "travel",   "to",        "hearing",
        "court",   "memorandum", "revised",  "per",       "request",  "follow-up", "email",
        "letter",  "prepared",   "analysis", "estimate",  "schedule", "site",      "visit"};
    std::mt19937 random(20260401);
    std::uniform_int_distribution<int> length(6, 90);
    std::uniform_int_distribution<int> word(0, int(std::size(words)) - 1);
    exec(db, "BEGIN");
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO tblAbbreviations (SortOrder, Abbreviation, Text) VALUES (?, ?, "
                       "?)",
                       -1, &insert, nullptr);
    qint64 written = 0;
    for (int i = 0; written < targetBytes * 9 / 10; ++i) {
        std::string text;
        for (int n = length(random); n > 0; --n)
            text += std::string(words[word(random)]) + ' ';
        const std::string code = "ab" + std::to_string(i);
        sqlite3_bind_int(insert, 1, i);
        sqlite3_bind_text(insert, 2, code.c_str(), int(code.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, text.c_str(), int(text.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(insert) != SQLITE_DONE)
            fail(sqlite3_errmsg(db));
        sqlite3_reset(insert);
        written += qint64(text.size() + code.size() + 16);
    }
    sqlite3_finalize(insert);
    exec(db, "COMMIT");
    exec(db, "DELETE FROM tblAbbreviations WHERE AbbreviationID % 4 = 0");
    sqlite3_close(db);
}

void makeReportDatabase(const QString &path)
{
    db::Connection::createSqliteFile(path);
    db::Connection c;
    c.open(QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=") + path);
    QSqlDatabase database = c.database();
    schema::createReportSchema(database);
}

} // namespace

std::vector<Measure> measureCompaction(const QString &dir, int repetitions)
{
    const QString sqlite3 = sqlite3Tool();
    const QString masters = dir + QStringLiteral("/compaction");
    const QString masterLocal = masters + QStringLiteral("/QVLocal.db");
    const QString masterReport = masters + QStringLiteral("/QVReport.db");
    if (!QFileInfo::exists(masterLocal)) {
        QDir().mkpath(masters);
        makeLocalDatabase(masterLocal, 100LL * 1000 * 1000);
        makeReportDatabase(masterReport);
    }
    const QString work = masters + QStringLiteral("/run");
    const QString baselineOut = masters + QStringLiteral("/vacuumed.db");
    std::vector<double> total, vacuum, check, replace, baseline;
    qint64 before = 0, after = 0;
    // One run more than measured: the first warms the page cache.
    for (int i = 0; i <= repetitions; ++i) {
        QDir(work).removeRecursively();
        QDir().mkpath(work);
        copyFile(masterLocal, work + QStringLiteral("/QVLocal.db"));
        copyFile(masterReport, work + QStringLiteral("/QVReport.db"));
        std::vector<double> marks;
        QElapsedTimer timer;
        timer.start();
        const auto done = CompactAndRepairLocalDatabases(
            work, [&](int, int, const QString &) { marks.push_back(msSince(timer)); });
        const double ms = msSince(timer);
        before = done.front().bytesBefore;
        after = done.front().bytesAfter;

        QFile::remove(baselineOut);
        QElapsedTimer base;
        base.start();
        runToEnd(sqlite3, {masterLocal, QStringLiteral("VACUUM INTO '%1'").arg(baselineOut)});
        const double baseMs = msSince(base);
        if (i == 0)
            continue;
        total.push_back(ms);
        // Steps 1 to 3 are QVLocal.db's: copy, check, replace.
        vacuum.push_back(marks.at(1) - marks.at(0));
        check.push_back(marks.at(2) - marks.at(1));
        replace.push_back(marks.at(3) - marks.at(2));
        baseline.push_back(baseMs);
    }
    QDir(work).removeRecursively();
    QFile::remove(baselineOut);
    std::cerr << "qvbench: QVLocal.db " << before / 1000000.0 << " MB, compacted "
              << after / 1000000.0 << " MB\n";
    const double base = median(baseline);
    return {
        {QStringLiteral("compaction, both files, all steps"), median(total), base},
        {QStringLiteral("compaction: QVLocal.db VACUUM INTO"), median(vacuum), base},
        {QStringLiteral("compaction: QVLocal.db check and sync"), median(check), 0},
        {QStringLiteral("compaction: QVLocal.db replaced (copy+sync)"), median(replace), 0},
    };
}

std::vector<Measure> measureBackup(const QString &programDir, int repetitions)
{
    const QString sqlite3 = sqlite3Tool();
    const QString live = programDir + QStringLiteral("/QVData.db");
    const QString folder = programDir + QStringLiteral("/backup-bench");
    const QString baselineOut = programDir + QStringLiteral("/backup-baseline.db");
    DatabaseSettings settings;
    settings.dataSource = programDir;
    std::vector<double> total, copied, progressGap, cancelGap, baseline;
    qint64 pages = 0;
    for (int i = 0; i <= repetitions; ++i) {
        QDir(folder).removeRecursively();
        QElapsedTimer timer;
        double lastProgress = 0, lastCancel = 0, longestProgress = 0, longestCancel = 0;
        CopySteps steps;
        steps.progress = [&](qint64, qint64) {
            const double now = msSince(timer);
            longestProgress = std::max(longestProgress, now - lastProgress);
            lastProgress = now;
        };
        steps.cancelled = [&] {
            const double now = msSince(timer);
            longestCancel = std::max(longestCancel, now - lastCancel);
            lastCancel = now;
            return false;
        };
        timer.start();
        const ProgramBackupResult result =
            backupProgramDatabase(settings, folder, 1, QDateTime::currentDateTime(), steps);
        const double ms = msSince(timer);
        longestCancel = std::max(longestCancel, ms - lastCancel);
        pages = result.pages;

        QFile::remove(baselineOut);
        QElapsedTimer base;
        base.start();
        runToEnd(sqlite3, {live, QStringLiteral(".backup '%1'").arg(baselineOut)});
        const double baseMs = msSince(base);
        if (i == 0)
            continue;
        total.push_back(ms);
        copied.push_back(lastProgress); // the last page copied; the check follows
        progressGap.push_back(longestProgress);
        cancelGap.push_back(longestCancel);
        baseline.push_back(baseMs);
    }
    QDir(folder).removeRecursively();
    QFile::remove(baselineOut);
    std::cerr << "qvbench: QVData.db " << QFileInfo(live).size() / 1000000.0 << " MB, " << pages
              << " pages, " << CopySteps().pagesPerStep << " a step\n";
    return {
        {QStringLiteral("backup, copy and check"), median(total), median(baseline)},
        {QStringLiteral("backup: the copy alone"), median(copied), median(baseline)},
        {QStringLiteral("backup: longest time between progress calls"), median(progressGap), 0},
        {QStringLiteral("backup: longest time between cancel checks"), median(cancelGap), 0},
    };
}

} // namespace quorvale::bench
