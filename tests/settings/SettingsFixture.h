#pragma once

#include "data/DataStore.h"
#include "platform/registry/Registry.h"
#include "settings/AdminSettings.h"
#include "settings/FolderSettings.h"
#include "settings/RegSettings.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace quorvale::test {

// A program database made by the administrator tool, opened the way start-up
// opens it, and an empty settings file of the person's own. The program's end
// is caught instead of carried out.
class SettingsFixture : public ::testing::Test {
protected:
    explicit SettingsFixture(bool demo = false);
    ~SettingsFixture() override;

    void SetUp() override;

    db::Connection &link() { return m_store->cnnLink(); }
    db::Recordset &adminOptions() { return m_store->rsAdminOptions(); }

    // Sets tblAdminOptions columns by ordinal.
    void setOption(int ordinal, const QVariant &value);
    void exec(const QString &sql, const QVariantList &params = {});
    QVariant scalar(const QString &sql, const QVariantList &params = {});

    // The user the database was made for, stored as the settings file's user.
    void logOnAsInitialUser();
    RegistryKey key(const char *subKeyPath)
    {
        return registry.openSubKey(QLatin1String(subKeyPath));
    }

    // GetRegSettings with this fixture's parts.
    bool getRegSettings();

    // Error reports the handler wrote.
    QStringList reports() const;

    TempDir tmp;
    ScriptedPrompts prompts;
    std::unique_ptr<ErrorReport> report;
    std::unique_ptr<ErrorHandler> errors;
    std::vector<int> endedWith;

    int initialUserId = 0;
    std::unique_ptr<Registry> setupRegistry;     // what the administrator tool wrote
    Registry registry{tmp.filePath("user.ini")}; // the person's settings

    RegSettings settings;
    AdminOptions options;
    std::vector<FolderKind> defaultFolderCalls;
    DefaultFolderFn defaultFolder = [this](FolderKind kind) {
        defaultFolderCalls.push_back(kind);
        return FolderId{"default-" + folderDisplayName(kind), "store-1"};
    };

private:
    bool m_demo;
    std::unique_ptr<DataStore> m_store;
};

} // namespace quorvale::test
