#include "timecards/ContactList.h"

#include "platform/core/QvError.h"
#include "platform/db/Command.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"

#include <QCoreApplication>
#include <QVariantList>

namespace quorvale {

namespace {

const char *const Source = "Contact Maintenance";

QVariantList rateParams(const RateSet &rates)
{
    QVariantList params;
    for (const Money &rate : rates)
        params << rate.toStored();
    return params;
}

} // namespace

std::vector<ContactRow> ContactList::load()
{
    db::Command list(m_link,
                     QStringLiteral("SELECT ContactID, ContactName, ContactAccount, Active, "
                                    "TimeRealization, %1, BillingIncrement, BillingRounding FROM "
                                    "tblContacts ORDER BY ContactName, ContactID")
                         .arg(rateColumnList()));
    std::vector<ContactRow> rows;
    for (const QSqlRecord &record : list.all()) {
        ContactRow row;
        row.id = record.value(0).toInt();
        row.name = record.value(1).toString();
        row.account = record.value(2).toString();
        row.active = record.value(3).toLongLong() != 0;
        row.timeRealization = Realization::fromStored(record.value(4));
        for (int level = 0; level < 6; ++level)
            row.rates[level] = Money::fromStored(record.value(5 + level));
        row.rounding = BillingRounding::fromStored(record.value(11), record.value(12));
        rows.push_back(std::move(row));
    }
    return rows;
}

QString ContactList::nameOf(qint32 contactId)
{
    return m_link
        .scalar(QStringLiteral("SELECT ContactName FROM tblContacts WHERE ContactID = ?"),
                {contactId})
        .toString();
}

QString ContactList::problem(const ContactRow &row)
{
    if (row.name.trimmed().isEmpty())
        return QCoreApplication::translate("ContactList", "A name is required.");
    return {};
}

qint32 ContactList::save(const ContactRow &row)
{
    if (const QString why = problem(row); !why.isEmpty())
        throw QvError(ErrorNumber::InvalidCharacter, why, QLatin1String(Source));

    QVariantList params{row.name, row.account, row.active, row.timeRealization.toStored()};
    params << rateParams(row.rates);
    params << row.rounding.incrementMinutes << static_cast<int>(row.rounding.direction);

    db::Transaction transaction(m_link);
    qint32 id = 0;
    if (row.id) {
        params << *row.id;
        db::Command update(m_link, QStringLiteral("UPDATE tblContacts SET ContactName = ?, "
                                                  "ContactAccount = ?, Active = ?, "
                                                  "TimeRealization = ?, Rate1 = ?, Rate2 = ?, "
                                                  "Rate3 = ?, Rate4 = ?, Rate5 = ?, Rate6 = ?, "
                                                  "BillingIncrement = ?, BillingRounding = ? "
                                                  "WHERE ContactID = ?"));
        if (update.execute(params) == 0)
            throw QvError(
                ErrorNumber::NoCurrentRecord,
                QCoreApplication::translate("ContactList", "The contact no longer exists."),
                QLatin1String(Source));
        id = *row.id;
    } else {
        id = static_cast<qint32>(m_link.insertReturningKey(
            QStringLiteral("INSERT INTO tblContacts (ContactName, ContactAccount, Active, "
                           "TimeRealization, %1, BillingIncrement, BillingRounding) VALUES (?, "
                           "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                .arg(rateColumnList()),
            params, QStringLiteral("ContactID")));
    }
    transaction.commit();
    return id;
}

bool ContactList::isReferenced(qint32 contactId)
{
    static const char *const tables[] = {"tblTimeCards", "tblExpenses",       "tblFixedCharges",
                                         "tblPayments",  "tblMainActivities", "tblSubActivities"};
    for (const char *table : tables) {
        db::Command uses(
            m_link,
            QStringLiteral("SELECT 1 FROM %1 WHERE ContactID = ?").arg(QLatin1String(table)));
        if (uses.first({contactId}))
            return true;
    }
    return false;
}

RemoveOutcome ContactList::remove(qint32 contactId)
{
    db::Transaction transaction(m_link);
    RemoveOutcome outcome = RemoveOutcome::Deleted;
    if (isReferenced(contactId)) {
        m_link.execute(QStringLiteral("UPDATE tblContacts SET Active = ? WHERE ContactID = ?"),
                       {false, contactId});
        outcome = RemoveOutcome::Deactivated;
    } else {
        m_link.execute(QStringLiteral("DELETE FROM tblContacts WHERE ContactID = ?"), {contactId});
    }
    transaction.commit();
    return outcome;
}

} // namespace quorvale
