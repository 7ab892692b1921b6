#include "PickListBench.h"

#include "OdbcBaseline.h"
#include "Samples.h"
#include "ServerSchema.h"
#include "SqliteBaseline.h"
#include "data/DataStore.h"
#include "platform/core/QvError.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "settings/AdminSettings.h"
#include "settings/PreparedCommands.h"
#include "timecards/ContactPicker.h"
#include "timecards/PickLists.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTextStream>
#include <array>
#include <cstdlib>
#include <functional>
#include <iostream>

namespace quorvale::bench {

namespace {

[[noreturn]] void fail(const std::string &what)
{
    std::cerr << "qvbench: " << what << '\n';
    std::exit(1);
}

struct PickMeasure {
    QString name;
    Spread ours;
    Spread baseline;
    double targetMs = 0;
};

constexpr std::array<const char *, 12> Firms{"Alder",   "Birch", "Cedar",  "Damson",
                                             "Elm",     "Fir",   "Ginkgo", "Hazel",
                                             "Juniper", "Larch", "Maple",  "O'Rowan"};
constexpr std::array<const char *, 6> Kinds{"Bakery", "Holdings", "& Sons",
                                            "Garage", "Legal",    "Studio"};
// What a person types into the search field, one keystroke at a time, then
// erases again: a common word, an account number, a rare name and an apostrophe.
const std::array<QString, 4> Typed{QStringLiteral("bakery"), QStringLiteral("ac-0123"),
                                   QStringLiteral("juniper studio 77"), QStringLiteral("o'rowan")};

// Contacts with names and accounts a real list has; every tenth contact has its
// own activities, the rest share the common ones.
void fill(const QString &dataFile, int contacts)
{
    SqliteBaseline data(dataFile);
    data.exec(QStringLiteral("BEGIN"));
    sqlite3_stmt *contact = data.prepare(QStringLiteral(
        "INSERT INTO tblContacts (ContactName, ContactAccount, Active, TimeRealization) "
        "VALUES (?, ?, ?, 1)"));
    const int inactive = contacts / 20;
    for (int i = 0; i < contacts + inactive; ++i) {
        const QByteArray name = QStringLiteral("%1 %2 %3")
                                    .arg(QLatin1String(Firms[std::size_t(i) % Firms.size()]))
                                    .arg(QLatin1String(Kinds[std::size_t(i / 12) % Kinds.size()]))
                                    .arg(i)
                                    .toUtf8();
        const QByteArray account = QStringLiteral("AC-%1").arg(i, 5, 10, QLatin1Char('0')).toUtf8();
        sqlite3_bind_text(contact, 1, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(contact, 2, account.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(contact, 3, i < contacts ? -1 : 0);
        sqlite3_step(contact);
        sqlite3_reset(contact);
    }
    sqlite3_finalize(contact);
    for (const char *table : {"tblMainActivities", "tblSubActivities"}) {
        sqlite3_stmt *activity = data.prepare(
            QStringLiteral("INSERT INTO %1 (ActivityName, ActivityNumber, ContactID, Active) "
                           "VALUES (?, ?, ?, -1)")
                .arg(QLatin1String(table)));
        for (int i = 0; i < 400; ++i) {
            const QByteArray name = QStringLiteral("Activity %1").arg(i).toUtf8();
            const QByteArray number = QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0')).toUtf8();
            sqlite3_bind_text(activity, 1, name.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(activity, 2, number.constData(), -1, SQLITE_TRANSIENT);
            if (i < 40)
                sqlite3_bind_null(activity, 3);
            else
                sqlite3_bind_int(activity, 3, 1 + (i * 10) % contacts);
            sqlite3_step(activity);
            sqlite3_reset(activity);
        }
        sqlite3_finalize(activity);
    }
    data.exec(QStringLiteral("COMMIT"));
}

// Every keystroke's text: the word built up letter by letter, then erased.
QStringList keystrokes()
{
    QStringList texts;
    for (const QString &word : Typed) {
        for (qsizetype n = 1; n <= word.size(); ++n)
            texts << word.left(n);
        for (qsizetype n = word.size() - 1; n >= 0; --n)
            texts << word.left(n);
    }
    return texts;
}

QString figure(double ms)
{
    return QString::number(ms, 'f', ms < 1 ? 4 : 3);
}

void print(QTextStream &out, const std::vector<PickMeasure> &measures, bool json)
{
    if (!json)
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
                   .arg(QStringLiteral("measure"), -34)
                   .arg(QStringLiteral("median ms"), 10)
                   .arg(QStringLiteral("p90 ms"), 10)
                   .arg(QStringLiteral("base ms"), 10)
                   .arg(QStringLiteral("base p90"), 10)
                   .arg(QStringLiteral("ratio"), 7)
                   .arg(QStringLiteral("target"), 8);
    for (const PickMeasure &m : measures) {
        const double ratio = m.baseline.median > 0 ? m.ours.median / m.baseline.median : 0;
        if (json) {
            out << QJsonDocument(QJsonObject{{QStringLiteral("name"), m.name},
                                             {QStringLiteral("median_ms"), m.ours.median},
                                             {QStringLiteral("p90_ms"), m.ours.p90},
                                             {QStringLiteral("baseline_ms"), m.baseline.median},
                                             {QStringLiteral("baseline_p90_ms"), m.baseline.p90},
                                             {QStringLiteral("ratio"), ratio},
                                             {QStringLiteral("target_ms"), m.targetMs}})
                       .toJson(QJsonDocument::Compact)
                << '\n';
            continue;
        }
        const QString target =
            m.targetMs > 0
                ? QStringLiteral("%1 %2")
                      .arg(m.ours.p90 < m.targetMs ? QStringLiteral("<") : QStringLiteral(">"))
                      .arg(m.targetMs)
                : QString();
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
                   .arg(m.name, -34)
                   .arg(figure(m.ours.median), 10)
                   .arg(figure(m.ours.p90), 10)
                   .arg(figure(m.baseline.median), 10)
                   .arg(figure(m.baseline.p90), 10)
                   .arg(QString::number(ratio, 'f', 2), 7)
                   .arg(target, 8);
    }
}

// The same active and inactive contacts and activities on the server, made there
// in one statement each.
void fillOnServer(db::Connection &cnn, int contacts)
{
    // One text of all the words, picked out by split_part: the statement passes
    // through the dialect, which takes square brackets for names.
    const auto words = [](const auto &list) {
        QStringList all;
        for (const char *w : list)
            all << QString::fromUtf8(w).replace(QLatin1Char('\''), QStringLiteral("''"));
        return all.join(QLatin1Char('|'));
    };
    cnn.execute(
        QStringLiteral("INSERT INTO tblContacts (ContactName, ContactAccount, Active, "
                       "TimeRealization) SELECT split_part('%1', '|', i % 12 + 1) || ' ' || "
                       "split_part('%2', '|', (i / 12) % 6 + 1) || ' ' || i, 'AC-' || "
                       "lpad(i::text, 5, '0'), CASE WHEN i < %3 THEN -1 ELSE 0 END, 1 FROM "
                       "generate_series(0, %4) AS i")
            .arg(words(Firms), words(Kinds))
            .arg(contacts)
            .arg(contacts + contacts / 20 - 1));
    for (const char *table : {"tblMainActivities", "tblSubActivities"})
        cnn.execute(QStringLiteral("INSERT INTO %1 (ActivityName, ActivityNumber, ContactID, "
                                   "Active) SELECT 'Activity ' || i, lpad(i::text, 4, '0'), CASE "
                                   "WHEN i < 40 THEN NULL ELSE 1 + (i * 10) % %2 END, -1 FROM "
                                   "generate_series(0, 399) AS i")
                        .arg(QLatin1String(table))
                        .arg(contacts));
    cnn.execute(QStringLiteral("ANALYZE"));
}

// A statement run straight on the engine, with no layer of ours: SQLite's C API on
// the data file, or the ODBC C API on the server. Returns the rows read.
using DirectRead = std::function<long(const QString &sql, const QVariantList &params)>;

struct PickRun {
    db::Connection &cnnLink;
    DirectRead direct;
    QString likeOperator; // the case-blind LIKE of the engine
    int contacts = 0;
    int repetitions = 0;
};

std::vector<PickMeasure> measureOn(const PickRun &run, ErrorHandler &errors, long &sink)
{
    db::Connection &cnnLink = run.cnnLink;
    const auto translated = [&cnnLink](const QString &sql) {
        return cnnLink.sqlDialect().translate(sql);
    };
    std::vector<PickMeasure> measures;

    // Opening the picker: the first rows read and made ready to filter; the
    // window shows them while the rest is read on a thread of its own.
    const QString firstSql = translated(
        ContactPicker::listSql() + QStringLiteral(" LIMIT %1").arg(ContactPicker::FirstRows + 1));
    Samples open, openBase;
    for (int r = 0; r <= run.repetitions; ++r) {
        open.start();
        ContactPicker picker(cnnLink);
        open.stop();
        sink += static_cast<long>(picker.contacts().size());
        openBase.start();
        sink += run.direct(firstSql, {});
        openBase.stop();
    }
    measures.push_back({QStringLiteral("open picker (first %1 rows)").arg(ContactPicker::FirstRows),
                        open.spread(), openBase.spread(), 50});

    // The rest: the reading thread's own connection, then every active contact.
    const QString wholeSql = translated(ContactPicker::listSql());
    Samples connect, whole, wholeBase;
    for (int r = 0; r <= run.repetitions; ++r) {
        connect.start();
        db::Connection own;
        own.open(cnnLink.source());
        connect.stop();
        whole.start();
        sink += static_cast<long>(ContactPicker::readAll(own).size());
        whole.stop();
        wholeBase.start();
        sink += run.direct(wholeSql, {});
        wholeBase.stop();
    }
    measures.push_back({QStringLiteral("  reading connection opened"), connect.spread(), {}, 0});
    measures.push_back({QStringLiteral("  whole list read (%1 contacts)").arg(run.contacts),
                        whole.spread(), wholeBase.spread(), 0});

    // Each keystroke on the whole list: the in-memory filter against a LIKE
    // query per keystroke.
    const QStringList texts = keystrokes();
    const QString likeSql = translated(
        QStringLiteral("SELECT ContactID, ContactName, ContactAccount FROM tblContacts WHERE "
                       "Active <> 0 AND (ContactName %1 ? OR ContactAccount %1 ?) "
                       "ORDER BY ContactAccount, ContactName")
            .arg(run.likeOperator));
    Samples key, keyBase;
    for (int r = 0; r < run.repetitions; ++r) {
        ContactPicker picker(cnnLink);
        picker.takeAll(ContactPicker::readAll(cnnLink));
        for (const QString &text : texts) {
            key.start();
            sink += static_cast<long>(picker.filter(text).size());
            key.stop();
            const QString pattern = QLatin1Char('%') + text + QLatin1Char('%');
            keyBase.start();
            sink += run.direct(likeSql, {pattern, pattern});
            keyBase.stop();
        }
    }
    measures.push_back({QStringLiteral("keystroke filter"), key.spread(), keyBase.spread(), 50});

    // A change of contact: both activity lists refilled and the TimeCard's
    // activities checked against them.
    PreparedCommands commands;
    if (!ProcessAdminOptions(cnnLink, AdminOptions{}, commands, errors))
        fail("preparing the statements failed");
    const QString list1 = translated(commands.activity1List->sql());
    const QString list2 = translated(commands.activity2List->sql());
    Samples refill, refillBase;
    constexpr int Changes = 50;
    for (int r = 0; r < run.repetitions; ++r) {
        for (int c = 0; c < Changes; ++c) {
            const qint32 contactId = 1 + (r * Changes + c) * 37 % run.contacts;
            refill.start();
            std::vector<PickEntry> first = activityEntries(
                *commands.activity1List, commands.activity1ListTakesContact, contactId);
            std::vector<PickEntry> second = activityEntries(
                *commands.activity2List, commands.activity2ListTakesContact, contactId);
            sink +=
                offeredActivity(first, 41).value_or(-1) + offeredActivity(second, 1).value_or(-1);
            refill.stop();
            refillBase.start();
            sink += run.direct(list1, commands.activity1ListTakesContact ? QVariantList{contactId}
                                                                         : QVariantList{});
            sink += run.direct(list2, commands.activity2ListTakesContact ? QVariantList{contactId}
                                                                         : QVariantList{});
            refillBase.stop();
        }
    }
    measures.push_back(
        {QStringLiteral("refill both activity lists"), refill.spread(), refillBase.spread(), 10});
    return measures;
}

int report(const PickListOptions &o, const QString &engine,
           const std::vector<PickMeasure> &measures, long sink)
{
    QTextStream out(stdout);
    if (!o.json)
        out << QStringLiteral("%1: %2 active contacts; %3 keystrokes per repetition, 50 contact "
                              "changes\n")
                   .arg(engine)
                   .arg(o.contacts)
                   .arg(keystrokes().size());
    print(out, measures, o.json);
    return sink < 0 ? 1 : 0;
}

int onFile(const PickListOptions &o, Prompts &prompts, ErrorHandler &errors)
{
    QDir().mkpath(o.dir);
    QTemporaryDir scratch(o.dir + QStringLiteral("/picklists-XXXXXX"));
    if (!scratch.isValid())
        fail("cannot make a scratch directory in " + o.dir.toStdString());
    admin::InitOptions init;
    init.location.programDir = scratch.filePath(QStringLiteral("program"));
    init.location.dataDir = scratch.filePath(QStringLiteral("data"));
    init.userName = QStringLiteral("Bench User");
    Registry setup(scratch.filePath(QStringLiteral("settings.ini")));
    admin::initialise(init, setup);
    const QString dataFile = init.location.dataFile();
    fill(dataFile, o.contacts);

    DatabaseSettings settings;
    settings.dataSource = init.location.dataDir;
    DataStore store(settings, init.location.programDir, prompts, errors);
    if (!store.OpenDB())
        fail("OpenDB failed");
    SqliteBaseline direct(dataFile);
    long sink = 0;
    const std::vector<PickMeasure> measures =
        measureOn({store.cnnLink(),
                   [&direct](const QString &sql, const QVariantList &params) {
                       return direct.readPrepared(sql, params);
                   },
                   QStringLiteral("LIKE"), o.contacts, o.repetitions},
                  errors, sink);
    return report(o, QStringLiteral("SQLite"), measures, sink + direct.sink());
}

int onServer(const PickListOptions &o, ErrorHandler &errors)
{
    try {
        const ServerSchema scratch(o.server, QStringLiteral("qvbench_pick"));
        db::Connection cnnLink;
        cnnLink.open(scratch.connectString());
        fillOnServer(cnnLink, o.contacts);
        OdbcBaseline direct(scratch.connectString());
        long sink = 0;
        const std::vector<PickMeasure> measures =
            measureOn({cnnLink,
                       [&direct](const QString &sql, const QVariantList &params) {
                           return direct.readAll(sql, params);
                       },
                       QStringLiteral("ILIKE"), o.contacts, o.repetitions},
                      errors, sink);
        return report(o, QStringLiteral("Server"), measures, sink + direct.sink());
    } catch (const QvError &e) {
        std::cerr << "qvbench: " << e.description().toStdString() << '\n';
    } catch (const std::exception &e) {
        std::cerr << "qvbench: " << e.what() << '\n';
    }
    return 1;
}

} // namespace

int measurePickLists(const PickListOptions &o, Prompts &prompts, ErrorHandler &errors)
{
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false"));
    return o.server.isEmpty() ? onFile(o, prompts, errors) : onServer(o, errors);
}

} // namespace quorvale::bench
