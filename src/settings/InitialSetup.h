#pragma once

#include "settings/JoinDatabase.h"

#include <QString>

namespace quorvale {

class ErrorHandler;
class Prompts;
class Registry;

// The text of the message the set-up shows once the person is set up.
QString setupCompleteText();

// The set-up window's OK: joins the chosen database as the chosen user (the
// settings' database, "License" and "Setup Date", this computer's own
// databases), says that the set-up is complete, copies the administrator's
// default settings when the database's options row says so
// (`RetrieveAdminDefaults`), then opens every database once, as start-up will
// (`VerifyDirectoriesAndFiles`, `OpenDB`), reporting each step. False, after
// telling the person, when a step fails; a join that failed changed nothing,
// so the person may choose again.
bool CompleteInitialSetup(Registry &registry, const QString &programDir, const JoinChoice &choice,
                          const ProgramUser &user, Prompts &prompts, ErrorHandler &errors,
                          const SetupProgress &progress = {});

} // namespace quorvale
