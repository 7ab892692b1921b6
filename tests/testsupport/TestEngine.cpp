#include "testsupport/TestEngine.h"

#include "data/Schema.h"
#include "data/ServerLogin.h"
#include "platform/db/Connection.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <stdexcept>

namespace quorvale::test {

bool onServer()
{
    return qEnvironmentVariable("QUORVALE_TEST_ENGINE") == QLatin1String("server");
}

namespace {

QAtomicInt schemaCount;

void dropSchema(const QString &connect, const QString &schema)
{
    db::Connection admin;
    admin.open(connect);
    admin.execute(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(schema));
}

} // namespace

EngineDatabase::EngineDatabase()
{
    if (!test::onServer())
        return;
    if (qEnvironmentVariable("QUORVALE_TEST_ODBC_DSN").isEmpty())
        throw std::runtime_error("QUORVALE_TEST_ENGINE=server needs the test server: run "
                                 "under scripts/with-postgres.sh");
    // The process and a count: suites on the server may run side by side.
    const QString schema = QStringLiteral("qv_%1_%2")
                               .arg(QCoreApplication::applicationPid())
                               .arg(schemaCount.fetchAndAddRelaxed(1));
    dropSchema(serverConnect(), schema);
    db::Connection admin;
    admin.open(serverConnect());
    admin.execute(QStringLiteral("CREATE SCHEMA %1").arg(schema));
    m_schema = schema;
}

EngineDatabase::~EngineDatabase()
{
    if (m_schema.isEmpty())
        return;
    try {
        dropSchema(serverConnect(), m_schema);
    } catch (...) {
        // The server is thrown away at the end of the run with whatever it holds.
    }
}

QString EngineDatabase::serverConnect() const
{
    return QStringLiteral("DSN=%1;Database=quorvale_test;UID=%2;")
        .arg(qEnvironmentVariable("QUORVALE_TEST_ODBC_DSN"),
             qEnvironmentVariable("QUORVALE_TEST_PG_USER", QStringLiteral("qvtest")));
}

QString EngineDatabase::connectString() const
{
    return QStringLiteral("DSN=%1;ConnSettings=SET search_path TO %2;Database=quorvale_test;"
                          "UID=%3;")
        .arg(qEnvironmentVariable("QUORVALE_TEST_ODBC_DSN"), m_schema,
             qEnvironmentVariable("QUORVALE_TEST_PG_USER", QStringLiteral("qvtest")));
}

DatabaseSettings EngineDatabase::settings() const
{
    // The test server trusts its user: there is no password to scramble.
    return ServerLogin::parse(connectString()).settings();
}

void EngineDatabase::createProgramTables() const
{
    db::Connection c;
    c.open(connectString());
    QSqlDatabase database = c.database();
    schema::createProgramSchema(database, schema::Dialect::PostgreSQL);
    schema::insertDefaultRows(database);
}

} // namespace quorvale::test
