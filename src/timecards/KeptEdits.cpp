#include "timecards/KeptEdits.h"

#include "platform/core/Money.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"

#include <QDataStream>
#include <QIODevice>
#include <QSqlQuery>

namespace quorvale {

namespace {

QByteArray pack(QVariant value)
{
    // Kept as the column stores it: a stream knows nothing of the program's own types.
    if (value.typeId() == qMetaTypeId<Money>())
        value = value.value<Money>().toStored();
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << value;
    return bytes;
}

QVariant unpack(const QByteArray &bytes)
{
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    QVariant value;
    in >> value;
    return value;
}

} // namespace

KeptEdits::KeptEdits(db::Connection &cnnLocal) : m_cnn(cnnLocal) {}

void KeptEdits::ensureTable()
{
    if (m_tableReady)
        return;
    m_cnn.execute(QStringLiteral("CREATE TABLE IF NOT EXISTS tblKeptEdits ("
                                 "KeptID INTEGER PRIMARY KEY, TimeCardID BIGINT NOT NULL, "
                                 "Field TEXT NOT NULL, Value BLOB)"));
    m_tableReady = true;
}

void KeptEdits::keep(qint64 timeCardId, const std::vector<KeptEdit> &edits)
{
    ensureTable();
    db::Transaction tx(m_cnn);
    m_cnn.execute(QStringLiteral("DELETE FROM tblKeptEdits WHERE TimeCardID = ?"), {timeCardId});
    for (const KeptEdit &e : edits)
        m_cnn.execute(
            QStringLiteral("INSERT INTO tblKeptEdits (TimeCardID, Field, Value) VALUES (?, ?, ?)"),
            {timeCardId, e.field, pack(e.value)});
    tx.commit();
}

std::vector<qint64> KeptEdits::timeCards()
{
    ensureTable();
    QSqlQuery q = m_cnn.prepare(QStringLiteral(
        "SELECT TimeCardID FROM tblKeptEdits GROUP BY TimeCardID ORDER BY MIN(KeptID)"));
    m_cnn.run(q, {});
    std::vector<qint64> ids;
    while (q.next())
        ids.push_back(q.value(0).toLongLong());
    return ids;
}

std::vector<KeptEdit> KeptEdits::edits(qint64 timeCardId)
{
    ensureTable();
    QSqlQuery q = m_cnn.prepare(QStringLiteral(
        "SELECT Field, Value FROM tblKeptEdits WHERE TimeCardID = ? ORDER BY KeptID"));
    m_cnn.run(q, {timeCardId});
    std::vector<KeptEdit> edits;
    while (q.next())
        edits.push_back({q.value(0).toString(), unpack(q.value(1).toByteArray())});
    return edits;
}

void KeptEdits::clear(qint64 timeCardId)
{
    ensureTable();
    m_cnn.execute(QStringLiteral("DELETE FROM tblKeptEdits WHERE TimeCardID = ?"), {timeCardId});
}

} // namespace quorvale
