#pragma once

#include "data/SortOrders.h"
#include "outlook/FolderKind.h"
#include "platform/core/Money.h"
#include "support/Version.h"

#include <QString>
#include <QVariant>
#include <vector>

namespace quorvale {

class ErrorHandler;

namespace db {
class Connection;
class Recordset;
} // namespace db

// The administrator's options for every user: the single row of tblAdminOptions,
// read by column position (data/AdminOptionOrdinals.h fixes the positions).
struct AdminOptions {
    bool billingInUse = false;
    Terms terms;
    QString jobOrderTerm; // empty: job orders are not used
    QString jobOrderMask;
    bool jobOrderRequired = false;

    bool contactInUse = false;
    bool contactRequired = false;
    bool hideInactiveContacts = false;
    bool showActivityNumbers = false;
    bool activity1InUse = false;
    bool activity1Required = false;
    bool activity1ByContact = false;
    bool activity1SortByNumber = false; // else by ActivityName
    bool activity2InUse = false;
    bool activity2Required = false;
    bool activity2ByContact = false;
    bool activity2SortByNumber = false;

    FolderId contactsFolder;
    FolderId secondContactsFolder;
    bool journalFolderFixed = false;
    FolderId journalFolder;
    bool appointmentsFolderFixed = false; // the TimeCard Appointments folder
    FolderId appointmentsFolder;
    bool notesFolderFixed = false;
    FolderId notesFolder;

    bool rateSourceFixed = false;
    QString fixedRateSource;
    QString fixedRateLevel;
    Money fixedHourlyRate; // with rateSourceFixed: overrides the lookup when not 0
    bool rateSourceContact = false;
    bool rateSourceStaff = false;
    bool rateSourceStaffLevel = false;
    bool rateSourceActivity1 = false; // when the three above are off; else Activity 2

    bool realizationInUse = false;
    bool expensesInUse = false;
    bool fixedChargesInUse = false;
    bool billingInJournal = false;
    bool permissionsFromStaffLevel = false;

    qint32 programVersion = 0; // the highest program revision that ran on the database
    qint32 upgradeRequest = 0; // 1 = upgrade the database at the next start

    // The whole row as read, for options no code has named yet.
    std::vector<QVariant> row;

    // The options of a row read by position; positions past its end read as
    // null (off, empty, 0).
    static AdminOptions fromRow(std::vector<QVariant> row);

    // The rate source the options choose for a user whose own default is not a
    // staff source: contact term + " Rates", "Staff Rates", "Staff Level Rates",
    // or the Activity 1 or Activity 2 term + " Rates", in that order of precedence.
    QString rateSourceChoice() const;
};

// Reads the first row of rsAdminOptions into options. When runningRevision is
// greater than the row's ProgramVersion, stores it there (re-checked against the
// row as it is now, so a newer program that started meanwhile is never
// overwritten by an older number). Errors go to the error handler; false then.
bool RetrieveAdminSettings(db::Recordset &rsAdminOptions, db::Connection &cnnLink,
                           AdminOptions &options, ErrorHandler &errors,
                           int runningRevision = Version::Revision);

} // namespace quorvale
