#pragma once

#include "platform/registry/Registry.h"
#include "platform/registry/RegistryKey.h"
#include "qvadmin/InitCommand.h"

namespace quorvale::test {

// Someone who has been offered the tour once: tests of the offer clear it.
inline void markTourOffered(Registry &settings)
{
    settings.openSubKey(QStringLiteral("Settings")).writeInt(QStringLiteral("Tutorial Offered"), 1);
}

// A demo program directory and its settings, as `qvadmin init --demo` makes them
// (the test links the administrator tool's library).
inline void makeDemoProgram(const QString &programDir, const QString &settingsFile,
                            const QString &userName)
{
    admin::GlobalOptions globals;
    globals.programDir = programDir;
    globals.settingsFile = settingsFile;
    Registry adminRegistry(settingsFile);
    admin::initialise({admin::locationForInit(globals), userName, true, false}, adminRegistry);
    markTourOffered(adminRegistry);
}

} // namespace quorvale::test
