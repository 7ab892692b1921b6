#pragma once

#include <QString>
#include <QVariantMap>

namespace quorvale {

enum class PromptButtons { Ok, OkCancel, RetryCancel, YesNo, YesNoCancel };
enum class PromptIcon { None, Information, Question, Warning, Critical };
enum class PromptResult { Ok, Cancel, Retry, Yes, No };

// Names of the modal dialogs opened through Prompts::showDialog.
namespace DialogName {
inline constexpr const char *InitialSetup = "InitialSetup";
inline constexpr const char *FolderPicker = "FolderPicker";
inline constexpr const char *ErrorReport = "ErrorReport";
} // namespace DialogName

// How everything below the windows talks to the person. ui/ implements it with
// message boxes and dialogs; tests implement it with a script of answers.
class Prompts {
public:
    virtual ~Prompts() = default;

    // A modal message; returns the button pressed. Closing the box without a
    // button counts as Cancel (or No for YesNo).
    virtual PromptResult messageBox(const QString &title, const QString &text,
                                    PromptButtons buttons = PromptButtons::Ok,
                                    PromptIcon icon = PromptIcon::None) = 0;

    // Opens the named modal dialog with values in; on acceptance the dialog puts
    // its results into values and true is returned. Cancelled: false, values as
    // they were.
    virtual bool showDialog(const QString &name, QVariantMap &values) = 0;
};

} // namespace quorvale
