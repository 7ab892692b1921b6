#include "data/TimeCard.h"

#include <QSqlRecord>
#include <QVariant>

namespace quorvale {

namespace {

std::optional<qint32> key(const QVariant &v)
{
    // The window writes 0 for a field not in use; either way there is none.
    return v.isNull() || v.toInt() == 0 ? std::nullopt : std::optional<qint32>(v.toInt());
}

// Each column once: its name and the field it is read into.
template <typename Visit> void eachColumn(Visit &&visit)
{
    visit("TimeCardID", &TimeCard::id);
    visit("JournalEntryID", &TimeCard::journalEntryId);
    visit("ContactID", &TimeCard::contactId);
    visit("UserId", &TimeCard::userId);
    visit("Activity1ID", &TimeCard::activity1Id);
    visit("Activity2ID", &TimeCard::activity2Id);
    visit("InvoiceID", &TimeCard::invoiceId);
    visit("Description", &TimeCard::description);
    visit("TimeEstimated", &TimeCard::timeEstimated);
    visit("Quantity", &TimeCard::timeSpent);
    visit("StartDate", &TimeCard::startDate);
    visit("StartTime", &TimeCard::startTime);
    visit("EndDate", &TimeCard::endDate);
    visit("EndTime", &TimeCard::endTime);
    visit("BillStatus", &TimeCard::billStatus);
    visit("RateSource", &TimeCard::rateSource);
    visit("RateLevel", &TimeCard::rateLevel);
    visit("EntryType", &TimeCard::entryType);
    visit("Category", &TimeCard::category);
    visit("Rate", &TimeCard::rate);
    visit("FlatRate", &TimeCard::flatRate);
    visit("Value", &TimeCard::value);
    visit("Inactive", &TimeCard::inactive);
    visit("Realization", &TimeCard::realization);
    visit("JobOrder", &TimeCard::jobOrder);
}

void read(const QVariant &v, qint32 &out)
{
    out = v.toInt();
}
void read(const QVariant &v, std::optional<qint32> &out)
{
    out = key(v);
}
void read(const QVariant &v, QString &out)
{
    out = v.toString();
}
void read(const QVariant &v, Duration &out)
{
    out = Duration::fromColumnOrZero(v);
}
void read(const QVariant &v, QDate &out)
{
    out = v.toDate();
}
void read(const QVariant &v, QTime &out)
{
    out = v.toTime();
}
void read(const QVariant &v, Money &out)
{
    out = Money::fromStored(v);
}
void read(const QVariant &v, bool &out)
{
    out = v.toInt() != 0;
}
void read(const QVariant &v, Realization &out)
{
    out = Realization::fromStored(v);
}

QVariant stored(qint32 v)
{
    return v;
}
QVariant stored(const std::optional<qint32> &v)
{
    return v ? QVariant(*v) : QVariant(QMetaType::fromType<int>());
}
QVariant stored(const QString &v)
{
    return v.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(v);
}
QVariant stored(Duration v)
{
    return v.toStored();
}
QVariant stored(const QDate &v)
{
    return v;
}
QVariant stored(const QTime &v)
{
    return v;
}
QVariant stored(Money v)
{
    return v.toStored();
}
QVariant stored(bool v)
{
    return v;
}
QVariant stored(Realization v)
{
    return v.toStored();
}

constexpr const char *KeyColumn = "TimeCardID";

} // namespace

TimeCard TimeCard::fromRecord(const QSqlRecord &row)
{
    TimeCard card;
    eachColumn([&](const char *name, auto member) {
        const int at = row.indexOf(QLatin1String(name));
        if (at >= 0)
            read(row.value(at), card.*member);
    });
    return card;
}

QStringList TimeCard::storedColumns()
{
    QStringList names;
    eachColumn([&](const char *name, auto) {
        if (qstrcmp(name, KeyColumn) != 0)
            names << QLatin1String(name);
    });
    return names;
}

QVariantList TimeCard::storedValues() const
{
    QVariantList values;
    eachColumn([&](const char *name, auto member) {
        if (qstrcmp(name, KeyColumn) != 0)
            values << stored(this->*member);
    });
    return values;
}

bool TimeCard::isColumn(const QString &name)
{
    bool found = false;
    eachColumn([&](const char *column, auto) { found = found || name == QLatin1String(column); });
    return found;
}

} // namespace quorvale
