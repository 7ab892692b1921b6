#include "qvadmin/ReimburseCommand.h"

#include "charges/Reimbursement.h"
#include "platform/core/OutgoingText.h"
#include "qvadmin/Arguments.h"
#include "qvadmin/ProgramDatabase.h"
#include "qvadmin/TextTable.h"

#include <QSqlQuery>
#include <QTextStream>
#include <climits>

namespace quorvale::admin {

namespace {

const QString Usage = QStringLiteral("reimburse --user ID [--to YYYY-MM-DD] [--expense ID]... "
                                     "[--reference TEXT] [--date YYYY-MM-DD]");

// Stored text reaches a terminal: shown, never obeyed.
QString shown(const QString &text)
{
    return outgoingText(text, ControlCharacters::Escape);
}

QString expenseCount(std::size_t n)
{
    return n == 1 ? QStringLiteral("1 expense") : QStringLiteral("%1 expenses").arg(n);
}

} // namespace

int runReimburse(const QStringList &args, const GlobalOptions &globals, QTextStream &out)
{
    const Arguments a(args,
                      {QStringLiteral("user"), QStringLiteral("to"), QStringLiteral("expense"),
                       QStringLiteral("reference"), QStringLiteral("date")},
                      {});
    a.requireWords(0, 0, Usage);
    const auto user = a.number(QStringLiteral("user"), 1, INT_MAX);
    if (!user)
        usageError(QStringLiteral("A reimbursement pays back one user: give its --user ID "
                                  "(\"qvadmin user list\" shows them). Usage: qvadmin ") +
                   Usage);
    std::vector<qint64> chosen;
    for (const QString &text : a.values(QStringLiteral("expense"))) {
        bool ok = false;
        const qint64 id = text.toLongLong(&ok);
        if (!ok || id < 1)
            usageError(
                QStringLiteral("The option --expense takes an expense ID, not '%1'.").arg(text));
        chosen.push_back(id);
    }
    const std::optional<QDate> upTo = a.date(QStringLiteral("to"));
    // Chosen rows outside the period would be paid back or refused by surprise.
    if (upTo && !chosen.empty())
        usageError(QStringLiteral("Give either --expense IDs or --to a date, not both."));
    const QDate paid = a.date(QStringLiteral("date")).value_or(QDate::currentDate());

    ProgramDatabase program(globals);
    db::Connection &db = program.connection();
    const QVariant userName =
        db.scalar(QStringLiteral("SELECT UserName FROM tblUsers WHERE UserID = ?"), {*user});
    if (!userName.isValid())
        usageError(
            QStringLiteral("There is no user %1; \"qvadmin user list\" shows them.").arg(*user));
    const QString whom = QStringLiteral("%1 (user %2)").arg(shown(userName.toString())).arg(*user);

    const std::vector<ReimbursableExpense> owed =
        unreimbursedExpenses(db, static_cast<qint32>(*user), upTo);
    ReimbursementRequest request;
    request.userId = static_cast<qint32>(*user);
    request.date = paid;
    request.reference = a.value(QStringLiteral("reference"), QString());
    if (chosen.empty()) {
        if (owed.empty()) {
            out << "Nothing to reimburse for " << whom
                << (upTo ? QStringLiteral(" up to ") + upTo->toString(Qt::ISODate) : QString())
                << ": no expense is waiting. Nothing was recorded.\n";
            return 0;
        }
        for (const ReimbursableExpense &e : owed)
            request.expenseIds.push_back(e.expenseId);
    } else {
        request.expenseIds = chosen;
    }
    const RecordedReimbursement done = recordReimbursement(db, request);

    out << "Reimbursement " << done.reimbursementId << " for " << whom << ", paid "
        << paid.toString(Qt::ISODate);
    if (!request.reference.trimmed().isEmpty())
        out << ", reference \"" << shown(request.reference.trimmed()) << '"';
    out << "\n\n";
    TextTable table({QStringLiteral("Expense>"), QStringLiteral("Date"),
                     QStringLiteral("Description"), QStringLiteral("Amount>")});
    QSqlQuery row = db.prepare(QStringLiteral(
        "SELECT StartDate, Description, Amount FROM tblExpenses WHERE ExpenseID = ?"));
    for (qint64 id : done.expenseIds) {
        db.run(row, {id});
        if (!row.next())
            continue;
        table.addRow({QString::number(id), row.value(0).toDate().toString(Qt::ISODate),
                      shown(row.value(1).toString()),
                      Money::fromStored(row.value(2)).toDisplayString()});
        row.finish();
    }
    table.print(out);
    out << "Total: " << done.amount.toDisplayString() << " ("
        << expenseCount(done.expenseIds.size()) << ")\n";
    return 0;
}

} // namespace quorvale::admin
