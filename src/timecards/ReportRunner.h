#pragma once

#include "platform/core/QvError.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace quorvale {

class Prompts;

// The report kind the administrator tool knows for a Reports or Billing menu tool
// (1013-1044); empty for any other tool.
QString reportKindForTool(int toolId);

// A report a person may choose in the report dialog: its kind, its name, and
// whether it can be narrowed to one client and by billing status.
struct ReportKindChoice {
    QString kind;
    QString caption;
    bool byContact = true;
    bool byStatus = true;
};
// The Reports menu's reports and the weekly timesheet, in the menu's order.
const std::vector<ReportKindChoice> &reportKindChoices();

// Where the report's data lives, as the administrator tool is told it.
struct ReportSource {
    QString programDir;            // the link database's directory
    std::optional<QString> server; // a server's connect string instead
    std::optional<QString> settingsFile;
    // The reports are the user's own; the billing summaries (unset) the firm's.
    std::optional<int> userId;
    QString outputDir; // where the files go
};

// What one report is asked for beyond its source; an unset part does not narrow.
struct ReportRequest {
    QString kind; // as reportKindForTool names it, or "timesheet"
    std::optional<QDate> from;
    std::optional<QDate> to;
    std::optional<int> contactId;
    QString status; // "open", "invoiced", or empty for every row
    bool operator==(const ReportRequest &) const = default;
};

// The administrator tool's command line for that report, after the options
// naming the database.
QStringList reportArguments(const ReportRequest &request, const ReportSource &source);

struct ReportOutcome {
    QString htmlPath;
    QString csvPath; // the same rows as comma-separated values, beside the page
    std::optional<QvError> error;
    bool ok() const { return !error; }
};

// Produces reports through the administrator tool qvadmin, which holds the
// report queries: runs "qvadmin report KIND" and hands back the HTML page it wrote.
class ReportRunner {
public:
    // applicationDir: where the running program lives, the first place to look.
    ReportRunner(Prompts &prompts, QString applicationDir);

    // Where else to look after the program's own directory and the build layout;
    // empty (the default) means the directories of PATH.
    void setSearchPath(const QStringList &dirs) { m_searchPath = dirs; }
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }

    // The qvadmin executable: beside the program, then where the build puts it
    // (../../tools/qvadmin), then on the search path; empty when there is none.
    QString locateAdministrator() const;

    // Runs the report. A missing qvadmin is told to the person ("Missing
    // Program"); every failure comes back as the outcome's error.
    ReportOutcome PrintReports(const ReportRequest &request, const ReportSource &source);
    ReportOutcome PrintReports(const QString &kind, const ReportSource &source)
    {
        return PrintReports(ReportRequest{kind, {}, {}, {}, {}}, source);
    }

private:
    Prompts &m_prompts;
    QString m_applicationDir;
    QStringList m_searchPath;
    int m_timeoutMs = 120000;
};

} // namespace quorvale
