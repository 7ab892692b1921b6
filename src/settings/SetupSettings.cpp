#include "settings/SetupSettings.h"

#include "data/DatabaseSettings.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryPaths.h"
#include "settings/JoinDatabase.h"
#include "support/EncryptPW.h"

#include <QDate>

namespace quorvale {

namespace {

const QString UserIdName = QStringLiteral("User ID");

} // namespace

SetupSettings::SetupSettings(const JoinChoice &choice, const QString &userName,
                             const QString &userEntryId)
{
    const QString database = QLatin1String(RegistryPaths::Database);
    const auto text = [&](const QString &key, const QString &name, const QString &value) {
        m_values.push_back({key, name, QVariant(value)});
    };
    if (choice.isServer()) {
        const ServerLogin &login = choice.server;
        clsEncryptPW scrambler;
        scrambler.setKeyString(QLatin1String(clsEncryptPW::ProgramKey));
        text(database, QStringLiteral("Provider"), login.settings().provider);
        text(database, QStringLiteral("Data Source"), login.serverPart);
        text(database, QStringLiteral("Catalog"), login.catalog);
        text(database, QStringLiteral("UID"), login.uid);
        text(database, QStringLiteral("PWD"), scrambler.Encrypt(login.password));
    } else {
        text(database, QStringLiteral("Provider"), QLatin1String(JetProvider));
        text(database, QStringLiteral("Data Source"), choice.dataDir);
        // A file database has no server login; old values would only mislead.
        text(database, QStringLiteral("Catalog"), QString());
        text(database, QStringLiteral("UID"), QString());
        text(database, QStringLiteral("PWD"), QString());
    }
    m_values.push_back({database, QStringLiteral("Connection Type"), QVariant(qint16(0))});
    m_values.push_back({database, QStringLiteral("Linked DB"), QVariant(qint16(1))});
    text(database, QStringLiteral("Setup Date"), QDate::currentDate().toString(Qt::ISODate));

    const QString license = QLatin1String(RegistryPaths::License);
    text(license, QStringLiteral("User Name"), userName);
    text(license, UserIdName, QString()); // known once the user row is written
    text(license, QStringLiteral("User EID"), userEntryId);
}

void SetupSettings::write(Registry &registry, int userId)
{
    m_previous.clear();
    for (const Value &v : m_values) {
        const RegistryKey key = registry.openSubKey(v.key);
        m_previous.push_back({v.key, v.name, key.readText(v.name)});
    }
    Registry::Batch batch(registry);
    for (const Value &v : m_values) {
        RegistryKey key = registry.openSubKey(v.key);
        if (v.value.typeId() == QMetaType::Short)
            key.writeInt(v.name, v.value.value<qint16>());
        else if (v.name == UserIdName)
            key.writeText(v.name, QString::number(userId));
        else
            key.writeText(v.name, v.value.toString());
    }
    batch.commit();
}

void SetupSettings::restore(Registry &registry) const
{
    Registry::Batch batch(registry);
    for (const Previous &p : m_previous)
        registry.openSubKey(p.key).writeText(p.name, p.text);
    batch.commit();
}

} // namespace quorvale
