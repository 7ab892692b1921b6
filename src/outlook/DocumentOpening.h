#pragma once

#include "platform/shell/Shell.h"

#include <QString>
#include <functional>

namespace quorvale {

class Prompts;

// How a document reaches a program: the desktop's association, and, when the
// desktop has none, a program the person picks (false when they do not).
struct DocumentShell {
    std::function<shell::OpenResult(const QString &path)> open;
    std::function<bool(const QString &path)> openWith;
};

// The text for a failed opening; empty for success and for a missing
// association, which is no error but a question for the person.
QString openErrorText(shell::OpenResult result);

// Opens an existing file with its associated program. A failure is told with
// the title "Error Opening Document"; a file type without association goes to
// the person's choice of program instead. True when a program took the file.
bool OpenUserDoc(const QString &path, const DocumentShell &shell, Prompts &prompts);

} // namespace quorvale
