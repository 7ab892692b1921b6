#include "data/TimeCardRepository.h"

#include "platform/core/QvError.h"
#include "platform/db/Connection.h"

#include <QSqlRecord>

namespace quorvale {

TimeCardInserter::TimeCardInserter(db::Connection &cnnLink) : m_cnn(cnnLink)
{
    const QStringList columns = TimeCard::storedColumns();
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    m_insert = m_cnn.prepare(
        QStringLiteral("INSERT INTO tblTimeCards (%1) VALUES (%2)")
            .arg(columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
}

void TimeCardInserter::add(const TimeCard &card)
{
    m_cnn.run(m_insert, card.storedValues());
}

std::optional<TimeCard> TimeCardRepository::find(qint64 id) const
{
    QSqlQuery query =
        m_cnn.prepare(QStringLiteral("SELECT * FROM tblTimeCards WHERE TimeCardID = ?"));
    query.setForwardOnly(true);
    m_cnn.run(query, {id});
    if (!query.next())
        return std::nullopt;
    return TimeCard::fromRecord(query.record());
}

bool TimeCardRepository::setJournalEntryId(qint64 id, const QString &entryId)
{
    return m_cnn.execute(
               QStringLiteral("UPDATE tblTimeCards SET JournalEntryID = ? WHERE TimeCardID = ?"),
               {entryId, id}) > 0;
}

void TimeCardRepository::setPricing(qint64 id, Money rate, Realization realization, Money value)
{
    m_cnn.execute(QStringLiteral("UPDATE tblTimeCards SET Rate = ?, Realization = ?, Value = ? "
                                 "WHERE TimeCardID = ?"),
                  {rate.toStored(), realization.toStored(), value.toStored(), id});
}

void TimeCardRepository::setColumn(qint64 id, const QString &column, const QVariant &value)
{
    if (!TimeCard::isColumn(column) || column == QLatin1String("TimeCardID"))
        throw QvError(ErrorNumber::InvalidCharacter,
                      QStringLiteral("TimeCards have no column \"%1\" to change.").arg(column),
                      QStringLiteral("TimeCardRepository"));
    if (!m_columnUpdate || m_preparedColumn != column) {
        m_columnUpdate = m_cnn.prepare(
            QStringLiteral("UPDATE tblTimeCards SET %1 = ? WHERE TimeCardID = ?").arg(column));
        m_preparedColumn = column;
    }
    m_cnn.run(*m_columnUpdate, {value, id});
}

} // namespace quorvale
