#pragma once

#include "support/Trace.h"

#include <QString>
#include <functional>
#include <optional>

namespace quorvale {

class ErrorReport;
class QvError;

// The last error of the database link (cnnLink): the SQL state and its text.
struct DatabaseError {
    QString sqlState;
    QString description;
};

// The common error handler every procedure hands its run-time errors to.
//
// When the item store is unreachable or the error is 462, it reconnects; if that
// works the error is cleared and the caller goes on (Resume). Every error that is
// not resumed adds 5 to the error count, and past 9 the program ends at once,
// without a report: the handler is then being fed faster than the person can
// read. Otherwise the error is reported (database-engine errors by the link's
// SQL state and text), the mouse pointer restored and the program ended.
//
// A lost database server (ErrorNumber::ConnectionLost) does not end the program
// once connectionLost has taken it: the work is kept and the connection made
// again when the server is back, so the error is neither counted nor reported
// (the raw text goes to the log) and the caller gives up only its command.
//
// Ending calls the terminate hook; the default calls std::exit, because the
// start-up chain runs before any event loop that QCoreApplication::exit could
// stop. When an injected hook returns, handle() returns Ended and the caller
// must give up what it was doing.
class ErrorHandler {
public:
    enum class Outcome { Resume, Ended };

    static constexpr int ExitAfterReport = 1;
    static constexpr int ExitTooManyErrors = 2;

    explicit ErrorHandler(ErrorReport &report);

    // Hooks; each has a working default.
    std::function<bool()> storeReachable = [] { return true; };
    std::function<bool()> reconnectStore = [] { return false; };
    std::function<std::optional<DatabaseError>()> lastDatabaseError = [] {
        return std::optional<DatabaseError>();
    };
    std::function<void()> restorePointer = [] {};
    std::function<void(int)> terminate;
    // Takes a lost server connection (its raw description): true when the person
    // has been told and the connection is being made again.
    std::function<bool(const QString &description)> connectionLost;

    Outcome handle(long number, const QString &description, const QString &source,
                   const QString &trace = Trace::text(), const QString &detail = QString());
    Outcome handle(const QvError &error, const QString &trace = Trace::text());
    // Any exception that reached a command's boundary: the program's own with
    // its number and source, anything else as an unspecified failure.
    Outcome handle(const std::exception &error, const QString &trace = Trace::text());

    int errorCount() const { return m_count; }

private:
    ErrorReport &m_report;
    int m_count = 0;
};

} // namespace quorvale
