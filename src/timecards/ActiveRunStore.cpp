#include "timecards/ActiveRunStore.h"

#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"

#include <QSqlQuery>
#include <QSqlRecord>

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
                                "LastSeenUtcMs BIGINT, "
                                "Note TEXT NOT NULL DEFAULT '', "
                                "EndedUtcMs BIGINT, "
                                "TimeKept INTEGER NOT NULL DEFAULT 0, "
                                "SegmentRecorded INTEGER NOT NULL DEFAULT 0)";

// Columns the first version of the table lacked; a run it holds still counts.
const std::pair<const char *, const char *> AddedColumns[] = {
    {"Note", "TEXT NOT NULL DEFAULT ''"},
    {"EndedUtcMs", "BIGINT"},
    {"TimeKept", "INTEGER NOT NULL DEFAULT 0"},
    {"SegmentRecorded", "INTEGER NOT NULL DEFAULT 0"}};

QVariant utcMs(const QDateTime &at)
{
    return at.isValid() ? QVariant(at.toMSecsSinceEpoch())
                        : QVariant(QMetaType::fromType<qlonglong>());
}

// A null text would be stored as NULL; the column holds text.
QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
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
    const QSqlRecord columns = m_cnn.database().record(QStringLiteral("tblActiveRun"));
    for (const auto &[name, type] : AddedColumns) {
        if (!columns.contains(QLatin1String(name)))
            m_cnn.execute(QStringLiteral("ALTER TABLE tblActiveRun ADD COLUMN %1 %2")
                              .arg(QLatin1String(name), QLatin1String(type)));
    }
    m_tableReady = true;
}

void ActiveRunStore::save(const ActiveRun &run)
{
    ensureTable();
    db::Transaction tx(m_cnn);
    m_cnn.execute(QStringLiteral("DELETE FROM tblActiveRun"));
    m_cnn.execute(
        QStringLiteral("INSERT INTO tblActiveRun (Slot, TimeCardID, RunStartUtcMs, BaseSeconds, "
                       "KeptTimeSpent, KeptValue, LastSeenUtcMs, Note, EndedUtcMs, TimeKept, "
                       "SegmentRecorded) VALUES (1, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {run.timeCardId, utcMs(run.runStart), run.baseSeconds, run.keptTimeSpent,
         run.keptValue ? run.keptValue->toStored() : QVariant(QMetaType::fromType<qlonglong>()),
         utcMs(run.lastSeen), text(run.note), utcMs(run.ended), run.timeKept ? 1 : 0,
         run.segmentRecorded ? 1 : 0});
    tx.commit();
}

void ActiveRunStore::markSeen(const QDateTime &at, const QString &note)
{
    ensureTable();
    m_cnn.execute(QStringLiteral("UPDATE tblActiveRun SET LastSeenUtcMs = ?, Note = ?"),
                  {utcMs(at), text(note)});
}

void ActiveRunStore::markEnded(const QDateTime &at, bool timeKept, const QString &note)
{
    ensureTable();
    m_cnn.execute(QStringLiteral("UPDATE tblActiveRun SET LastSeenUtcMs = ?, EndedUtcMs = ?, "
                                 "TimeKept = ?, Note = ?"),
                  {utcMs(at), utcMs(at), timeKept ? 1 : 0, text(note)});
}

void ActiveRunStore::markSegmentRecorded()
{
    ensureTable();
    m_cnn.execute(QStringLiteral("UPDATE tblActiveRun SET SegmentRecorded = 1"));
}

void ActiveRunStore::clear()
{
    ensureTable();
    m_cnn.execute(QStringLiteral("DELETE FROM tblActiveRun"));
}

std::optional<ActiveRun> ActiveRunStore::recover()
{
    ensureTable();
    QSqlQuery query = m_cnn.prepare(QStringLiteral(
        "SELECT TimeCardID, RunStartUtcMs, BaseSeconds, KeptTimeSpent, KeptValue, LastSeenUtcMs, "
        "Note, EndedUtcMs, TimeKept, SegmentRecorded FROM tblActiveRun WHERE Slot = 1"));
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
    run.note = query.value(6).toString();
    run.ended = fromUtcMs(query.value(7));
    run.timeKept = query.value(8).toInt() != 0;
    run.segmentRecorded = query.value(9).toInt() != 0;
    return run;
}

} // namespace quorvale
