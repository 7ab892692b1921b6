// The server password lives scrambled in the settings only: refreshing the links
// for a server leaves the link file without it, whatever an older version wrote
// there. (The server suite shows the connection getting it added.)

#include "SqliteFile.h"
#include "data/LinkDatabase.h"
#include "data/RefreshLinks.h"
#include "testsupport/ProgramFiles.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace quorvale;
using quorvale::test::ProgramFiles;

namespace {

const QString Secret = QStringLiteral("Tr0ub4dor;&3");

DatabaseSettings serverSettings()
{
    DatabaseSettings s;
    s.provider = QStringLiteral("MSDASQL");
    s.dataSource = QStringLiteral("DSN=Team;");
    s.catalog = QStringLiteral("qv");
    s.uid = QStringLiteral("ann");
    return s;
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(LinkPassword, ARefreshedLinkFileHoldsNoServerPassword)
{
    const QString current = QStringLiteral("ODBC;DSN=Team;Database=qv;UID=ann;");
    struct Case {
        const char *what;
        QString type;
        QString before;
    } cases[] = {
        {"made by init: the short form", QStringLiteral("PASS-THROUGH"),
         QStringLiteral("DSN=Team;Database=qv;")},
        {"written by an earlier version", QStringLiteral("PASS-THROUGH"),
         current + QStringLiteral("PWD={") + Secret + QStringLiteral("};")},
        {"the password spelled out", QStringLiteral("PASS-THROUGH"),
         QStringLiteral("ODBC;DSN=Team;Password={") + Secret +
             QStringLiteral("};Database=qv;UID=ann;")},
        {"file links switched to the server", QStringLiteral("LINK"),
         QStringLiteral("MS Access;Pwd=x")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ProgramFiles files;
        files.exec(files.linkFile(),
                   QStringLiteral("UPDATE tblLinkCatalog SET Type = ?, LinkProviderString = ?"),
                   {c.type, c.before});
        {
            LinkDatabase link;
            link.open(ConnectionStrings::linkDatabase(files.programDir()));
            link.setServerPassword(Secret);
            bool force = false;
            RefreshLinks(force, link, serverSettings());
        }
        // Read as any SQLite client reads it, and as bytes, free pages included.
        {
            test::SqliteFile file(files.linkFile());
            QSqlQuery q(file.db());
            ASSERT_TRUE(q.exec(QStringLiteral("SELECT Name, LinkProviderString FROM "
                                              "tblLinkCatalog")));
            int links = 0;
            while (q.next()) {
                ++links;
                EXPECT_EQ(q.value(1).toString(), current) << q.value(0).toString().toStdString();
            }
            EXPECT_GT(links, 0);
            EXPECT_EQ(file.scalar(QStringLiteral("SELECT COUNT(*) FROM tblLinkCatalog WHERE "
                                                 "LinkProviderString LIKE '%Tr0ub4dor%'")),
                      0);
        }
        for (const char *side : {"", "-wal", "-journal"})
            EXPECT_FALSE(bytesOf(files.linkFile() + QLatin1String(side)).contains("Tr0ub4dor"))
                << side;
    }
}
