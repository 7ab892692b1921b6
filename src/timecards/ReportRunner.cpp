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

ReportOutcome ReportRunner::PrintReports(const QString &kind, const ReportSource &source)
{
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
    args << QStringLiteral("report") << kind << QStringLiteral("--user")
         << QString::number(source.userId) << QStringLiteral("--out") << source.outputDir;

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
    for (const QString &line : lines)
        if (line.trimmed().endsWith(QStringLiteral(".html")))
            outcome.htmlPath = line.trimmed();
    if (outcome.htmlPath.isEmpty() || !QFileInfo::exists(outcome.htmlPath))
        outcome.error =
            reportError(QStringLiteral("The administrator program wrote no %1 report.").arg(kind));
    return outcome;
}

} // namespace quorvale
