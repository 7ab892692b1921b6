#include "Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace quorvale::shell {

OpenResult openPath(const QString &path)
{
    const QFileInfo file(path);
    if (!file.exists())
        return file.absoluteDir().exists() ? OpenResult::FileNotFound : OpenResult::PathNotFound;
    if (!file.isReadable())
        return OpenResult::AccessDenied;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()))
               ? OpenResult::Opened
               : OpenResult::NoAssociation;
}

bool startProgram(const QString &program, const QStringList &arguments)
{
    return !program.isEmpty() && QProcess::startDetached(program, arguments);
}

bool openWebPage(const QString &url, const QString &browserCommand)
{
    QStringList command = QProcess::splitCommand(browserCommand);
    if (command.isEmpty())
        return QDesktopServices::openUrl(QUrl(url));
    const QString program = command.takeFirst();
    // The address is one argument of its own: no shell sees it.
    return startProgram(program, command << url);
}

} // namespace quorvale::shell
