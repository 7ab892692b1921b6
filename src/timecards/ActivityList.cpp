#include "timecards/ActivityList.h"

#include "data/SortOrders.h"
#include "platform/core/QvError.h"
#include "platform/db/Command.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"

#include <QCoreApplication>
#include <QVariantList>

namespace quorvale {

namespace {

const char *const Source = "Activity Maintenance";

QVariant nullableId(const std::optional<qint32> &id)
{
    return id ? QVariant(*id) : QVariant(QMetaType::fromType<int>());
}

} // namespace

QString ActivityList::table() const
{
    return m_level == ActivityLevel::Activity1 ? QStringLiteral("tblMainActivities")
                                               : QStringLiteral("tblSubActivities");
}

QString ActivityList::term(const Terms &terms) const
{
    return m_level == ActivityLevel::Activity1 ? terms.activity1 : terms.activity2;
}

std::vector<ActivityRow> ActivityList::load()
{
    db::Command list(m_link, QStringLiteral("SELECT ActivityID, ActivityName, ActivityNumber, "
                                            "ActivityDescription, ContactID, Active, %1 FROM %2 "
                                            "ORDER BY ActivityName, ActivityID")
                                 .arg(rateColumnList(), table()));
    std::vector<ActivityRow> rows;
    for (const QSqlRecord &record : list.all()) {
        ActivityRow row;
        row.id = record.value(0).toInt();
        row.name = record.value(1).toString();
        row.number = record.value(2).toString();
        row.description = record.value(3).toString();
        if (!record.value(4).isNull())
            row.contactId = record.value(4).toInt();
        row.active = record.value(5).toLongLong() != 0;
        for (int level = 0; level < 6; ++level)
            row.rates[level] = Money::fromStored(record.value(6 + level));
        rows.push_back(std::move(row));
    }
    return rows;
}

QString ActivityList::problem(const ActivityRow &row)
{
    if (row.name.trimmed().isEmpty())
        return QCoreApplication::translate("ActivityList", "A name is required.");
    return {};
}

qint32 ActivityList::save(const ActivityRow &row)
{
    if (const QString why = problem(row); !why.isEmpty())
        throw QvError(ErrorNumber::InvalidCharacter, why, QLatin1String(Source));

    QVariantList params{row.name, row.number, row.description, nullableId(row.contactId),
                        row.active};
    for (const Money &rate : row.rates)
        params << rate.toStored();

    db::Transaction transaction(m_link);
    qint32 id = 0;
    if (row.id) {
        params << *row.id;
        db::Command update(m_link,
                           QStringLiteral("UPDATE %1 SET ActivityName = ?, ActivityNumber = ?, "
                                          "ActivityDescription = ?, ContactID = ?, Active = ?, "
                                          "Rate1 = ?, Rate2 = ?, Rate3 = ?, Rate4 = ?, "
                                          "Rate5 = ?, Rate6 = ? WHERE ActivityID = ?")
                               .arg(table()));
        if (update.execute(params) == 0)
            throw QvError(
                ErrorNumber::NoCurrentRecord,
                QCoreApplication::translate("ActivityList", "The entry no longer exists."),
                QLatin1String(Source));
        id = *row.id;
    } else {
        id = static_cast<qint32>(m_link.insertReturningKey(
            QStringLiteral("INSERT INTO %1 (ActivityName, ActivityNumber, ActivityDescription, "
                           "ContactID, Active, %2) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                .arg(table(), rateColumnList()),
            params, QStringLiteral("ActivityID")));
    }
    transaction.commit();
    return id;
}

bool ActivityList::isReferenced(qint32 activityId)
{
    const QString column = m_level == ActivityLevel::Activity1 ? QStringLiteral("Activity1ID")
                                                               : QStringLiteral("Activity2ID");
    static const char *const tables[] = {"tblTimeCards", "tblExpenses", "tblFixedCharges"};
    for (const char *usingTable : tables) {
        db::Command uses(
            m_link,
            QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?").arg(QLatin1String(usingTable), column));
        if (uses.first({activityId}))
            return true;
    }
    return false;
}

RemoveOutcome ActivityList::remove(qint32 activityId)
{
    db::Transaction transaction(m_link);
    RemoveOutcome outcome = RemoveOutcome::Deleted;
    if (isReferenced(activityId)) {
        m_link.execute(QStringLiteral("UPDATE %1 SET Active = ? WHERE ActivityID = ?").arg(table()),
                       {false, activityId});
        outcome = RemoveOutcome::Deactivated;
    } else {
        m_link.execute(QStringLiteral("DELETE FROM %1 WHERE ActivityID = ?").arg(table()),
                       {activityId});
    }
    transaction.commit();
    return outcome;
}

} // namespace quorvale
