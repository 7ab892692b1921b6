#pragma once

#include <QString>
#include <QStringList>

namespace quorvale::admin {

// Where the shipped view files (XML1.txt .. XML5.txt) may be found: the
// "views" folder beside qvadmin, then the installed share folder.
QStringList viewFileSources();

// Copies the view files of the first source folder that holds them into the
// program directory. A view file already there is kept: an administrator may
// have adapted it. Returns how many were copied.
int installViewFiles(const QString &programDir, const QStringList &sources);

} // namespace quorvale::admin
