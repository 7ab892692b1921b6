#include "qvadmin/GenerateCommand.h"

#include "data/DatabaseSettings.h"
#include "data/SchemaDdl.h"
#include "data/SchemaTables.h"
#include "data/TimeCard.h"
#include "data/TimeCardRepository.h"
#include "platform/core/Duration.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"
#include "platform/registry/RegistryPaths.h"
#include "qvadmin/AdminLog.h"
#include "qvadmin/Arguments.h"
#include "qvadmin/DemoNames.h"
#include "qvadmin/InitCommand.h"
#include "qvadmin/MasterRows.h"
#include "qvadmin/Random.h"
#include "qvadmin/ServerSchema.h"
#include "timecards/TimeCardValue.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTextStream>
#include <vector>

namespace quorvale::admin {

namespace {

constexpr int WantedContacts = 200;
constexpr int WantedServices = 40;
constexpr int WantedProjects = 20;
// Below this many rows keeping the indexes up to date row by row is as quick as
// building them afterwards.
constexpr qint64 RebuildIndexesFrom = 10000;
constexpr int HistoryDays = 3 * 365;
constexpr int OpenDays = 180;

struct RateRow {
    int id = 0;
    Rates rates{};
    int realization = 100;
};

QString text(const char *s)
{
    return QString::fromUtf8(s);
}

std::vector<RateRow> readRates(db::Connection &db, const QString &sql)
{
    std::vector<RateRow> rows;
    QSqlQuery q = db.prepare(sql);
    db.run(q, {});
    while (q.next()) {
        RateRow r;
        r.id = q.value(0).toInt();
        for (int i = 0; i < 6; ++i)
            r.rates[std::size_t(i)] = Money::fromStored(q.value(i + 1));
        if (q.record().count() > 7)
            r.realization = qRound(q.value(7).toDouble() * 100);
        rows.push_back(r);
    }
    return rows;
}

int count(db::Connection &db, const QString &table, const QString &where = {})
{
    return db
        .scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table +
                (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where))
        .toInt();
}

void addReferenceRows(db::Connection &db, Random &random, int users, GenerateResult &result)
{
    for (int i = count(db, QStringLiteral("tblContacts")); i < WantedContacts; ++i) {
        Contact c;
        const int round = i / int(demo::CompanyNames.size());
        c.name = text(demo::CompanyNames[std::size_t(i) % demo::CompanyNames.size()]);
        if (round > 0)
            c.name += QStringLiteral(" (%1)").arg(round + 1);
        c.account = QStringLiteral("G-%1").arg(i + 1, 5, 10, QLatin1Char('0'));
        c.rates = rateLadder(random.between(12, 22) * 10, -10);
        c.timeRealizationPercent = random.chance(75) ? 100 : 90;
        insertContact(db, c);
    }
    for (int i = count(db, QStringLiteral("tblMainActivities")); i < WantedServices; ++i) {
        const auto &s = demo::Services[std::size_t(i) % demo::Services.size()];
        Activity a = makeActivity(ActivityLevel::Activity1, text(s.name),
                                  QStringLiteral("S-%1").arg(1000 + i), text(s.description));
        if (i >= int(demo::Services.size()))
            a.name += QStringLiteral(" %1").arg(i / int(demo::Services.size()) + 1);
        a.rates = rateLadder(random.between(10, 20) * 10, -10);
        insertActivity(db, a);
    }
    for (int i = count(db, QStringLiteral("tblSubActivities")); i < WantedProjects; ++i) {
        const auto &p = demo::Projects[std::size_t(i) % demo::Projects.size()];
        Activity a = makeActivity(ActivityLevel::Activity2, text(p.name),
                                  QStringLiteral("P-%1").arg(5000 + i), text(p.description));
        if (i >= int(demo::Projects.size()))
            a.name += QStringLiteral(" %1").arg(i / int(demo::Projects.size()) + 1);
        a.rates = rateLadder(random.between(12, 18) * 10, -10);
        insertActivity(db, a);
    }
    const int staffId = db.scalar(QStringLiteral("SELECT MIN(StaffID) FROM tblStaff")).toInt();
    const int permissionId =
        db.scalar(QStringLiteral("SELECT MIN(PermissionID) FROM tblPermissions")).toInt();
    for (int i = count(db, QStringLiteral("tblUsers"), QStringLiteral("Active <> 0")); i < users;
         ++i) {
        insertUser(db, {QStringLiteral("Benchmark User %1").arg(i + 1, 3, 10, QLatin1Char('0')),
                        staffId, permissionId, true, rateLadder(random.between(8, 18) * 10, -10)});
        ++result.usersAdded;
    }
}

// Builds the TimeCards of one user and hands them to the writer.
class TimeCardStream {
public:
    TimeCardStream(Random &random, const QDate &today, const std::vector<RateRow> &contacts,
                   const std::vector<int> &services, const std::vector<int> &projects)
        : m_random(random), m_today(today), m_contacts(contacts), m_services(services),
          m_projects(projects)
    {
    }

    // The k-th of n TimeCards of a run that is spread over [first, last].
    TimeCard make(const RateRow &user, int userIndex, qint64 k, qint64 n, int firstDaysAgo,
                  int lastDaysAgo, bool invoiced)
    {
        TimeCard card;
        card.userId = user.id;
        const int span = firstDaysAgo - lastDaysAgo;
        const int daysAgo = firstDaysAgo - int(n > 1 ? k * span / (n - 1) : 0);
        const QDate day = m_today.addDays(-daysAgo);
        const int startMinute = 8 * 60 + m_random.below(109) * 5;
        card.timeSpent = Duration::fromSeconds(m_random.between(1, 36) * 300);
        card.startDate = day;
        card.endDate = day;
        card.startTime = QTime(0, 0).addSecs(startMinute * 60);
        card.endTime = card.startTime.addSecs(card.timeSpent.seconds());

        const RateRow *contact = nullptr;
        if (!m_random.chance(3)) {
            contact = &m_random.pick(m_contacts);
            card.contactId = contact->id;
        }
        card.activity1Id = m_random.pick(m_services);
        if (m_random.chance(30))
            card.activity2Id = m_random.pick(m_projects);
        card.description = text(m_random.pick(demo::WorkDescriptions));
        card.entryType = text(m_random.pick(demo::EntryTypes));
        card.billStatus = contact ? QStringLiteral("Billable") : QStringLiteral("No Charge");
        card.rateLevel = QStringLiteral("1");
        card.realization = Realization::fromPercent(contact ? contact->realization : 100);
        if (contact && m_random.chance(20)) {
            card.rateSource = QStringLiteral("Client Rates");
            card.rate = contact->rates[0];
        } else {
            card.rateSource = QStringLiteral("Staff Rates");
            card.rate = user.rates[0];
        }
        card.value = timeSpentValue(card.timeSpent.seconds(), card.rate, card.realization);
        if (invoiced) {
            // One invoice per user and month.
            card.invoiceId = 100000 + userIndex * 1000 + daysAgo / 30;
            card.inactive = m_random.chance(2);
        }
        return card;
    }

private:
    Random &m_random;
    QDate m_today;
    const std::vector<RateRow> &m_contacts;
    const std::vector<int> &m_services;
    const std::vector<int> &m_projects;
};

std::vector<int> readIds(db::Connection &db, const QString &sql)
{
    std::vector<int> ids;
    QSqlQuery q = db.prepare(sql);
    db.run(q, {});
    while (q.next())
        ids.push_back(q.value(0).toInt());
    return ids;
}

// The secondary indexes of tblTimeCards, as the schema creates them.
QStringList timeCardIndexStatements(schema::Dialect dialect)
{
    const schema::Table *table = schema::findTable(schema::DatabaseKind::Program, "tblTimeCards");
    QStringList statements = schema::createTableStatements(*table, dialect);
    statements.removeFirst(); // CREATE TABLE
    return statements;
}

QStringList timeCardIndexNames()
{
    QStringList names;
    for (const auto &ix : schema::findTable(schema::DatabaseKind::Program, "tblTimeCards")->indexes)
        names << QString::fromStdString(ix.name);
    return names;
}

} // namespace

GenerateResult generateData(db::Connection &db, const GenerateOptions &options,
                            const std::function<void(qint64, qint64)> &progress)
{
    GenerateResult result;
    Random random(options.seed);
    const qint64 n = options.timeCards;
    const int u = std::max(1, options.users);
    const qint64 measured = std::min(n, options.measuredUninvoiced.value_or(n / 100));
    const qint64 rest = n - measured;

    db::Transaction tx(db);
    addReferenceRows(db, random, u, result);
    const std::vector<RateRow> users = readRates(
        db, QStringLiteral("SELECT UserID, Rate1, Rate2, Rate3, Rate4, Rate5, Rate6 FROM tblUsers "
                           "WHERE Active <> 0 ORDER BY UserID"));
    const std::vector<RateRow> contacts =
        readRates(db, QStringLiteral(
                          "SELECT ContactID, Rate1, Rate2, Rate3, Rate4, Rate5, Rate6, "
                          "TimeRealization FROM tblContacts WHERE Active <> 0 ORDER BY ContactID"));
    const std::vector<int> services =
        readIds(db, QStringLiteral("SELECT ActivityID FROM tblMainActivities WHERE Active <> 0 AND "
                                   "ContactID IS NULL ORDER BY ActivityID"));
    const std::vector<int> projects =
        readIds(db, QStringLiteral("SELECT ActivityID FROM tblSubActivities WHERE Active <> 0 AND "
                                   "ContactID IS NULL ORDER BY ActivityID"));

    // Keeping fourteen indexes up to date row by row costs more than building them
    // once at the end; the drop and the rebuild are part of the same transaction.
    const bool rebuild = n >= RebuildIndexesFrom && db.dialect() == db::Dialect::SQLite;
    if (rebuild) {
        db.execute(QStringLiteral("PRAGMA cache_size = -131072"));
        for (const QString &name : timeCardIndexNames())
            db.execute(QStringLiteral("DROP INDEX IF EXISTS ") + name);
    }

    TimeCardInserter writer(db);
    TimeCardStream stream(random, QDate::currentDate(), contacts, services, projects);
    qint64 done = 0;
    auto written = [&] {
        ++done;
        if (progress && (done % 100000 == 0 || done == n))
            progress(done, n);
    };
    result.measuredUserId = users.front().id;
    for (int ui = 0; ui < u; ++ui) {
        const RateRow &user = users[std::size_t(ui)];
        const qint64 share = rest / u + (ui < rest % u ? 1 : 0);
        qint64 open = 0;
        if (ui == 0)
            open = measured;
        else
            open = std::min(share, options.uninvoicedPerUser.value_or(share / 100));
        const qint64 closed = ui == 0 ? share : share - open;
        for (qint64 k = 0; k < closed; ++k, written())
            writer.add(stream.make(user, ui, k, closed, HistoryDays, OpenDays + 1, true));
        for (qint64 k = 0; k < open; ++k, written())
            writer.add(stream.make(user, ui, k, open, OpenDays, 0, false));
        result.uninvoiced += open;
        if (ui == 0)
            result.measuredUninvoiced = open;
    }
    result.timeCards = done;

    if (rebuild) {
        for (const QString &sql : timeCardIndexStatements(schema::Dialect::SQLite))
            db.execute(sql);
    }
    tx.commit();
    return result;
}

namespace {

bool hasSetUpDatabase(const GlobalOptions &globals)
{
    const auto registry = openRegistry(globals);
    return !registry->openSubKey(QLatin1String(RegistryPaths::Database))
                .readText(QStringLiteral("Data Source"))
                .isEmpty();
}

// Where to generate: the database the options or the settings name, or, when
// there is none yet, where init would put one.
Location generateLocation(const GlobalOptions &globals, bool &exists)
{
    Location location;
    const bool named = globals.server || globals.dataDir || globals.programDir;
    if (named) {
        location = locationForInit(globals);
        if (!globals.server && !globals.dataDir &&
            QFileInfo::exists(joinPath(location.programDir, QLatin1String(DatabaseFile::Link)))) {
            const auto registry = openRegistry(globals);
            location = locationOfExisting(globals, *registry);
        }
    } else if (hasSetUpDatabase(globals)) {
        const auto registry = openRegistry(globals);
        location = locationOfExisting(globals, *registry);
    } else {
        location = locationForInit(globals);
    }
    if (location.server) {
        db::Connection server;
        server.open(location.server->connectString());
        exists = ServerSchema(server).exists();
    } else {
        exists = QFileInfo::exists(location.dataFile());
    }
    return location;
}

} // namespace

int runGenerate(const QStringList &args, const GlobalOptions &globals, QTextStream &out,
                QTextStream &err)
{
    const Arguments a(args,
                      {QStringLiteral("timecards"), QStringLiteral("users"), QStringLiteral("seed"),
                       QStringLiteral("uninvoiced-per-user"), QStringLiteral("measured-uninvoiced"),
                       QStringLiteral("user")},
                      {});
    const QString usage =
        QStringLiteral("generate --timecards N --users U [--seed S] [--uninvoiced-per-user K] "
                       "[--measured-uninvoiced M] [--user NAME]");
    a.requireWords(0, 0, usage);
    GenerateOptions options;
    const auto timeCards = a.number(QStringLiteral("timecards"), 0, 100'000'000);
    const auto users = a.number(QStringLiteral("users"), 1, 100'000);
    if (!timeCards || !users)
        usageError(QStringLiteral("Usage: qvadmin ") + usage);
    options.timeCards = *timeCards;
    options.users = int(*users);
    options.seed = std::uint64_t(a.number(QStringLiteral("seed"), 0, INT64_MAX).value_or(1));
    options.uninvoicedPerUser = a.number(QStringLiteral("uninvoiced-per-user"), 0, 100'000'000);
    options.measuredUninvoiced = a.number(QStringLiteral("measured-uninvoiced"), 0, 100'000'000);

    QElapsedTimer timer;
    timer.start();
    bool exists = false;
    const Location location = generateLocation(globals, exists);
    if (!exists) {
        err << "generate: no database at " << location.describe() << ", creating one\n";
        err.flush();
        InitOptions init;
        init.location = location;
        init.userName = a.value(QStringLiteral("user"), defaultUserName());
        const auto registry = openRegistry(globals);
        initialise(init, *registry);
    }
    db::Connection db;
    openProgramDatabase(db, location);
    const GenerateResult r = generateData(db, options, [&](qint64 done, qint64 total) {
        err << "generate: " << done << " of " << total << " TimeCards (" << timer.elapsed() / 1000.0
            << " s)\n";
        err.flush();
    });
    out << "Generated " << r.timeCards << " TimeCards for " << options.users << " users ("
        << r.usersAdded << " added) in " << location.describe() << '\n'
        << "Measured user: UserID " << r.measuredUserId << " with " << r.measuredUninvoiced
        << " uninvoiced TimeCards; " << r.uninvoiced << " uninvoiced in all\n"
        << "Time: " << QString::number(timer.elapsed() / 1000.0, 'f', 1) << " s\n";
    return 0;
}

} // namespace quorvale::admin
