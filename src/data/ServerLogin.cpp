#include "data/ServerLogin.h"

#include "platform/core/QvError.h"
#include "platform/db/ConnectionString.h"

namespace quorvale {

ServerLogin ServerLogin::parse(const QString &connectString)
{
    const db::ConnectionString cs(connectString);
    ServerLogin login;
    // The provider belongs to the settings' own "Provider" value, never to the
    // server part a connect string is later built from.
    // The password goes to the settings scrambled, never into the server part
    // that the settings and the link catalogue keep as it is; ODBC spells it
    // either way.
    login.serverPart =
        cs.toString({QStringLiteral("Database"), QStringLiteral("UID"), QStringLiteral("PWD"),
                     QStringLiteral("Password"), QStringLiteral("Provider")});
    login.catalog = cs.value(QStringLiteral("Database"));
    login.uid = cs.value(QStringLiteral("UID"));
    login.password = cs.contains(QStringLiteral("PWD")) ? cs.value(QStringLiteral("PWD"))
                                                        : cs.value(QStringLiteral("Password"));
    if (login.serverPart.isEmpty())
        throw QvError(ErrorNumber::InvalidCharacter,
                      QStringLiteral("The server connect string names no server (DSN=... or "
                                     "DRIVER=...;SERVER=...)."),
                      QStringLiteral("Quorvale"));
    if (login.catalog.isEmpty())
        throw QvError(ErrorNumber::InvalidCharacter,
                      QStringLiteral("The server connect string names no database (Database=...)."),
                      QStringLiteral("Quorvale"));
    if (!login.serverPart.endsWith(u';'))
        login.serverPart += u';';
    return login;
}

DatabaseSettings ServerLogin::settings() const
{
    DatabaseSettings s;
    s.provider = QStringLiteral("MSDASQL");
    s.dataSource = serverPart;
    s.catalog = catalog;
    s.uid = uid;
    return s;
}

QString ServerLogin::shortConnectString() const
{
    return ConnectionStrings::odbcShort(settings());
}

QString ServerLogin::connectString() const
{
    return ConnectionStrings::odbcLink(settings(), password);
}

} // namespace quorvale
