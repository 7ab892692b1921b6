#pragma once

#include "data/DataStore.h"
#include "data/DatabaseSettings.h"
#include "outlook/OutlookSession.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>
#include <memory>

namespace quorvale::test {

// A real program database made by the administrator tool, a real item store
// and the session every item operation goes through.
class ProgramStoreFixture : public ::testing::Test {
protected:
    // Call from SetUp inside ASSERT_NO_FATAL_FAILURE.
    void openProgramAndStore()
    {
        admin::InitOptions init;
        init.location.programDir = dir.filePath("program");
        init.location.dataDir = dir.filePath("data");
        init.userName = "Ann O'Hara";
        admin::initialise(init, registry);
        errors.terminate = [](int) {};
        store = std::make_unique<DataStore>(DatabaseSettings::read(registry.openSubKey("Database")),
                                            init.location.programDir, prompts, errors);
        ASSERT_TRUE(store->OpenDB());
        ASSERT_TRUE(session.CreateOutlookInstance());
        ASSERT_TRUE(session.SetFolderObjects(FolderIds{}));
    }
    db::Connection &cnn() { return store->cnnLink(); }

    TempDir dir;
    QString root = dir.filePath("Items");
    Registry registry{dir.filePath("settings.ini")};
    ScriptedPrompts prompts;
    ErrorReport report{prompts, dir.filePath("reports")};
    ErrorHandler errors{report};
    std::unique_ptr<DataStore> store;
    OutlookSession session{root, registry, prompts};
};

} // namespace quorvale::test
