#include "qvadmin/TimeCardRows.h"

#include "platform/core/Duration.h"
#include "platform/db/Connection.h"
#include "timecards/TimeCardValue.h"

#include <QVariantList>

namespace quorvale::admin {

namespace {

QVariant optionalKey(const std::optional<int> &id)
{
    return id ? QVariant(*id) : QVariant(QMetaType::fromType<int>());
}

QVariant optionalText(const QString &text)
{
    return text.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(text);
}

} // namespace

Money timeValue(Money hourlyRate, int seconds, int realizationPercent)
{
    // The program's own arithmetic, so a demo TimeCard keeps its value when the
    // program recomputes it.
    return timeSpentValue(seconds, hourlyRate, Realization::fromPercent(realizationPercent));
}

TimeCardWriter::TimeCardWriter(db::Connection &db)
    : m_db(db),
      m_insert(db.prepare(QStringLiteral(
          "INSERT INTO tblTimeCards (UserId, ContactID, Activity1ID, Activity2ID, InvoiceID, "
          "Description, TimeEstimated, Quantity, StartDate, StartTime, EndDate, EndTime, "
          "BillStatus, RateSource, RateLevel, EntryType, Category, Rate, FlatRate, Value, "
          "Inactive, Realization) "
          "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")))
{
}

void TimeCardWriter::add(const TimeCard &card)
{
    const QVariantList params{card.userId,
                              optionalKey(card.contactId),
                              optionalKey(card.activity1Id),
                              optionalKey(card.activity2Id),
                              optionalKey(card.invoiceId),
                              card.description,
                              Duration::fromSeconds(card.estimatedSeconds).toStored(),
                              Duration::fromSeconds(card.spentSeconds).toStored(),
                              card.startDate,
                              card.startTime,
                              card.endDate,
                              card.endTime,
                              card.billStatus,
                              card.rateSource,
                              card.rateLevel,
                              card.entryType,
                              optionalText(card.category),
                              QVariant::fromValue(card.rate),
                              QVariant::fromValue(card.flatRate),
                              QVariant::fromValue(card.value),
                              card.inactive,
                              card.realizationPercent / 100.0};
    m_db.run(m_insert, params);
}

} // namespace quorvale::admin
