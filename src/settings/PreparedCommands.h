#pragma once

#include "platform/db/Command.h"

#include <QString>
#include <memory>

namespace quorvale {

class ErrorHandler;
struct AdminOptions;
struct Terms;

// The key lookups other parts of the program run on cnnLink, prepared once at
// start-up. Each takes its key as the one "?" parameter, except an activity
// list that does not depend on the contact (see activity1ListTakesContact).
struct PreparedCommands {
    // Rates Rate1..Rate6 of one rate source's row.
    std::unique_ptr<db::Command> contactRates;    // ContactID
    std::unique_ptr<db::Command> staffRates;      // UserID
    std::unique_ptr<db::Command> staffLevelRates; // StaffID
    std::unique_ptr<db::Command> activity1Rates;  // ActivityID of tblMainActivities
    std::unique_ptr<db::Command> activity2Rates;  // ActivityID of tblSubActivities

    std::unique_ptr<db::Command> contact; // ContactEntryID, ContactName, ContactAccount
    // BillingIncrement, BillingRounding: how the client's time is billed.
    std::unique_ptr<db::Command> contactRounding; // ContactID

    // ActivityID, ActivityName, ActivityNumber of the active activities. When
    // some activity of the table belongs to a contact, the list takes the
    // ContactID and offers that contact's activities and those of nobody.
    std::unique_ptr<db::Command> activity1List;
    std::unique_ptr<db::Command> activity2List;
    bool activity1ListTakesContact = false;
    bool activity2ListTakesContact = false;

    std::unique_ptr<db::Command> activity1Name; // ActivityID
    std::unique_ptr<db::Command> activity2Name; // ActivityID

    std::unique_ptr<db::Command> journalAppointments; // JournalEntryID
    std::unique_ptr<db::Command> timeCardKeys;        // TimeCardID
    std::unique_ptr<db::Command> tasksOfTimeCard;     // TimeCardID
    std::unique_ptr<db::Command> taskEntryId;         // TaskID

    // The rates lookup of a rate source text ("Staff Rates", "Staff Level Rates",
    // or a term + " Rates"); nullptr for "Flat Fee" and unknown texts.
    db::Command *ratesFor(const QString &rateSource, const Terms &terms) const;
};

// Prepares every command on cnnLink for the options, replacing what commands
// held before. Errors go to the error handler; false then, commands as before.
bool ProcessAdminOptions(db::Connection &cnnLink, const AdminOptions &options,
                         PreparedCommands &commands, ErrorHandler &errors);

} // namespace quorvale
