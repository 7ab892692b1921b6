#pragma once

#include "timecards/CommandSet.h"

#include <QString>
#include <QUrl>
#include <functional>

namespace quorvale {

class Prompts;

// The Help menu's pages: the help page shipped with the program and the maker's
// support and comments pages, each opened in the person's browser.
class HelpCommands : public CommandSet {
public:
    // openUrl hands a URL to the desktop (QDesktopServices::openUrl when empty);
    // helpFile is the shipped help page; itemStoreVersion names the item store's
    // version code for the support request.
    HelpCommands(Prompts &prompts, QString helpFile, QString itemStoreVersion,
                 std::function<bool(const QUrl &)> openUrl = {});

    bool handles(int toolId) const override;
    void run(int toolId) override;

    // The support request page with the three keys the maker's page reads.
    QUrl supportUrl() const;
    static QUrl commentsUrl();
    // The help page beside the program: help/index.html next to the executable.
    // The help page shipped with the program in programDir (the running
    // program's own when empty): beside it, or in share/quorvale/help of the
    // prefix it was installed to.
    static QString shippedHelpFile(const QString &programDir = QString());

private:
    void open(const QUrl &url);

    Prompts &m_prompts;
    QString m_helpFile;
    QString m_itemStoreVersion;
    std::function<bool(const QUrl &)> m_openUrl;
};

} // namespace quorvale
