#include "timecards/ActiveRunStore.h"

#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"

#include <QSqlQuery>

namespace quorvale {

namespace {

// One row at most: Slot is always 1.
const char *const CreateTable = "CREATE TABLE IF NOT EXISTS tblActiveRun ("
                                "Slot INTEGER PRIMARY KEY CHECK (Slot = 1), "
                                "TimeCardID BIGINT NOT NULL, "
                                "RunStartUtcMs BIGINT NOT NULL, "
                                "BaseSeconds BIGINT NOT NULL, "
                                "KeptTimeSpent TEXT NOT NULL, "
                                "KeptValue BIGINT, "
                                "LastSeenUtcMs BIGINT)";

QVariant utcMs(const QDateTime &at)
{
    return at.isValid() ? QVariant(at.toMSecsSinceEpoch())
                        : QVariant(QMetaType::fromType<qlonglong>());
}

QDateTime fromUtcMs(const QVariant &stored)
{
    return stored.isNull() ? QDateTime() : QDateTime::fromMSecsSinceEpoch(stored.toLongLong());
}

} // namespace

ActiveRunStore::ActiveRunStore(db::Connection &cnnLocal) : m_cnn(cnnLocal) {}

void ActiveRunStore::ensureTable()
{
    if (m_tableReady)
        return;
    m_cnn.execute(QString::fromLatin1(CreateTable));
    m_tableReady = true;
}

void ActiveRunStore::save(const ActiveRun &run)
{
    ensureTable();
    db::Transaction tx(m_cnn);
    m_cnn.execute(QStringLiteral("DELETE FROM tblActiveRun"));
    m_cnn.execute(
        QStringLiteral("INSERT INTO tblActiveRun (Slot, TimeCardID, RunStartUtcMs, "
                       "BaseSeconds, KeptTimeSpent, KeptValue, LastSeenUtcMs) "
                       "VALUES (1, ?, ?, ?, ?, ?, ?)"),
        {run.timeCardId, utcMs(run.runStart), run.baseSeconds, run.keptTimeSpent,
         run.keptValue ? run.keptValue->toStored() : QVariant(QMetaType::fromType<qlonglong>()),
         utcMs(run.lastSeen)});
    tx.commit();
}

void ActiveRunStore::markSeen(const QDateTime &at)
{
    ensureTable();
    m_cnn.execute(QStringLiteral("UPDATE tblActiveRun SET LastSeenUtcMs = ?"), {utcMs(at)});
}

void ActiveRunStore::clear()
{
    ensureTable();
    m_cnn.execute(QStringLiteral("DELETE FROM tblActiveRun"));
}

std::optional<ActiveRun> ActiveRunStore::recover()
{
    ensureTable();
    QSqlQuery query = m_cnn.prepare(
        QStringLiteral("SELECT TimeCardID, RunStartUtcMs, BaseSeconds, KeptTimeSpent, KeptValue, "
                       "LastSeenUtcMs FROM tblActiveRun WHERE Slot = 1"));
    m_cnn.run(query, {});
    if (!query.next())
        return std::nullopt;
    ActiveRun run;
    run.timeCardId = query.value(0).toLongLong();
    run.runStart = fromUtcMs(query.value(1));
    run.baseSeconds = query.value(2).toLongLong();
    run.keptTimeSpent = query.value(3).toString();
    if (!query.value(4).isNull())
        run.keptValue = Money::fromStored(query.value(4));
    run.lastSeen = fromUtcMs(query.value(5));
    return run;
}

} // namespace quorvale
