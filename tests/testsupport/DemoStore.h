#pragma once

// For tests that link the administrator tool's library (qv_admin).

#include "data/DataStore.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "testsupport/TempDir.h"
#include "testsupport/TestEngine.h"

#include <memory>

namespace quorvale::test {

// Where `qvadmin init` puts a program in dir: "program" and the program database
// in "data", or on a server run the engine's schema.
inline admin::Location demoLocation(const TempDir &dir, const EngineDatabase &engine)
{
    admin::Location location;
    location.programDir = dir.filePath(QStringLiteral("program"));
    if (engine.onServer())
        location.server = ServerLogin::parse(engine.connectString());
    else
        location.dataDir = dir.filePath(QStringLiteral("data"));
    return location;
}

// Makes the demo program in dir ("program", the program database, "setup.ini")
// the way `qvadmin init --demo` does, and opens it as the program does. The demo
// user's ID; store stays empty when the databases do not open, which the caller
// asserts on.
inline qint32 openDemoStore(const TempDir &dir, const EngineDatabase &engine, Prompts &prompts,
                            ErrorHandler &errors, std::unique_ptr<DataStore> &store,
                            const QString &userName = QStringLiteral("Ann O'Hara"))
{
    admin::InitOptions init;
    init.location = demoLocation(dir, engine);
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
