#pragma once

// For tests that link the administrator tool's library (qv_admin).

#include "data/DataStore.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "testsupport/TempDir.h"

#include <memory>

namespace quorvale::test {

// Makes the demo program directory in dir ("program", "data", "setup.ini") the
// way `qvadmin init --demo` does, and opens it as the program does. The demo
// user's ID; store stays empty when the files do not open, which the caller
// asserts on.
inline qint32 openDemoStore(const TempDir &dir, Prompts &prompts, ErrorHandler &errors,
                            std::unique_ptr<DataStore> &store,
                            const QString &userName = QStringLiteral("Ann O'Hara"))
{
    admin::InitOptions init;
    init.location.programDir = dir.filePath(QStringLiteral("program"));
    init.location.dataDir = dir.filePath(QStringLiteral("data"));
    init.userName = userName;
    init.demo = true;
    Registry setup(dir.filePath(QStringLiteral("setup.ini")));
    const qint32 userId = admin::initialise(init, setup).userId;
    auto opened = std::make_unique<DataStore>(
        DatabaseSettings::read(setup.openSubKey(QStringLiteral("Database"))),
        init.location.programDir, prompts, errors);
    if (opened->OpenDB())
        store = std::move(opened);
    return userId;
}

} // namespace quorvale::test
