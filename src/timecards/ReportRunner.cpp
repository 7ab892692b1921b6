#include "timecards/ReportRunner.h"

#include "support/AdminTool.h"
#include "support/Prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace quorvale {

namespace {

const QString Source = QStringLiteral("PrintReports");

QvError reportError(const QString &description)
{
    return QvError(ErrorNumber::Generic, description, Source);
}

bool isExecutable(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

} // namespace

QString reportKindForTool(int toolId)
{
    switch (toolId) {
    case 1013:
        return QStringLiteral("timecards");
    case 1014:
        return QStringLiteral("expenses");
    case 1015:
        return QStringLiteral("fixed-charges");
    case 1020:
        return QStringLiteral("tasks");
    case 1021:
        return QStringLiteral("time-detail");
    case 1022:
        return QStringLiteral("scheduled-appointments");
    case 1023:
        return QStringLiteral("notes");
    case 1024:
        return QStringLiteral("messages");
    case 1025:
        return QStringLiteral("evaluations");
    case 1026:
        return QStringLiteral("combined");
    case 1027:
        return QStringLiteral("reimbursement");
    case 1028:
        return QStringLiteral("documents");
    case 1041:
        return QStringLiteral("invoices");
    case 1042:
        return QStringLiteral("receivables");
    case 1043:
        return QStringLiteral("wip");
    case 1044:
        return QStringLiteral("client-funds");
    default:
        return {};
    }
}

const std::vector<ReportKindChoice> &reportKindChoices()
{
    static const std::vector<ReportKindChoice> choices = [] {
        std::vector<ReportKindChoice> c;
        const auto add = [&c](int tool, const char *caption, bool narrows = true) {
            c.push_back({reportKindForTool(tool), QString::fromUtf8(caption), narrows, narrows});
        };
        add(1013, "TimeCards");
        c.push_back({QStringLiteral("timesheet"), QStringLiteral("Weekly Timesheet"), true, true});
        add(1014, "Expenses");
        add(1015, "Fixed Charges");
        add(1020, "Tasks");
        add(1021, "Time Detail");
        add(1022, "Scheduled Appointments");
        add(1023, "Notes");
        add(1024, "Messages");
        add(1025, "Evaluations");
        add(1026, "Combined");
        // The form lists what is still to be reimbursed, whoever it was for.
        add(1027, "Expense Reimbursement", false);
        add(1028, "Documents");
        return c;
    }();
    return choices;
}

QStringList reportArguments(const ReportRequest &request, const ReportSource &source)
{
    QStringList args{QStringLiteral("report"), request.kind};
    if (source.userId)
        args << QStringLiteral("--user") << QString::number(*source.userId);
    if (request.from)
        args << QStringLiteral("--from") << request.from->toString(Qt::ISODate);
    if (request.to)
        args << QStringLiteral("--to") << request.to->toString(Qt::ISODate);
    if (request.contactId)
        args << QStringLiteral("--contact") << QString::number(*request.contactId);
    if (!request.status.isEmpty())
        args << QStringLiteral("--status") << request.status;
    args << QStringLiteral("--out") << source.outputDir;
    return args;
}

ReportRunner::ReportRunner(Prompts &prompts, QString applicationDir)
    : m_prompts(prompts), m_applicationDir(std::move(applicationDir))
{
}

QString ReportRunner::locateAdministrator() const
{
    const QDir app(m_applicationDir);
    // Installed, both programs are in the same bin/; the build puts a copy
    // of the tool beside the program too.
    if (const QString beside = app.filePath(QStringLiteral("qvadmin")); isExecutable(beside))
        return QFileInfo(beside).canonicalFilePath();
    return QStandardPaths::findExecutable(QStringLiteral("qvadmin"), m_searchPath);
}

ReportOutcome ReportRunner::PrintReports(const ReportRequest &request, const ReportSource &source)
{
    const QString &kind = request.kind;
    ReportOutcome outcome;
    const QString program = locateAdministrator();
    if (program.isEmpty()) {
        const QString text = QStringLiteral("Cannot locate Administrator program");
        m_prompts.messageBox(QStringLiteral("Missing Program"), text, PromptButtons::Ok,
                             PromptIcon::Warning);
        outcome.error = reportError(text);
        return outcome;
    }

    QStringList args;
    if (source.settingsFile)
        args << QStringLiteral("--settings") << *source.settingsFile;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QLatin1String(ServerEnvironmentVariable));
    if (source.server)
        environment.insert(QLatin1String(ServerEnvironmentVariable), *source.server);
    else if (!source.programDir.isEmpty())
        args << QStringLiteral("--program-dir") << source.programDir;
    args << reportArguments(request, source);

    QProcess process;
    process.setProgram(program);
    process.setArguments(args);
    process.setProcessEnvironment(environment);
    process.start();
    if (!process.waitForStarted()) {
        outcome.error =
            reportError(QStringLiteral("The administrator program %1 could not be "
                                       "started: %2")
                            .arg(QDir::toNativeSeparators(program), process.errorString()));
        return outcome;
    }
    if (!process.waitForFinished(m_timeoutMs)) {
        process.kill();
        process.waitForFinished();
        outcome.error =
            reportError(QStringLiteral("The %1 report took longer than %2 seconds and was stopped.")
                            .arg(kind)
                            .arg(m_timeoutMs / 1000));
        return outcome;
    }
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        outcome.error =
            reportError(QStringLiteral("The %1 report could not be produced.").arg(kind) +
                        (errors.isEmpty() ? QString() : QStringLiteral("\n\n") + errors));
        return outcome;
    }
    // qvadmin prints the CSV and then the HTML file, one path a line.
    const QStringList lines =
        QString::fromLocal8Bit(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        if (line.trimmed().endsWith(QStringLiteral(".html")))
            outcome.htmlPath = line.trimmed();
        else if (line.trimmed().endsWith(QStringLiteral(".csv")))
            outcome.csvPath = line.trimmed();
    }
    if (outcome.htmlPath.isEmpty() || !QFileInfo::exists(outcome.htmlPath))
        outcome.error =
            reportError(QStringLiteral("The administrator program wrote no %1 report.").arg(kind));
    return outcome;
}

} // namespace quorvale
