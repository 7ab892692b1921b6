#include "ReportBench.h"

#include "qvadmin/ReportKinds.h"
#include "qvadmin/ReportQuery.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <iostream>

namespace quorvale::bench {

namespace {

[[noreturn]] void fail(const std::string &what)
{
    std::cerr << "qvbench: " << what << '\n';
    std::exit(1);
}

void runToEnd(const QString &program, const QStringList &args, const QString &outputFile = {})
{
    QProcess p;
    if (!outputFile.isEmpty())
        p.setStandardOutputFile(outputFile);
    p.start(program, args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        fail(program.toStdString() + " failed: " + p.readAllStandardError().toStdString());
}

qint64 lineCount(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fail("cannot read " + path.toStdString());
    qint64 lines = 0;
    while (!f.atEnd())
        lines += f.readLine().isEmpty() ? 0 : 1;
    return lines;
}

} // namespace

std::vector<Measure> measureReports(const QString &programDir, const QString &qvadmin, int userId,
                                    int repetitions)
{
    const QString sqlite3 = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (sqlite3.isEmpty())
        fail("the sqlite3 command line is needed for the report baseline");
    QTemporaryDir out(QDir::tempPath() + QStringLiteral("/qvbench-reports-XXXXXX"));
    const QString reports = out.filePath(QStringLiteral("reports"));

    const QStringList ours{
        QStringLiteral("--program-dir"), programDir,
        QStringLiteral("--data-dir"),    programDir,
        QStringLiteral("--settings"),    programDir + QStringLiteral("/settings.ini"),
        QStringLiteral("report"),        QStringLiteral("timecards"),
        QStringLiteral("--user"),        QString::number(userId),
        QStringLiteral("--out"),         reports};
    // The same statement with the user written in: the command line binds nothing.
    admin::ReportFilter filter;
    filter.userId = userId;
    QString sql =
        admin::bindReportFilter(admin::findReportKind(QStringLiteral("timecards"))->sql, filter)
            .sql;
    sql.replace(QLatin1Char('?'), QString::number(userId));
    const QString csv = out.filePath(QStringLiteral("baseline.csv"));
    const QStringList baseline{QStringLiteral("-csv"), QStringLiteral("-header"),
                               programDir + QStringLiteral("/QVData.db"), sql};

    const double ms = medianMs(repetitions, [&] {
        QDir(reports).removeRecursively();
        runToEnd(qvadmin, ours);
    });
    const QStringList written = QDir(reports).entryList({QStringLiteral("*.csv")}, QDir::Files);
    if (written.size() != 1)
        fail("qvadmin report wrote no CSV");
    const double baselineMs = medianMs(repetitions, [&] { runToEnd(sqlite3, baseline, csv); });
    const qint64 ourRows = lineCount(QDir(reports).filePath(written.front()));
    const qint64 theirRows = lineCount(csv);
    if (ourRows != theirRows)
        fail("the report and the baseline wrote " + std::to_string(ourRows) + " and " +
             std::to_string(theirRows) + " lines");
    std::cerr << "qvbench: the report of user " << userId << " has " << ourRows - 1 << " rows\n";
    return {{QStringLiteral("report of one user's TimeCards (CSV and page)"), ms, baselineMs}};
}

} // namespace quorvale::bench
