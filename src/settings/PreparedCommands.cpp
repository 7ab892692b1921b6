#include "settings/PreparedCommands.h"

#include "data/SortOrders.h"
#include "settings/AdminSettings.h"
#include "settings/Guarded.h"
#include "support/Trace.h"

namespace quorvale {

namespace {

std::unique_ptr<db::Command> prepare(db::Connection &cnnLink, const QString &sql)
{
    return std::make_unique<db::Command>(cnnLink, sql);
}

bool someActivityHasContact(db::Connection &cnnLink, const QString &table)
{
    const QVariant n = cnnLink.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table +
                                      QStringLiteral(" WHERE ContactID Is Not Null"));
    return n.toLongLong() > 0;
}

QString activityListSql(const QString &table, bool byContact, bool sortByNumber)
{
    QString sql = QStringLiteral("Select ActivityID,ActivityName,ActivityNumber From ") + table;
    sql += byContact ? QStringLiteral(" WHERE (ContactID = ? OR ContactID Is Null) AND Active <> 0")
                     : QStringLiteral(" WHERE Active <> 0");
    sql += sortByNumber ? QStringLiteral(" ORDER BY ActivityNumber")
                        : QStringLiteral(" ORDER BY ActivityName");
    return sql;
}

} // namespace

db::Command *PreparedCommands::ratesFor(const QString &rateSource, const Terms &terms) const
{
    const auto rates = [](const QString &term) { return term + QStringLiteral(" Rates"); };
    if (rateSource == QLatin1String("Staff Rates"))
        return staffRates.get();
    if (rateSource == QLatin1String("Staff Level Rates"))
        return staffLevelRates.get();
    if (rateSource == rates(terms.contact))
        return contactRates.get();
    if (rateSource == rates(terms.activity1))
        return activity1Rates.get();
    if (rateSource == rates(terms.activity2))
        return activity2Rates.get();
    return nullptr;
}

bool ProcessAdminOptions(db::Connection &cnnLink, const AdminOptions &options,
                         PreparedCommands &commands, ErrorHandler &errors)
{
    TraceScope trace(u"modSettings: ProcessAdminOptions");
    return guarded(errors, [&] {
        const QString main = QStringLiteral("tblMainActivities");
        const QString sub = QStringLiteral("tblSubActivities");
        PreparedCommands c;
        c.contactRates =
            prepare(cnnLink, QStringLiteral("SELECT Rate1,Rate2,Rate3,Rate4,Rate5,"
                                            "Rate6 FROM tblContacts WHERE ContactID = ?"));
        c.staffRates = prepare(cnnLink, QStringLiteral("SELECT Rate1,Rate2,Rate3,Rate4,Rate5,Rate6 "
                                                       "FROM tblUsers WHERE UserID = ?"));
        c.staffLevelRates =
            prepare(cnnLink, QStringLiteral("SELECT Rate1,Rate2,Rate3,Rate4,Rate5,"
                                            "Rate6 FROM tblStaff WHERE StaffID = ?"));
        c.activity1Rates =
            prepare(cnnLink, QStringLiteral("SELECT Rate1, Rate2, Rate3, Rate4, Rate5, Rate6 FROM "
                                            "tblMainActivities WHERE ActivityID = ?"));
        c.activity2Rates =
            prepare(cnnLink, QStringLiteral("SELECT Rate1,Rate2,Rate3,Rate4,Rate5,Rate6 FROM "
                                            "tblSubActivities WHERE ActivityID = ?"));
        c.contact = prepare(cnnLink, QStringLiteral("Select ContactEntryID, ContactName, "
                                                    "ContactAccount From tblContacts WHERE "
                                                    "ContactID = ?"));
        c.contactRounding =
            prepare(cnnLink, QStringLiteral("SELECT BillingIncrement, BillingRounding FROM "
                                            "tblContacts WHERE ContactID = ?"));

        c.activity1ListTakesContact = someActivityHasContact(cnnLink, main);
        c.activity1List = prepare(cnnLink, activityListSql(main, c.activity1ListTakesContact,
                                                           options.activity1SortByNumber));
        c.activity2ListTakesContact = someActivityHasContact(cnnLink, sub);
        c.activity2List = prepare(cnnLink, activityListSql(sub, c.activity2ListTakesContact,
                                                           options.activity2SortByNumber));

        c.activity1Name = prepare(
            cnnLink,
            QStringLiteral("Select ActivityName From tblMainActivities WHERE ActivityID = ? "));
        c.activity2Name = prepare(
            cnnLink,
            QStringLiteral("Select ActivityName From tblSubActivities WHERE ActivityID = ? "));
        c.journalAppointments = prepare(
            cnnLink, QStringLiteral("Select * From tblAppointments WHERE JournalEntryID = ?"));
        c.timeCardKeys = prepare(cnnLink, QStringLiteral("Select ContactID, Activity1ID, "
                                                         "Activity2ID From tblTimeCards WHERE "
                                                         "TimeCardID = ?"));
        c.tasksOfTimeCard = prepare(
            cnnLink, QStringLiteral("Select TaskID, EntryID From tblTasks WHERE TimeCardID = ?"));
        c.taskEntryId =
            prepare(cnnLink, QStringLiteral("Select EntryID From tblTasks WHERE TaskID = ?"));

        commands = std::move(c);
        return true;
    });
}

} // namespace quorvale
