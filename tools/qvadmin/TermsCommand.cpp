#include "qvadmin/TermsCommand.h"

#include "data/SortOrders.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"
#include "qvadmin/Arguments.h"
#include "qvadmin/ProgramDatabase.h"
#include "timecards/Rates.h"

#include <QTextStream>

namespace quorvale::admin {

namespace {

// Captions, menu items and rate sources are built from a term, so it must be a
// short word or two on one line.
QString checkedTerm(const QString &option, const QString &typed)
{
    const QString term = typed.trimmed();
    if (term.isEmpty())
        usageError(QStringLiteral("--%1 needs a word, such as \"Client\".").arg(option));
    if (term.size() > 50)
        usageError(QStringLiteral("--%1 is longer than 50 characters.").arg(option));
    for (const QChar c : term)
        if (c.category() == QChar::Other_Control)
            usageError(QStringLiteral("--%1 may not hold a line break or a tab.").arg(option));
    return term;
}

} // namespace

int runTerms(const QStringList &args, const GlobalOptions &globals, QTextStream &out)
{
    const QString usage =
        QStringLiteral("terms [--contact TERM] [--activity1 TERM] [--activity2 TERM]");
    const Arguments a(
        args, {QStringLiteral("contact"), QStringLiteral("activity1"), QStringLiteral("activity2")},
        {});
    a.requireWords(0, 0, usage);
    ProgramDatabase program(globals);
    db::Connection &cnn = program.connection();
    const Terms before = ReadTerms(cnn);
    Terms after = before;
    const auto take = [&a](const char *option, QString &term) {
        if (const auto typed = a.value(QLatin1String(option)))
            term = checkedTerm(QLatin1String(option), *typed);
    };
    take("contact", after.contact);
    take("activity1", after.activity1);
    take("activity2", after.activity2);
    if (after.contact == after.activity1 || after.contact == after.activity2 ||
        after.activity1 == after.activity2)
        usageError(QStringLiteral("The three terms must differ: a rate source names one of them. "
                                  "Nothing was changed."));
    int renamed = 0;
    if (after.contact != before.contact || after.activity1 != before.activity1 ||
        after.activity2 != before.activity2) {
        db::Transaction transaction(cnn);
        cnn.execute(QStringLiteral("UPDATE tblAdminOptions SET ContactTerm = ?, Activity1Term = ?, "
                                   "Activity2Term = ?"),
                    {after.contact, after.activity1, after.activity2});
        renamed = RenameStoredRateSources(cnn, RateSourceRenaming(before, after));
        transaction.commit();
        out << "Terms changed; the rate source of " << renamed
            << (renamed == 1 ? " TimeCard was" : " TimeCards were")
            << " renamed. Each person sees the new terms at their next start.\n";
    }
    out << "Contact: " << after.contact << '\n'
        << "Activity 1: " << after.activity1 << '\n'
        << "Activity 2: " << after.activity2 << '\n';
    return 0;
}

} // namespace quorvale::admin
