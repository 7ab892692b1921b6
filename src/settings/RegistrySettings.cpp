#include "settings/RegistrySettings.h"

#include "data/UserSettingOrdinals.h"
#include "platform/core/QvError.h"
#include "platform/db/Recordset.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryPaths.h"
#include "settings/Guarded.h"
#include "settings/RegSettingsReader.h"
#include "settings/RegValueNames.h"
#include "settings/SettingsLog.h"
#include "settings/SettingsRules.h"
#include "support/Prompts.h"
#include "support/Trace.h"

#include <limits>

namespace quorvale {

namespace {

namespace P = RegistryPaths;
namespace V = RegValue;

QString name(const char *value)
{
    return QString::fromLatin1(value);
}

QString fromView(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Finds the user's tblUsers row and keeps what the rest of the run needs of it.
// False after telling the person why there is no logon.
bool checkUser(Registry &registry, db::Connection &cnnLink, Prompts &prompts, RegSettings &settings)
{
    bool numeric = false;
    const qint32 userId = settings.license.userId.trimmed().toInt(&numeric);
    int rows = 0;
    db::Recordset user;
    if (numeric) {
        user.open(cnnLink,
                  QStringLiteral("SELECT Active, StaffID, PermissionID, UserEntryID, UserName "
                                 "FROM tblUsers WHERE UserID = ?"),
                  db::CursorType::Keyset, db::LockType::ReadOnly, {userId});
        rows = user.recordCount();
    }
    if (rows != 1) {
        qCWarning(lcSettings) << "no single tblUsers row for User ID" << settings.license.userId;
        prompts.messageBox(QStringLiteral("Missing Quorvale User"),
                           QStringLiteral("No user account found.  See your Quorvale "
                                          "Administrator."),
                           PromptButtons::Ok, PromptIcon::Critical);
        return false;
    }
    const QVariant active = user.value(QStringLiteral("Active"));
    if (active.isNull() || active.toLongLong() == 0) {
        prompts.messageBox(QStringLiteral("Inactive Quorvale User"),
                           QStringLiteral("No logon allowed.  Inactive user."), PromptButtons::Ok,
                           PromptIcon::Critical);
        return false;
    }
    settings.userId = userId;
    settings.staffId = user.value(QStringLiteral("StaffID")).toInt();
    settings.permissionId = user.value(QStringLiteral("PermissionID")).toInt();

    RegistryKey license = registry.openSubKey(name(P::License));
    const QString entryId = user.value(QStringLiteral("UserEntryID")).toString();
    if (entryId != settings.license.userEid) {
        license.writeText(name(V::UserEid), entryId);
        settings.license.userEid = entryId;
    }
    const QString userName = user.value(QStringLiteral("UserName")).toString();
    if (userName != settings.license.userName) {
        license.writeText(name(V::UserName), userName);
        settings.license.userName = userName;
    }
    return true;
}

void applyRateSourceRule(Registry &registry, const AdminOptions &options, RegSettings &settings)
{
    if (isStaffRateSource(settings.journal.rateSource))
        return;
    const QString choice = options.rateSourceChoice();
    if (choice == settings.journal.rateSource)
        return;
    registry.openSubKey(name(P::DefaultsJournal)).writeText(name(V::DefaultRateSource), choice);
    settings.journal.rateSource = choice;
}

void applyQuickFilterRule(Registry &registry, const AdminOptions &options, RegSettings &settings)
{
    const qint16 type = adjustQuickFilterType(settings.settings.quickFilterType, options);
    if (type == settings.settings.quickFilterType)
        return;
    registry.openSubKey(name(P::Settings)).writeInt(name(V::QuickFilterType), type);
    settings.settings.quickFilterType = type;
}

struct PendingValue {
    QString key;
    QString value;
    QVariant data;
    schema::RegistryValue kind;
};

qint16 toRegistryInt(const QVariant &data, const QString &value)
{
    bool ok = false;
    const qlonglong n = data.toLongLong(&ok);
    if (!ok || n < std::numeric_limits<qint16>::min() || n > std::numeric_limits<qint16>::max())
        throw QvError(
            6, QStringLiteral("Overflow: \"%1\" cannot hold %2.").arg(value, data.toString()),
            QStringLiteral("Quorvale"));
    return static_cast<qint16>(n);
}

} // namespace

bool VerifyRegistryKeys(Registry &registry, ErrorHandler &errors)
{
    TraceScope trace(u"modSettings: VerifyRegistryKeys");
    return guarded(errors, [&] {
        Registry::Batch batch(registry);
        RegistryKey root = registry.openSubKey(QString());
        for (const char *path : P::Tree) {
            const QString key = name(path);
            if (!registry.keyExists(key))
                root.createSubKey(key);
        }
        batch.commit();
        return true;
    });
}

bool GetRegSettings(Registry &registry, db::Connection &cnnLink, db::Recordset &rsAdminOptions,
                    const DefaultFolderFn &defaultFolder, Prompts &prompts, ErrorHandler &errors,
                    RegSettings &settings, AdminOptions &options, int runningRevision)
{
    TraceScope trace(u"modSettings: GetRegSettings");
    return guarded(errors, [&] {
        if (!RetrieveAdminSettings(rsAdminOptions, cnnLink, options, errors, runningRevision))
            return false;
        RegSettings read;
        readRegSettings(registry, read);
        if (!checkUser(registry, cnnLink, prompts, read))
            return false;
        read.folders = resolveFolderIds(registry, options, defaultFolder);
        applyRateSourceRule(registry, options, read);
        applyQuickFilterRule(registry, options, read);
        settings = std::move(read);
        return true;
    });
}

void copyAdministratorDefaults(Registry &registry, db::Connection &cnnLink)
{
    db::Recordset defaults;
    defaults.open(cnnLink, QStringLiteral("SELECT * FROM tblUserSettings"), db::CursorType::Keyset,
                  db::LockType::ReadOnly);
    if (defaults.eof())
        throw QvError(ErrorNumber::NoCurrentRecord, QStringLiteral("tblUserSettings holds no row."),
                      QStringLiteral("Quorvale"));

    // Everything is read and checked before the first write, so a bad
    // column leaves the settings as they were.
    std::vector<PendingValue> pending;
    for (const auto &column : schema::userSettingColumns) {
        const QVariant data = defaults.collect(column.ordinal);
        if (data.isNull())
            continue;
        PendingValue p{fromView(column.registryKey), fromView(column.registryValue), data,
                       column.kind};
        if (p.kind != schema::RegistryValue::Text)
            p.data = toRegistryInt(data, p.value);
        pending.push_back(std::move(p));
    }

    Registry::Batch batch(registry);
    for (const PendingValue &p : pending) {
        RegistryKey key = registry.openSubKey(p.key);
        switch (p.kind) {
        case schema::RegistryValue::Text:
            key.writeText(p.value, p.data.toString());
            break;
        case schema::RegistryValue::Integer:
            key.writeInt(p.value, static_cast<qint16>(p.data.toInt()));
            break;
        case schema::RegistryValue::IntegerText:
            key.writeText(p.value, QString::number(p.data.toInt()));
            break;
        }
    }
    batch.commit();
    qCInfo(lcSettings) << "administrator defaults copied:" << pending.size() << "values";
}

bool RetrieveAdminDefaults(Registry &registry, db::Connection &cnnLink, ErrorHandler &errors)
{
    TraceScope trace(u"modSettings: RetrieveAdminDefaults");
    return guarded(errors, [&] {
        copyAdministratorDefaults(registry, cnnLink);
        return true;
    });
}

} // namespace quorvale
