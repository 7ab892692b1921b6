// How the administrator tool takes a server password: a warning when it is on
// the command line, where every user of the computer can read it, and a server
// file only when nobody but its owner may read or change it. The server named
// here does not exist: what is checked happens before any connection.

#include "AdminFixture.h"
#include "support/AdminTool.h"

#include <QFile>

using namespace quorvale;
using namespace quorvale::test;

namespace {

const QString NoServer = QStringLiteral("DSN=QuorvaleNoSuchServer;Database=db;UID=u;");

class ServerPasswordTest : public AdminFixture {
protected:
    void TearDown() override { qunsetenv(ServerEnvironmentVariable); }

    QString serverFile(const QByteArray &content, QFileDevice::Permissions permissions) const
    {
        const QString path = m_tmp.filePath(QStringLiteral("server"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        EXPECT_TRUE(file.setPermissions(permissions));
        return path;
    }
};

bool warned(const CommandOutput &o)
{
    return o.err.contains(QLatin1String("warning")) &&
           o.err.contains(QLatin1String(ServerEnvironmentVariable)) &&
           o.err.contains(QLatin1String("--server-file"));
}

} // namespace

TEST_F(ServerPasswordTest, APasswordOnTheCommandLineIsWarnedAboutAndNowhereElse)
{
    struct Case {
        const char *what;
        QStringList args;
        QString environment;
        bool warns;
    } cases[] = {
        {"PWD on the command line", {"--server", NoServer + "PWD=s3cret;"}, {}, true},
        {"Password on the command line", {"--server=" + NoServer + "Password={a;b};"}, {}, true},
        {"no password", {"--server", NoServer + "PWD=;"}, {}, false},
        {"in the environment", {}, NoServer + "PWD=s3cret;", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        if (c.environment.isEmpty())
            qunsetenv(ServerEnvironmentVariable);
        else
            qputenv(ServerEnvironmentVariable, c.environment.toUtf8());
        const CommandOutput o = run(c.args + QStringList{"contact", "list"});
        // The server is not there: the command fails, after the warning if any.
        EXPECT_NE(o.result, 0);
        EXPECT_TRUE(o.err.contains(QLatin1String("QuorvaleNoSuchServer"))) << o.err.toStdString();
        EXPECT_EQ(warned(o), c.warns) << o.err.toStdString();
        EXPECT_FALSE(o.err.contains(QLatin1String("s3cret"))) << o.err.toStdString();
    }
}

TEST_F(ServerPasswordTest, AServerFileIsReadOnlyWhenNobodyElseMayReadOrChangeIt)
{
    using P = QFileDevice;
    const P::Permissions owner = P::ReadOwner | P::WriteOwner | P::ReadUser | P::WriteUser;
    struct Case {
        const char *what;
        QFileDevice::Permissions permissions;
        bool used;
    } cases[] = {
        {"0600", owner, true},
        {"0400", P::ReadOwner | P::ReadUser, true},
        {"0640", owner | P::ReadGroup, false},
        {"0604", owner | P::ReadOther, false},
        {"0620", owner | P::WriteGroup, false},
        {"0602", owner | P::WriteOther, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = serverFile((NoServer + "PWD=s3cret;\n").toUtf8(), c.permissions);
        const CommandOutput o = run({"--server-file", path, "contact", "list"});
        EXPECT_NE(o.result, 0);
        // Used: the tool went on to the server the file names, without a warning.
        EXPECT_EQ(o.err.contains(QLatin1String("QuorvaleNoSuchServer")), c.used)
            << o.err.toStdString();
        EXPECT_EQ(o.err.contains(QLatin1String("chmod 600")), !c.used) << o.err.toStdString();
        EXPECT_FALSE(warned(o)) << o.err.toStdString();
        EXPECT_FALSE(o.err.contains(QLatin1String("s3cret"))) << o.err.toStdString();
    }

    const QString twoLines = serverFile("DSN=a;Database=b;\nDSN=c;Database=d;\n", owner);
    const CommandOutput ambiguous = run({"--server-file", twoLines, "contact", "list"});
    EXPECT_TRUE(ambiguous.err.contains(QLatin1String("one connect string")))
        << ambiguous.err.toStdString();
    const CommandOutput both =
        run({"--server", NoServer, "--server-file", twoLines, "contact", "list"});
    EXPECT_TRUE(both.err.contains(QLatin1String("exclude each other"))) << both.err.toStdString();
    EXPECT_TRUE(run({"--server-file", m_tmp.filePath("missing"), "contact", "list"})
                    .err.contains(QLatin1String("There is no server file")));
}
