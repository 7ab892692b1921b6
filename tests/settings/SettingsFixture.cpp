#include "SettingsFixture.h"

#include "data/AdminOptionOrdinals.h"
#include "platform/registry/RegistryPaths.h"
#include "qvadmin/InitCommand.h"
#include "settings/RegistrySettings.h"

#include <QDir>

namespace quorvale::test {

SettingsFixture::SettingsFixture(bool demo) : m_demo(demo) {}

SettingsFixture::~SettingsFixture() = default;

void SettingsFixture::SetUp()
{
    report = std::make_unique<ErrorReport>(prompts, tmp.filePath("reports"));
    errors = std::make_unique<ErrorHandler>(*report);
    errors->terminate = [this](int code) { endedWith.push_back(code); };

    admin::InitOptions init;
    init.location.programDir = tmp.filePath("program");
    init.location.dataDir = tmp.filePath("data");
    init.userName = "Ann O'Hara";
    init.demo = m_demo;
    setupRegistry = std::make_unique<Registry>(tmp.filePath("setup.ini"));
    initialUserId = admin::initialise(init, *setupRegistry).userId;
    ASSERT_GT(initialUserId, 0);

    const DatabaseSettings database = DatabaseSettings::read(setupRegistry->openSubKey("Database"));
    m_store = std::make_unique<DataStore>(database, init.location.programDir, prompts, *errors);
    ASSERT_TRUE(m_store->OpenDB());
}

void SettingsFixture::setOption(int ordinal, const QVariant &value)
{
    const auto name = schema::adminOptionColumns[static_cast<std::size_t>(ordinal)].column.name;
    exec("UPDATE tblAdminOptions SET " +
             QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())) + " = ?",
         {value});
}

void SettingsFixture::exec(const QString &sql, const QVariantList &params)
{
    link().execute(sql, params);
}

QVariant SettingsFixture::scalar(const QString &sql, const QVariantList &params)
{
    return link().scalar(sql, params);
}

void SettingsFixture::logOnAsInitialUser()
{
    key(RegistryPaths::License).writeText("User ID", QString::number(initialUserId));
}

bool SettingsFixture::getRegSettings()
{
    return GetRegSettings(registry, link(), adminOptions(), defaultFolder, prompts, *errors,
                          settings, options);
}

QStringList SettingsFixture::reports() const
{
    return QDir(tmp.filePath("reports")).entryList({"error-report-*.txt"}, QDir::Files);
}

} // namespace quorvale::test
