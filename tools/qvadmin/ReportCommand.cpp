#include "qvadmin/ReportCommand.h"

#include "platform/core/QvError.h"
#include "platform/core/WholeFile.h"
#include "platform/pim/Namespace.h"
#include "qvadmin/Arguments.h"
#include "qvadmin/ContactCardsWriter.h"
#include "qvadmin/ProgramDatabase.h"
#include "qvadmin/ReportItems.h"
#include "qvadmin/ReportKinds.h"
#include "qvadmin/ReportQuery.h"
#include "qvadmin/ReportTimesheet.h"
#include "qvadmin/ReportWriters.h"
#include "timecards/ReportPeriod.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTextStream>
#include <climits>
#include <future>
#include <memory>

namespace quorvale::admin {

namespace {

const QString Usage =
    QStringLiteral("report KIND [--user ID] [--from YYYY-MM-DD] [--to YYYY-MM-DD] "
                   "[--contact ID] [--status open|invoiced] [--out DIR]");

QString describeFilter(const ReportFilter &filter, const QString &contactTerm,
                       const QString &contactName)
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
    if (filter.contactId)
        parts << QStringLiteral("%1 %2").arg(contactTerm, contactName);
    if (filter.status)
        parts << (*filter.status == ReportStatus::Open ? QStringLiteral("not yet invoiced")
                                                       : QStringLiteral("invoiced"));
    return parts.join(QStringLiteral(", "));
}

// The administrator's words for the contact and the activities; the defaults
// where the row or a word is missing.
Terms readTerms(db::Connection &db)
{
    Terms terms;
    QSqlQuery q = db.prepare(
        QStringLiteral("SELECT ContactTerm, Activity1Term, Activity2Term FROM tblAdminOptions"));
    db.run(q, {});
    if (q.next()) {
        for (auto [i, term] : {std::pair{0, &terms.contact}, std::pair{1, &terms.activity1},
                               std::pair{2, &terms.activity2}})
            if (const QString word = q.value(i).toString().trimmed(); !word.isEmpty())
                *term = word;
    }
    return terms;
}

// The item store beside the database, opened without making one: a report
// must not leave a store where there was none.
std::unique_ptr<pim::Namespace> openItems(const GlobalOptions &globals, const Location &location)
{
    try {
        const auto registry = openRegistry(globals);
        return std::make_unique<pim::Namespace>(itemStoreRoot(location, *registry), false);
    } catch (const QvError &) {
        return nullptr;
    }
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
    const ShownReport shown(table);
    // The page is made and written beside the CSV, on the other core. One
    // report is both files or neither, so a retry does not leave a pair that
    // looks like two runs.
    auto page = std::async(std::launch::async,
                           [&] { writeWhole(files.html, reportHtml(shown, filterText)); });
    try {
        writeWhole(files.csv, reportCsv(shown));
    } catch (...) {
        try {
            page.get();
        } catch (...) {
            // The CSV's failure is the one told; the page goes with it.
        }
        QFile::remove(files.html);
        throw;
    }
    try {
        page.get();
    } catch (...) {
        QFile::remove(files.csv);
        throw;
    }
    return files;
}

int runReportCommand(const QStringList &args, const GlobalOptions &globals, QTextStream &out)
{
    const Arguments a(args,
                      {QStringLiteral("user"), QStringLiteral("from"), QStringLiteral("to"),
                       QStringLiteral("contact"), QStringLiteral("status"), QStringLiteral("out")},
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
    if (const auto contact = a.number(QStringLiteral("contact"), 1, INT_MAX))
        filter.contactId = int(*contact);
    if (const auto status = a.value(QStringLiteral("status"))) {
        if (*status == QLatin1String("open"))
            filter.status = ReportStatus::Open;
        else if (*status == QLatin1String("invoiced"))
            filter.status = ReportStatus::Invoiced;
        else
            usageError(QStringLiteral("--status is 'open' or 'invoiced', not '%1'.").arg(*status));
    }
    const ReportNarrowing narrowing = reportNarrowing(kind->sql);
    if (filter.contactId && !narrowing.byContact)
        usageError(QStringLiteral("The %1 report cannot be narrowed to one contact.").arg(name));
    if (filter.status && !narrowing.byStatus)
        usageError(QStringLiteral("The %1 report cannot be narrowed by billing status.").arg(name));
    if (kind->weekly) {
        if (!filter.userId)
            usageError(QStringLiteral("A timesheet is one person's: give --user ID."));
        // One week, Monday to Sunday, the week --from lies in (this week without it).
        filter.from = weekStart(filter.from.value_or(QDate::currentDate()));
        filter.to = filter.from->addDays(6);
    }

    QString contactName;
    ReportTable table;
    Terms terms;
    {
        // Closed before the files are made: they need nothing more of it.
        ProgramDatabase program(globals);
        // A mistyped ID would give an empty report that looks like a client
        // without work.
        if (filter.contactId) {
            const QVariant stored = program.connection().scalar(
                QStringLiteral("SELECT ContactName FROM tblContacts WHERE ContactID = ?"),
                {*filter.contactId});
            if (!stored.isValid() || stored.isNull())
                usageError(QStringLiteral("There is no contact %1.").arg(*filter.contactId));
            contactName = stored.toString();
        }
        table = runReport(program.connection(), *kind, filter);
        if (kind->weekly)
            table = weeklyTimesheet(table, *filter.from);
        if (kind->itemType) {
            const auto items = openItems(globals, program.location());
            addItemColumns(table, kind->entryIdColumn, *kind->itemType, items.get());
        }
        terms = readTerms(program.connection());
    }
    applyTerms(table, terms);
    const ReportFiles files =
        writeReportFiles(table, kind->name, describeFilter(filter, terms.contact, contactName),
                         a.value(QStringLiteral("out"), QDir::currentPath()));
    out << files.csv << '\n' << files.html << '\n';
    return 0;
}

} // namespace quorvale::admin
