#pragma once

#include "outlook/FolderKind.h"

#include <QString>

// The texts the connection shows, word for word as the program has always shown
// them (the doubled blanks after full stops included).
namespace quorvale::OutlookMessages {

QString missingOutlookTitle();
QString missingOutlookText();

// "Missing Journal Folder" and the request to choose it.
QString missingFolderTitle(FolderKind kind);
QString missingFolderText(FolderKind kind);

// "Missing Journal Setting": the Yes/No question after nothing was chosen.
QString missingSettingTitle(FolderKind kind);
QString missingSettingText();

// " Invalid Folder Type" (one leading blank) naming the type wanted.
QString invalidFolderTypeTitle();
QString invalidFolderTypeText(FolderKind kind);

QString unableToCreateInstance();

} // namespace quorvale::OutlookMessages
