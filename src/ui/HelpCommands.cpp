#include "HelpCommands.h"

#include "support/Prompts.h"
#include "support/Version.h"
#include "timecards/CommandTable.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QSysInfo>
#include <QUrlQuery>

namespace quorvale {

namespace {

// The maker's pages. The query keys are what the support page reads.
constexpr const char *SupportPage = "https://www.kestrune.com/quorvale/support";
constexpr const char *CommentsPage = "https://www.kestrune.com/quorvale/comments";

} // namespace

HelpCommands::HelpCommands(Prompts &prompts, QString helpFile, QString itemStoreVersion,
                           std::function<bool(const QUrl &)> openUrl)
    : m_prompts(prompts), m_helpFile(std::move(helpFile)),
      m_itemStoreVersion(std::move(itemStoreVersion)), m_openUrl(std::move(openUrl))
{
    if (!m_openUrl)
        m_openUrl = [](const QUrl &url) { return QDesktopServices::openUrl(url); };
}

bool HelpCommands::handles(int toolId) const
{
    return toolId == ToolId::HelpContents || toolId == ToolId::SupportMessage ||
           toolId == ToolId::Comments;
}

void HelpCommands::run(int toolId)
{
    if (toolId == ToolId::SupportMessage) {
        open(supportUrl());
    } else if (toolId == ToolId::Comments) {
        open(commentsUrl());
    } else if (!QFileInfo::exists(m_helpFile)) {
        m_prompts.messageBox(QStringLiteral("Quorvale"),
                             QStringLiteral("The help page %1 is missing. Please reinstall "
                                            "Quorvale.")
                                 .arg(QDir::toNativeSeparators(m_helpFile)),
                             PromptButtons::Ok, PromptIcon::Warning);
    } else {
        open(QUrl::fromLocalFile(m_helpFile));
    }
}

QUrl HelpCommands::supportUrl() const
{
    QUrl url(QString::fromLatin1(SupportPage));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("OUTLOOKVERSION"), m_itemStoreVersion);
    query.addQueryItem(QStringLiteral("OPERATINGSYSTEM"), QSysInfo::prettyProductName());
    query.addQueryItem(QStringLiteral("PROGRAMVERSION"), Version::text());
    url.setQuery(query);
    return url;
}

QUrl HelpCommands::commentsUrl()
{
    return QUrl(QString::fromLatin1(CommentsPage));
}

QString HelpCommands::shippedHelpFile(const QString &programDir)
{
    // Beside the program in a build; under share/ where it was installed.
    const QDir dir(programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir);
    const QStringList candidates{
        dir.absoluteFilePath(QStringLiteral("help/index.html")),
        QDir::cleanPath(dir.absoluteFilePath(QStringLiteral("../share/quorvale/help/index.html")))};
    for (const QString &candidate : candidates)
        if (QFileInfo::exists(candidate))
            return candidate;
    return candidates.front();
}

void HelpCommands::open(const QUrl &url)
{
    // No browser (or none that answers) must not leave the person wondering.
    if (!m_openUrl(url))
        m_prompts.messageBox(
            QStringLiteral("Quorvale"),
            QStringLiteral("No web browser could be started for\n%1").arg(url.toDisplayString()),
            PromptButtons::Ok, PromptIcon::Warning);
}

} // namespace quorvale
