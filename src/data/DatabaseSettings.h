#pragma once

#include <QString>

namespace quorvale {

class RegistryKey;

inline constexpr const char *JetProvider = "Microsoft.Jet.OLEDB.4.0";
// The Jet password of the link and program databases: part of every Jet
// connection string and of each link's provider string, kept for their format.
inline constexpr const char *DataPassword = "r9h)2m!]7kWq4/TbNeYs";
inline constexpr const char *LocalPassword = "4pK8R2TZm61Q";
inline constexpr const char *JetLinkProviderString = "MS Access;Pwd=r9h)2m!]7kWq4/TbNeYs";

// File names of the databases. They keep their base names; the ending says what
// they are.
namespace DatabaseFile {
inline constexpr const char *Data = "QVData.db";
inline constexpr const char *Link = "QVLink.db";
inline constexpr const char *LinkBackup = "QVLinkBU.db";
inline constexpr const char *Local = "QVLocal.db";
inline constexpr const char *Report = "QVReport.db";
} // namespace DatabaseFile

// The values of the "Database" settings key, as start-up reads them.
struct DatabaseSettings {
    QString provider = QString::fromLatin1(JetProvider);
    QString dataSource; // Jet: the directory of QVData.db; server: the ODBC server part
    qint16 connectionType = 0;
    QString uid;
    QString pwd; // scrambled as stored
    QString catalog;
    qint16 linkedDb = 1;
    QString setupDate;

    bool isJet() const { return provider == QLatin1String(JetProvider); }
    // "Data Source" with one trailing separator removed, so "dir/" and "dir" name
    // the same files.
    QString dataDirectory() const;

    // The values of the "Database" key, each with its default when missing.
    static DatabaseSettings read(const RegistryKey &databaseKey);
};

// Where the program's own files live: $QUORVALE_HOME when set, else the per-user
// data directory "Kestrune Software/Quorvale".
QString programDirectory();

// Joins a directory and a file name with the platform separator.
QString joinPath(const QString &directory, const QString &fileName);

namespace ConnectionStrings {
QString linkDatabase(const QString &programDir);
QString programDatabase(const QString &dataDir);
QString localDatabase(const QString &programDir);
// "ODBC;" + Data Source + "Database=" + Catalog + ";UID=" + uid + ";PWD=" + pwd + ";"
// (to connect with; what the links keep is withoutPassword of it)
QString odbcLink(const DatabaseSettings &settings, const QString &password);
// The same without "ODBC;" and without the user and password clauses.
QString odbcShort(const DatabaseSettings &settings);
// The server password is kept only scrambled in the settings and added when a
// connection opens: no connect string that is stored (the link catalogue)
// carries it. withoutPassword drops every PWD and Password attribute, keeping a
// leading "ODBC;"; withPassword adds "PWD=" when there is a password and the
// string names none.
QString withoutPassword(const QString &connect);
QString withPassword(const QString &connect, const QString &password);
bool holdsPassword(const QString &connect);
// Wraps a connect-string value in braces when it holds a character that would
// otherwise end or break the attribute (";", "{", "}", "=" at the edges, blanks).
QString quoteOdbcValue(const QString &value);
} // namespace ConnectionStrings

} // namespace quorvale
