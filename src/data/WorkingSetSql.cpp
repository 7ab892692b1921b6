#include "WorkingSetSql.h"

namespace quorvale {

WorkingSetSql WorkingSetSql::build(bool contactInUse, bool includeHidden, qint32 userId)
{
    const QString user = QString::number(userId);
    WorkingSetSql sql;
    if (contactInUse) {
        const QString hidden =
            includeHidden ? QString() : QStringLiteral("tblTimeCards.Inactive=False AND ");
        sql.timeCardBase = QStringLiteral("SELECT tblTimeCards.* FROM tblContacts RIGHT JOIN "
                                          "tblTimeCards ON tblContacts.ContactID = "
                                          "tblTimeCards.ContactID WHERE (tblContacts.Active<>0 OR "
                                          "tblTimeCards.ContactID Is Null) AND "
                                          "tblTimeCards.InvoiceID Is Null AND ") +
                           hidden + QStringLiteral("tblTimeCards.UserID=") + user;
        sql.timeCardWhere = QStringLiteral(" WHERE (tblContacts.Active<>0 OR "
                                           "tblTimeCards.ContactID Is Null) AND "
                                           "tblTimeCards.InvoiceID Is Null AND ") +
                            hidden + QStringLiteral("tblTimeCards.UserID=") + user;
        sql.expenses = QStringLiteral("SELECT tblExpenses.* FROM tblContacts RIGHT JOIN "
                                      "tblExpenses ON tblContacts.ContactID = "
                                      "tblExpenses.ContactID WHERE (tblContacts.Active<>0 OR "
                                      "tblExpenses.ContactID Is Null) AND tblExpenses.InvoiceID "
                                      "Is Null AND tblExpenses.UserID=") +
                       user;
        sql.fixedCharges =
            QStringLiteral("SELECT tblFixedCharges.* FROM tblContacts RIGHT JOIN tblFixedCharges "
                           "ON tblContacts.ContactID = tblFixedCharges.ContactID WHERE "
                           "(tblContacts.Active<>0 OR tblFixedCharges.ContactID Is Null) AND "
                           "tblFixedCharges.InvoiceID Is Null AND tblFixedCharges.UserID=") +
            user;
    } else {
        const QString hidden =
            includeHidden ? QString() : QStringLiteral("tblTimeCards.Inactive=0 AND ");
        sql.timeCardBase = QStringLiteral("SELECT tblTimeCards.* FROM tblTimeCards WHERE "
                                          "tblTimeCards.InvoiceID Is Null AND ") +
                           hidden + QStringLiteral("tblTimeCards.UserID=") + user;
        sql.timeCardWhere = QStringLiteral(" WHERE tblTimeCards.InvoiceID Is Null AND ") + hidden +
                            QStringLiteral("tblTimeCards.UserID=") + user;
        sql.expenses = QStringLiteral("SELECT tblExpenses.* FROM tblExpenses WHERE "
                                      "tblExpenses.InvoiceID Is Null AND tblExpenses.UserID=") +
                       user;
        sql.fixedCharges = QStringLiteral("SELECT tblFixedCharges.* FROM tblFixedCharges WHERE "
                                          "tblFixedCharges.InvoiceID Is Null AND "
                                          "tblFixedCharges.UserID=") +
                           user;
    }
    return sql;
}

} // namespace quorvale
