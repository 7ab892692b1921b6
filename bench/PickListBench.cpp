#include "PickListBench.h"

#include "Samples.h"
#include "SqliteBaseline.h"
#include "data/DataStore.h"
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

// Steps through a prepared statement's rows, keeping what a list would keep.
long stepAll(sqlite3_stmt *stmt)
{
    long sink = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        for (int c = 0; c < sqlite3_column_count(stmt); ++c)
            sink += sqlite3_column_bytes(stmt, c);
    sqlite3_reset(stmt);
    return sink;
}

} // namespace

int measurePickLists(const PickListOptions &o, Prompts &prompts, ErrorHandler &errors)
{
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false"));
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
    db::Connection &cnnLink = store.cnnLink();
    SqliteBaseline direct(dataFile);
    std::vector<PickMeasure> measures;
    long sink = 0;

    // Opening the picker: every active contact read and made ready to filter.
    const QString contactsSql = QStringLiteral(
        "SELECT ContactID, ContactName, ContactAccount FROM tblContacts WHERE Active <> 0 "
        "ORDER BY ContactAccount, ContactName");
    Samples open, openBase;
    for (int r = 0; r <= o.repetitions; ++r) {
        open.start();
        ContactPicker picker(cnnLink);
        open.stop();
        sink += static_cast<long>(picker.contacts().size());
        openBase.start();
        sink += direct.readAll(contactsSql);
        openBase.stop();
    }
    measures.push_back({QStringLiteral("open picker (%1 contacts)").arg(o.contacts), open.spread(),
                        openBase.spread(), 0});

    // Each keystroke: the in-memory filter against a LIKE query per keystroke.
    const QStringList texts = keystrokes();
    Samples key, keyBase;
    sqlite3_stmt *like = direct.prepare(
        QStringLiteral("SELECT ContactID, ContactName, ContactAccount FROM tblContacts WHERE "
                       "Active <> 0 AND (ContactName LIKE ?1 OR ContactAccount LIKE ?1) "
                       "ORDER BY ContactAccount, ContactName"));
    for (int r = 0; r < o.repetitions; ++r) {
        ContactPicker picker(cnnLink);
        for (const QString &text : texts) {
            key.start();
            sink += static_cast<long>(picker.filter(text).size());
            key.stop();
            const QByteArray pattern = (QLatin1Char('%') + text + QLatin1Char('%')).toUtf8();
            keyBase.start();
            sqlite3_bind_text(like, 1, pattern.constData(), -1, SQLITE_TRANSIENT);
            sink += stepAll(like);
            keyBase.stop();
        }
    }
    sqlite3_finalize(like);
    measures.push_back({QStringLiteral("keystroke filter"), key.spread(), keyBase.spread(), 50});

    // A change of contact: both activity lists refilled and the TimeCard's
    // activities checked against them.
    PreparedCommands commands;
    if (!ProcessAdminOptions(cnnLink, AdminOptions{}, commands, errors))
        fail("preparing the statements failed");
    const auto translated = [&](const db::Command &c) {
        return cnnLink.sqlDialect().translate(c.sql());
    };
    sqlite3_stmt *list1 = direct.prepare(translated(*commands.activity1List));
    sqlite3_stmt *list2 = direct.prepare(translated(*commands.activity2List));
    Samples refill, refillBase;
    constexpr int Changes = 50;
    for (int r = 0; r < o.repetitions; ++r) {
        for (int c = 0; c < Changes; ++c) {
            const qint32 contactId = 1 + (r * Changes + c) * 37 % o.contacts;
            refill.start();
            std::vector<PickEntry> first = activityEntries(
                *commands.activity1List, commands.activity1ListTakesContact, contactId);
            std::vector<PickEntry> second = activityEntries(
                *commands.activity2List, commands.activity2ListTakesContact, contactId);
            sink +=
                offeredActivity(first, 41).value_or(-1) + offeredActivity(second, 1).value_or(-1);
            refill.stop();
            refillBase.start();
            for (sqlite3_stmt *list : {list1, list2}) {
                if (sqlite3_bind_parameter_count(list) > 0)
                    sqlite3_bind_int(list, 1, contactId);
                sink += stepAll(list);
            }
            refillBase.stop();
        }
    }
    sqlite3_finalize(list1);
    sqlite3_finalize(list2);
    measures.push_back(
        {QStringLiteral("refill both activity lists"), refill.spread(), refillBase.spread(), 10});

    QTextStream out(stdout);
    if (!o.json)
        out << QStringLiteral("contacts: %1 active; %2 keystrokes per repetition, %3 contact "
                              "changes\n")
                   .arg(o.contacts)
                   .arg(texts.size())
                   .arg(Changes);
    print(out, measures, o.json);
    return sink < 0 || direct.sink() < 0 ? 1 : 0;
}

} // namespace quorvale::bench
