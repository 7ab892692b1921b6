#include "qvadmin/StartupSettings.h"

#include "data/DatabaseSettings.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryPaths.h"
#include "qvadmin/Location.h"
#include "support/EncryptPW.h"

#include <QDate>

namespace quorvale::admin {

void writeStartupSettings(Registry &registry, const Location &location, int userId,
                          const QString &userName)
{
    Registry::Batch batch(registry);
    RegistryKey database = registry.openSubKey(QLatin1String(RegistryPaths::Database));
    if (location.server) {
        const ServerLogin &login = *location.server;
        clsEncryptPW scrambler;
        scrambler.setKeyString(QLatin1String(clsEncryptPW::ProgramKey));
        database.writeText(QStringLiteral("Provider"), login.settings().provider);
        database.writeText(QStringLiteral("Data Source"), login.serverPart);
        database.writeText(QStringLiteral("Catalog"), login.catalog);
        database.writeText(QStringLiteral("UID"), login.uid);
        database.writeText(QStringLiteral("PWD"), scrambler.Encrypt(login.password));
    } else {
        database.writeText(QStringLiteral("Provider"), QLatin1String(JetProvider));
        database.writeText(QStringLiteral("Data Source"), location.dataDir);
        // A file database has no server login; old values would only mislead.
        database.writeText(QStringLiteral("Catalog"), QString());
        database.writeText(QStringLiteral("UID"), QString());
        database.writeText(QStringLiteral("PWD"), QString());
    }
    database.writeInt(QStringLiteral("Connection Type"), 0);
    database.writeInt(QStringLiteral("Linked DB"), 1);
    database.writeText(QStringLiteral("Setup Date"), QDate::currentDate().toString(Qt::ISODate));

    RegistryKey license = registry.openSubKey(QLatin1String(RegistryPaths::License));
    license.writeText(QStringLiteral("User Name"), userName);
    license.writeText(QStringLiteral("User ID"), QString::number(userId));
    license.writeText(QStringLiteral("User EID"), QString());
    batch.commit();
}

} // namespace quorvale::admin
