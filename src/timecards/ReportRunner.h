#pragma once

#include "platform/core/QvError.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace quorvale {

class Prompts;

// The report kind the administrator tool knows for a Reports or Billing menu tool
// (1013-1044); empty for any other tool.
QString reportKindForTool(int toolId);

// Where the report's data lives, as the administrator tool is told it.
struct ReportSource {
    QString programDir;            // the link database's directory
    std::optional<QString> server; // a server's connect string instead
    std::optional<QString> settingsFile;
    int userId = 0;    // the reports are the user's own
    QString outputDir; // where the files go
};

struct ReportOutcome {
    QString htmlPath;
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
    ReportOutcome PrintReports(const QString &kind, const ReportSource &source);

private:
    Prompts &m_prompts;
    QString m_applicationDir;
    QStringList m_searchPath;
    int m_timeoutMs = 120000;
};

} // namespace quorvale
