#include "qvadmin/ReportCommand.h"

#include "platform/core/QvError.h"
#include "platform/core/WholeFile.h"
#include "qvadmin/Arguments.h"
#include "qvadmin/ProgramDatabase.h"
#include "qvadmin/ReportKinds.h"
#include "qvadmin/ReportQuery.h"
#include "qvadmin/ReportWriters.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <climits>

namespace quorvale::admin {

namespace {

const QString Usage =
    QStringLiteral("report KIND [--user ID] [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--out DIR]");

QString describeFilter(const ReportFilter &filter)
{
    QStringList parts;
    parts << (filter.userId ? QStringLiteral("User %1").arg(*filter.userId)
                            : QStringLiteral("All users"));
    if (filter.from && filter.to)
        parts << QStringLiteral("%1 to %2")
                     .arg(filter.from->toString(Qt::ISODate), filter.to->toString(Qt::ISODate));
    else if (filter.from)
        parts << QStringLiteral("from %1").arg(filter.from->toString(Qt::ISODate));
    else if (filter.to)
        parts << QStringLiteral("up to %1").arg(filter.to->toString(Qt::ISODate));
    else
        parts << QStringLiteral("all dates");
    return parts.join(QStringLiteral(", "));
}

// Owner only: a report lists clients, hours and money.
void writeWhole(const QString &path, const QByteArray &content)
{
    WholeFileOptions options;
    options.errorNumber = ErrorNumber::Generic;
    options.errorSource = QStringLiteral("qvadmin: report");
    writeWholeFile(path, content, options);
}

} // namespace

ReportFiles writeReportFiles(const ReportTable &table, const QString &kind,
                             const QString &filterText, const QString &dir)
{
    if (!QDir().mkpath(dir))
        throw QvError(ErrorNumber::Generic,
                      QStringLiteral("The report directory %1 could not be created.")
                          .arg(QDir::toNativeSeparators(dir)),
                      QStringLiteral("qvadmin: report"));
    const QDir out(dir);
    const QString stem =
        kind + u'-' + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    ReportFiles files;
    for (int n = 1;; ++n) {
        const QString name = n == 1 ? stem : stem + u'-' + QString::number(n);
        files.csv = out.absoluteFilePath(name + QStringLiteral(".csv"));
        files.html = out.absoluteFilePath(name + QStringLiteral(".html"));
        if (!QFileInfo::exists(files.csv) && !QFileInfo::exists(files.html))
            break;
    }
    writeWhole(files.csv, reportCsv(table));
    try {
        writeWhole(files.html, reportHtml(table, filterText));
    } catch (...) {
        // One report is both files or neither, so a retry does not leave a pair
        // that looks like two runs.
        QFile::remove(files.csv);
        throw;
    }
    return files;
}

int runReportCommand(const QStringList &args, const GlobalOptions &globals, QTextStream &out)
{
    const Arguments a(args,
                      {QStringLiteral("user"), QStringLiteral("from"), QStringLiteral("to"),
                       QStringLiteral("out")},
                      {});
    a.requireWords(1, 1, Usage);
    const QString name = a.words().first();
    const ReportKind *kind = findReportKind(name);
    if (!kind)
        usageError(QStringLiteral("Unknown report '%1'; the reports are: %2.")
                       .arg(name, reportKindNames().join(QStringLiteral(", "))));
    ReportFilter filter;
    if (const auto user = a.number(QStringLiteral("user"), 1, INT_MAX))
        filter.userId = int(*user);
    const Arguments::Period period = a.period(QStringLiteral("report"));
    filter.from = period.from;
    filter.to = period.to;

    ProgramDatabase program(globals);
    const ReportTable table = runReport(program.connection(), *kind, filter);
    const ReportFiles files = writeReportFiles(table, kind->name, describeFilter(filter),
                                               a.value(QStringLiteral("out"), QDir::currentPath()));
    out << files.csv << '\n' << files.html << '\n';
    return 0;
}

} // namespace quorvale::admin
