#include "outlook/OutlookMessages.h"

#include "outlook/FolderSlot.h"

namespace quorvale::OutlookMessages {

namespace {
const QString LineBreak = QStringLiteral("\r\n");
const QString ProgramName = QStringLiteral("Quorvale");
} // namespace

QString missingOutlookTitle()
{
    return QStringLiteral("Missing Outlook Application");
}

QString missingOutlookText()
{
    return QStringLiteral("Quorvale cannot connect to Outlook.  Please verify that ") + LineBreak +
           QStringLiteral("Outlook is installed properly.  If the problem persists, please ") +
           LineBreak + QStringLiteral("check with your Quorvale Administrator.");
}

QString missingFolderTitle(FolderKind kind)
{
    return QStringLiteral("Missing ") + folderDisplayName(kind) + QStringLiteral(" Folder");
}

QString missingFolderText(FolderKind kind)
{
    const QString name = folderDisplayName(kind);
    return ProgramName + QStringLiteral(" cannot locate your ") + name +
           QStringLiteral(" folder.  Please ") + LineBreak + QStringLiteral("select your ") + name +
           QStringLiteral(" folder from the following dialog.");
}

QString missingSettingTitle(FolderKind kind)
{
    return QStringLiteral("Missing ") + folderDisplayName(kind) + QStringLiteral(" Setting");
}

QString missingSettingText()
{
    return QStringLiteral("You did not select a folder.  Do you wish to try again?") + LineBreak +
           LineBreak + QStringLiteral("Select \"No\" if you wish to end the program and try ") +
           LineBreak + QStringLiteral("again later.");
}

QString invalidFolderTypeTitle()
{
    return QStringLiteral(" Invalid Folder Type");
}

QString invalidFolderTypeText(FolderKind kind)
{
    return QStringLiteral("The selected folder is the wrong type.  Please ") + LineBreak +
           QStringLiteral("select a ") + wrongTypeName(kind) + QStringLiteral(" folder.");
}

QString unableToCreateInstance()
{
    return QStringLiteral("Unable to create Outlook instance.");
}

} // namespace quorvale::OutlookMessages
