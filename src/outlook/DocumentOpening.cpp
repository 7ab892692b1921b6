#include "DocumentOpening.h"

#include "support/Prompts.h"

namespace quorvale {

QString openErrorText(shell::OpenResult result)
{
    switch (result) {
    case shell::OpenResult::Opened:
    case shell::OpenResult::NoAssociation:
        return {};
    case shell::OpenResult::FileNotFound:
        return QStringLiteral("File not found");
    case shell::OpenResult::PathNotFound:
        return QStringLiteral("Path not found");
    case shell::OpenResult::AccessDenied:
        return QStringLiteral("Access denied");
    }
    return QStringLiteral("Unknown error");
}

bool OpenUserDoc(const QString &path, const DocumentShell &shell, Prompts &prompts)
{
    const shell::OpenResult result = shell.open(path);
    if (result == shell::OpenResult::Opened)
        return true;
    if (result == shell::OpenResult::NoAssociation)
        return shell.openWith && shell.openWith(path);
    prompts.messageBox(QStringLiteral("Error Opening Document"), openErrorText(result),
                       PromptButtons::Ok, PromptIcon::Warning);
    return false;
}

} // namespace quorvale
