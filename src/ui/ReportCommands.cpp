#include "ReportCommands.h"

#include "outlook/OutlookSession.h"
#include "outlook/OutlookViews.h"
#include "platform/core/QvError.h"
#include "platform/registry/Registry.h"
#include "settings/AdminSettings.h"
#include "settings/RegSettings.h"
#include "settings/WindowLifecycle.h"
#include "support/Prompts.h"
#include "timecards/CommandTable.h"
#include "timecards/ContactList.h"
#include "timecards/ReportRunner.h"
#include "ui/FolderViewWindow.h"
#include "ui/ReportDialog.h"
#include "ui/frmTimeCard.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QUrl>

namespace quorvale {

namespace {

const QString MissingProgram = QStringLiteral("Missing Program");
const QString CannotLocate = QStringLiteral("Cannot locate Administrator program");

// Billing › Accounts Receivable, Work In Process and Client Funds.
bool isBillingSummary(int toolId)
{
    return toolId >= 1042 && toolId <= 1044;
}

} // namespace

ReportCommands::ReportCommands(frmTimeCard &window, OutlookSession &outlook,
                               const RegSettings &settings, const AdminOptions &options,
                               const WindowLifecycle &lifecycle, Registry &registry,
                               db::Connection &cnnLink, Prompts &prompts)
    : m_window(window), m_outlook(outlook), m_settings(settings), m_options(options),
      m_lifecycle(lifecycle), m_registry(registry), m_cnnLink(cnnLink), m_prompts(prompts)
{
}

bool ReportCommands::handles(int toolId) const
{
    if (!reportKindForTool(toolId).isEmpty())
        return m_lifecycle.reportingAvailable();
    return outlookViewForTool(toolId) != nullptr || toolId == ToolId::Administrator;
}

void ReportCommands::run(int toolId)
{
    if (toolId == ToolId::Administrator)
        administrator();
    else if (outlookViewForTool(toolId))
        folderView(toolId);
    else
        report(toolId);
}

void ReportCommands::report(int toolId)
{
    ReportRequest request{reportKindForTool(toolId), {}, {}, {}, {}};
    // The Reports menu asks what to cover; the billing summaries run whole.
    if (!isBillingSummary(toolId)) {
        std::vector<ReportContact> contacts;
        for (const ContactRow &row : ContactList(m_cnnLink).load())
            if (row.id)
                contacts.push_back({*row.id, row.name});
        ReportDialog dialog(request.kind, std::move(contacts), m_options.terms.contact,
                            QDate::currentDate(), &m_window);
        if (dialog.exec() != QDialog::Accepted)
            return;
        request = dialog.request();
    }
    const QString programDir = m_lifecycle.programDir();
    ReportRunner runner(m_prompts, QCoreApplication::applicationDirPath());
    ReportSource source;
    source.programDir = programDir;
    source.settingsFile = m_registry.filePath();
    // What a client owes, what is in process and the client funds are the
    // firm's, whoever recorded the work or took the payment.
    if (!isBillingSummary(toolId))
        source.userId = m_settings.userId;
    source.outputDir = QDir(programDir).filePath(QStringLiteral("Reports"));
    const ReportOutcome outcome = runner.PrintReports(request, source);
    if (outcome.ok()) {
        const QString csv = outcome.csvPath.isEmpty()
                                ? QString()
                                : QStringLiteral("\n\nIts rows are saved for a spreadsheet as\n%1")
                                      .arg(QDir::toNativeSeparators(outcome.csvPath));
        if (QDesktopServices::openUrl(QUrl::fromLocalFile(outcome.htmlPath)))
            m_prompts.messageBox(QStringLiteral("Reports"),
                                 QStringLiteral("The report is open in your browser.") + csv,
                                 PromptButtons::Ok, PromptIcon::Information);
        else
            m_prompts.messageBox(QStringLiteral("Reports"),
                                 QStringLiteral("The report is ready in\n%1")
                                         .arg(QDir::toNativeSeparators(outcome.htmlPath)) +
                                     csv,
                                 PromptButtons::Ok, PromptIcon::Information);
    } else if (outcome.error->description() != CannotLocate) {
        // The missing tool has been told already.
        m_prompts.messageBox(QStringLiteral("Reports"), outcome.error->description(),
                             PromptButtons::Ok, PromptIcon::Warning);
    }
}

void ReportCommands::folderView(int toolId)
{
    const OutlookView *view = outlookViewForTool(toolId);
    const AdminOptions &options = m_options;
    FolderViewWindow::Request request{
        m_outlook.folder(view->slot),
        viewFilePath(m_lifecycle.programDir(), *view),
        QString::fromLatin1(view->viewName),
        {m_settings.license.userName,
         options.activity1InUse ? std::optional<QString>(options.terms.activity1) : std::nullopt}};
    if (FolderViewWindow *window = FolderViewWindow::open(m_prompts, request, &m_window))
        window->show();
}

void ReportCommands::administrator()
{
    ReportRunner runner(m_prompts, QCoreApplication::applicationDirPath());
    const QString tool = runner.locateAdministrator();
    if (tool.isEmpty()) {
        m_prompts.messageBox(MissingProgram, CannotLocate, PromptButtons::Ok, PromptIcon::Warning);
        return;
    }
    // The administrator tool works on the command line: its help goes to a
    // window the person can read and copy from.
    QProcess help;
    help.start(tool, {QStringLiteral("--help")});
    const bool ran = help.waitForFinished(10000);
    const QString text = QString::fromLocal8Bit(help.readAllStandardOutput()) +
                         QString::fromLocal8Bit(help.readAllStandardError());
    if (!ran || text.trimmed().isEmpty()) {
        m_prompts.messageBox(MissingProgram, CannotLocate, PromptButtons::Ok, PromptIcon::Warning);
        return;
    }
    m_prompts.messageBox(QStringLiteral("Administrator"),
                         QStringLiteral("The administrator tool is %1\n\n%2")
                             .arg(QDir::toNativeSeparators(tool), text.trimmed()),
                         PromptButtons::Ok, PromptIcon::Information);
}

} // namespace quorvale
