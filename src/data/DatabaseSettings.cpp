#include "DatabaseSettings.h"

#include "platform/db/ConnectionString.h"
#include "platform/registry/RegistryKey.h"

#include <QDir>
#include <QStandardPaths>
#include <QStringList>
#include <algorithm>

namespace quorvale {

QString DatabaseSettings::dataDirectory() const
{
    QString dir = dataSource;
    if (dir.size() > 1 && (dir.endsWith(QLatin1Char('/')) || dir.endsWith(QLatin1Char('\\'))))
        dir.chop(1);
    return dir;
}

DatabaseSettings DatabaseSettings::read(const RegistryKey &key)
{
    DatabaseSettings s;
    s.provider = key.readText(QStringLiteral("Provider"), s.provider);
    s.dataSource = key.readText(QStringLiteral("Data Source"),
                                QStringLiteral("/opt/Kestrune Software/Quorvale"));
    s.connectionType = key.readInt(QStringLiteral("Connection Type"), 0);
    s.uid = key.readText(QStringLiteral("UID"));
    s.pwd = key.readText(QStringLiteral("PWD"));
    s.catalog = key.readText(QStringLiteral("Catalog"));
    s.linkedDb = key.readInt(QStringLiteral("Linked DB"), 1);
    s.setupDate = key.readText(QStringLiteral("Setup Date"));
    return s;
}

QString programDirectory()
{
    const QString home = qEnvironmentVariable("QUORVALE_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(home);
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Kestrune Software/Quorvale");
}

QString joinPath(const QString &directory, const QString &fileName)
{
    if (directory.isEmpty())
        return fileName;
    if (directory.endsWith(QDir::separator()))
        return directory + fileName;
    return directory + QDir::separator() + fileName;
}

namespace ConnectionStrings {

namespace {

QString jet(const QString &file, const char *password)
{
    return QStringLiteral("PROVIDER=") + QLatin1String(JetProvider) +
           QStringLiteral(";Data Source=") + file +
           QStringLiteral(";Jet OLEDB:Database Password=") + QLatin1String(password) +
           QLatin1Char(';');
}

} // namespace

QString linkDatabase(const QString &programDir)
{
    return jet(joinPath(programDir, QLatin1String(DatabaseFile::Link)), DataPassword);
}

QString programDatabase(const QString &dataDir)
{
    return jet(joinPath(dataDir, QLatin1String(DatabaseFile::Data)), DataPassword);
}

QString localDatabase(const QString &programDir)
{
    return jet(joinPath(programDir, QLatin1String(DatabaseFile::Local)), LocalPassword);
}

QString quoteOdbcValue(const QString &value)
{
    const bool needsBraces = value.contains(QLatin1Char(';')) || value.contains(QLatin1Char('{')) ||
                             value.contains(QLatin1Char('}')) || value != value.trimmed();
    if (!needsBraces)
        return value;
    QString escaped = value;
    escaped.replace(QLatin1Char('}'), QStringLiteral("}}"));
    return QLatin1Char('{') + escaped + QLatin1Char('}');
}

QString odbcLink(const DatabaseSettings &settings, const QString &password)
{
    return QStringLiteral("ODBC;") + settings.dataSource + QStringLiteral("Database=") +
           quoteOdbcValue(settings.catalog) + QStringLiteral(";UID=") +
           quoteOdbcValue(settings.uid) + QStringLiteral(";PWD=") + quoteOdbcValue(password) +
           QLatin1Char(';');
}

QString odbcShort(const DatabaseSettings &settings)
{
    return settings.dataSource + QStringLiteral("Database=") + quoteOdbcValue(settings.catalog) +
           QLatin1Char(';');
}

namespace {

const QStringList PasswordKeys = {QStringLiteral("PWD"), QStringLiteral("Password")};

} // namespace

bool holdsPassword(const QString &connect)
{
    const db::ConnectionString cs(connect);
    return std::any_of(PasswordKeys.begin(), PasswordKeys.end(),
                       [&](const QString &key) { return cs.contains(key); });
}

QString withoutPassword(const QString &connect)
{
    if (!holdsPassword(connect))
        return connect;
    const db::ConnectionString cs(connect);
    return (cs.hadOdbcPrefix() ? QStringLiteral("ODBC;") : QString()) + cs.toString(PasswordKeys);
}

QString withPassword(const QString &connect, const QString &password)
{
    if (password.isEmpty() || holdsPassword(connect))
        return connect;
    QString out = connect;
    if (!out.isEmpty() && !out.endsWith(QLatin1Char(';')))
        out += QLatin1Char(';');
    return out + QStringLiteral("PWD=") + quoteOdbcValue(password) + QLatin1Char(';');
}

} // namespace ConnectionStrings

} // namespace quorvale
