#include "qvadmin/TimeCardRows.h"

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

QString durationText(int seconds)
{
    if (seconds <= 0)
        return QStringLiteral("0000000");
    const int hours = seconds / 3600;
    const int minutes = (seconds % 3600) / 60;
    const int rest = seconds % 60;
    const char16_t digits[7] = {static_cast<char16_t>(u'0' + hours / 100 % 10),
                                static_cast<char16_t>(u'0' + hours / 10 % 10),
                                static_cast<char16_t>(u'0' + hours % 10),
                                static_cast<char16_t>(u'0' + minutes / 10),
                                static_cast<char16_t>(u'0' + minutes % 10),
                                static_cast<char16_t>(u'0' + rest / 10),
                                static_cast<char16_t>(u'0' + rest % 10)};
    return QString(reinterpret_cast<const QChar *>(digits), 7);
}

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
                              durationText(card.estimatedSeconds),
                              durationText(card.spentSeconds),
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
