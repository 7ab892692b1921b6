#include "LoadBench.h"

#include "Samples.h"
#include "ServerSchema.h"
#include "platform/core/Money.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"

#include <QDate>
#include <QElapsedTimer>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <atomic>
#include <map>
#include <mutex>
#include <thread>

namespace quorvale::bench {

namespace {

constexpr int SharedCards = 5;

// What one simulated user did and was told.
struct UserLog {
    std::map<QString, Samples> latency; // per operation
    int operations = 0;
    int conflicts = 0; // saves refused because someone else saved first
    QStringList errors;
    // Every TimeCard this user made, with what its last successful saves wrote.
    QHash<qint64, QPair<QString, QString>> saved; // id -> (Quantity, Description)
    QHash<qint64, int> sharedMinutes;             // shared TimeCard -> minutes added
};

QString sevenDigits(int minutes)
{
    return QStringLiteral("%1%2")
        .arg(minutes / 60, 5, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

int minutesOf(const QString &quantity)
{
    return quantity.left(5).toInt() * 60 + quantity.mid(5, 2).toInt();
}

class SimulatedUser {
public:
    SimulatedUser(const QString &connect, qint32 userId, const std::vector<qint64> &shared,
                  UserLog &log)
        : m_connect(connect), m_userId(userId), m_shared(shared), m_log(log)
    {
    }

    void run(const QElapsedTimer &clock, qint64 untilMs)
    {
        try {
            m_cnn.open(m_connect);
        } catch (const QvError &e) {
            m_log.errors << QStringLiteral("connect: ") + e.description();
            return;
        }
        int round = 0;
        while (clock.elapsed() < untilMs) {
            try {
                workOneTimeCard(round++);
            } catch (const QvError &e) {
                m_log.errors << e.description();
            }
        }
    }

private:
    template <class Work> void timed(const char *operation, Work &&work)
    {
        Samples &s = m_log.latency[QString::fromLatin1(operation)];
        s.start();
        work();
        s.stop();
        ++m_log.operations;
    }

    void workOneTimeCard(int round)
    {
        db::Recordset work;
        timed("open the working set", [&] {
            work.open(m_cnn,
                      QStringLiteral("SELECT * FROM tblTimeCards WHERE UserId = ? AND InvoiceID "
                                     "Is Null AND Inactive = 0 ORDER BY tblTimeCards.TimeCardID"),
                      db::CursorType::Keyset, db::LockType::Optimistic, {m_userId});
        });
        qint64 id = 0;
        timed("create a TimeCard", [&] {
            work.addNew();
            work.setValue(QStringLiteral("UserId"), m_userId);
            work.setValue(QStringLiteral("StartDate"), QDate::currentDate());
            work.setValue(QStringLiteral("EndDate"), QDate::currentDate());
            work.setValue(QStringLiteral("Quantity"), sevenDigits(0));
            work.setValue(QStringLiteral("BillStatus"), QStringLiteral("Billable"));
            work.setValue(QStringLiteral("Rate"), Money::fromWhole(90).toStored());
            work.setValue(QStringLiteral("Inactive"), 0);
            work.update();
            id = work.value(QStringLiteral("TimeCardID")).toLongLong();
        });
        m_log.saved.insert(id, {sevenDigits(0), QString()});
        for (int tick = 1; tick <= 4; ++tick) {
            timed("timer save", [&] {
                work.setValue(QStringLiteral("Quantity"), sevenDigits(tick * 6));
                work.update();
            });
            m_log.saved[id].first = sevenDigits(tick * 6);
        }
        const QString words = QStringLiteral("Round %1 of user %2").arg(round).arg(m_userId);
        timed("leave the TimeCard", [&] {
            work.setValue(QStringLiteral("Description"), words);
            work.update();
            work.close();
        });
        m_log.saved[id].second = words;
        if (round % 3 == 0)
            addSharedMinute(m_shared[static_cast<std::size_t>(round + m_userId) % m_shared.size()]);
    }

    // Read, add one minute, write back; a save over someone else's is refused,
    // so the row is read again and the minute added to what they saved.
    void addSharedMinute(qint64 id)
    {
        timed("shared TimeCard", [&] {
            db::Recordset rs;
            rs.open(m_cnn, QStringLiteral("SELECT * FROM tblTimeCards WHERE TimeCardID = ?"),
                    db::CursorType::Keyset, db::LockType::Optimistic, {id});
            for (int attempt = 0;; ++attempt) {
                const int now = minutesOf(rs.value(QStringLiteral("Quantity")).toString());
                rs.setValue(QStringLiteral("Quantity"), sevenDigits(now + 1));
                try {
                    rs.update();
                    break;
                } catch (const QvError &e) {
                    if (e.number() != ErrorNumber::RowChanged || attempt == 1000)
                        throw;
                    ++m_log.conflicts;
                    rs.move(0);
                }
            }
        });
        ++m_log.sharedMinutes[id];
    }

    QString m_connect;
    qint32 m_userId;
    const std::vector<qint64> &m_shared;
    UserLog &m_log;
    db::Connection m_cnn;
};

struct RunFigures {
    int users = 0;
    double seconds = 0;
    int operations = 0;
    int conflicts = 0;
    int timeCards = 0;
    int lost = 0;
    QStringList errors;
    std::map<QString, std::vector<double>> latency;
};

double percentile(std::vector<double> ms, double q)
{
    std::sort(ms.begin(), ms.end());
    return nearestRank(ms, q);
}

RunFigures runUsers(const QString &connect, db::Connection &check, int users, int seconds,
                    const std::vector<qint64> &shared)
{
    const QHash<qint64, int> sharedBefore = [&] {
        QHash<qint64, int> m;
        for (qint64 id : shared)
            m[id] = minutesOf(check
                                  .scalar(QStringLiteral("SELECT Quantity FROM tblTimeCards "
                                                         "WHERE TimeCardID = ?"),
                                          {id})
                                  .toString());
        return m;
    }();
    std::vector<UserLog> logs(static_cast<std::size_t>(users));
    QElapsedTimer clock;
    clock.start();
    {
        std::vector<std::thread> threads;
        for (int u = 0; u < users; ++u)
            threads.emplace_back([&, u] {
                SimulatedUser(connect, u + 1, shared, logs[static_cast<std::size_t>(u)])
                    .run(clock, qint64(seconds) * 1000);
            });
        for (std::thread &t : threads)
            t.join();
    }
    RunFigures f;
    f.users = users;
    f.seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    QHash<qint64, int> sharedAdded;
    for (const UserLog &log : logs) {
        f.operations += log.operations;
        f.conflicts += log.conflicts;
        f.errors += log.errors;
        for (const auto &[name, samples] : log.latency) {
            std::vector<double> &all = f.latency[name];
            all.insert(all.end(), samples.values().begin(), samples.values().end());
        }
        for (auto it = log.sharedMinutes.cbegin(); it != log.sharedMinutes.cend(); ++it)
            sharedAdded[it.key()] += it.value();
        // Read back every value this user was told was saved.
        for (auto it = log.saved.cbegin(); it != log.saved.cend(); ++it) {
            ++f.timeCards;
            bool kept = false;
            check.readRows(QStringLiteral("SELECT Quantity, Description FROM tblTimeCards "
                                          "WHERE TimeCardID = ?"),
                           {it.key()}, [&](QVariant *values, int) {
                               kept = values[0].toString() == it.value().first &&
                                      values[1].toString() == it.value().second;
                           });
            if (!kept)
                ++f.lost;
        }
    }
    for (qint64 id : shared) {
        const int now = minutesOf(
            check
                .scalar(QStringLiteral("SELECT Quantity FROM tblTimeCards WHERE TimeCardID = ?"),
                        {id})
                .toString());
        f.lost += std::abs(now - sharedBefore.value(id) - sharedAdded.value(id));
    }
    return f;
}

void print(QTextStream &out, const RunFigures &f, const RunFigures *baseline, bool json,
           QJsonArray &runs)
{
    if (json) {
        QJsonObject o{
            {"users", f.users},           {"seconds", f.seconds},
            {"operations", f.operations}, {"operationsPerSecond", f.operations / f.seconds},
            {"conflicts", f.conflicts},   {"errors", f.errors.size()},
            {"timeCards", f.timeCards},   {"lostWrites", f.lost}};
        QJsonObject latency;
        for (const auto &[name, ms] : f.latency)
            latency[name] = QJsonObject{{"p50", percentile(ms, 0.5)},
                                        {"p95", percentile(ms, 0.95)},
                                        {"p99", percentile(ms, 0.99)},
                                        {"count", int(ms.size())}};
        o[QStringLiteral("latencyMs")] = latency;
        runs.append(o);
        return;
    }
    out << QStringLiteral("%1 user(s) for %2 s: %3 operations, %4 per second; %5 TimeCards; "
                          "%6 conflicts refused and redone; %7 errors; %8 lost writes\n")
               .arg(f.users)
               .arg(f.seconds, 0, 'f', 1)
               .arg(f.operations)
               .arg(f.operations / f.seconds, 0, 'f', 0)
               .arg(f.timeCards)
               .arg(f.conflicts)
               .arg(f.errors.size())
               .arg(f.lost);
    for (const auto &[name, ms] : f.latency) {
        out << QStringLiteral("  %1: p50 %2 ms, p95 %3 ms, p99 %4 ms")
                   .arg(name, -22)
                   .arg(percentile(ms, 0.5), 0, 'f', 2)
                   .arg(percentile(ms, 0.95), 0, 'f', 2)
                   .arg(percentile(ms, 0.99), 0, 'f', 2);
        if (baseline && baseline->latency.count(name))
            out << QStringLiteral("  (p50 %1x one user alone)")
                       .arg(percentile(ms, 0.5) / percentile(baseline->latency.at(name), 0.5), 0,
                            'f', 2);
        out << '\n';
    }
    for (const QString &e : f.errors.mid(0, 5))
        out << "  error: " << e << '\n';
}

} // namespace

int runLoad(const LoadOptions &o, QTextStream &out)
{
    try {
        const ServerSchema scratch(o.server, QStringLiteral("qvbench_load"));
        const QString &connect = scratch.connectString();
        db::Connection check;
        check.open(connect);
        std::vector<qint64> shared;
        for (int i = 0; i < SharedCards; ++i)
            shared.push_back(check.insertReturningKey(
                QStringLiteral("INSERT INTO tblTimeCards (UserId, Quantity, Description, "
                               "Inactive) VALUES (0, ?, ?, 0)"),
                {sevenDigits(0), QStringLiteral("The firm's meeting %1").arg(i + 1)},
                QStringLiteral("TimeCardID")));

        const RunFigures alone = runUsers(connect, check, 1, o.seconds, shared);
        const RunFigures many = runUsers(connect, check, o.users, o.seconds, shared);
        QJsonArray runs;
        print(out, alone, nullptr, o.json, runs);
        print(out, many, &alone, o.json, runs);
        if (o.json)
            out << QJsonDocument(runs).toJson(QJsonDocument::Indented);
        return alone.lost + many.lost == 0 && alone.errors.isEmpty() && many.errors.isEmpty() ? 0
                                                                                              : 1;
    } catch (const QvError &e) {
        out << "qvbench: " << e.description() << '\n';
    }
    return 1;
}

} // namespace quorvale::bench
