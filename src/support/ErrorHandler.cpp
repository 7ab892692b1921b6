#include "support/ErrorHandler.h"

#include "platform/core/QvError.h"
#include "support/ErrorReport.h"
#include "support/Version.h"

#include <QLoggingCategory>
#include <cstdlib>

namespace quorvale {

namespace {

Q_LOGGING_CATEGORY(lcErrorHandler, "quorvale.errorhandler")

constexpr QStringView Location = u"modErrors: ErrorHandler";

// A hook that fails must not take the handler down with it: it counts as "no".
bool ask(const std::function<bool()> &hook)
{
    try {
        return hook && hook();
    } catch (...) {
        return false;
    }
}

} // namespace

ErrorHandler::ErrorHandler(ErrorReport &report)
    : terminate([](int code) { std::exit(code); }), m_report(report)
{
}

ErrorHandler::Outcome ErrorHandler::handle(const QvError &error, const QString &trace)
{
    return handle(error.number(), error.description(), error.source(), trace, error.detail());
}

ErrorHandler::Outcome ErrorHandler::handle(const std::exception &error, const QString &trace)
{
    if (const auto *qv = dynamic_cast<const QvError *>(&error))
        return handle(*qv, trace);
    return handle(ErrorNumber::Generic, QString::fromUtf8(error.what()), QStringLiteral("Quorvale"),
                  trace);
}

ErrorHandler::Outcome ErrorHandler::handle(long number, const QString &description,
                                           const QString &source, const QString &trace,
                                           const QString &detail)
{
    // The trace may be the live one, which entering changes: keep the caller's.
    const QString callerTrace = trace;
    Trace::enter(Location);
    qCWarning(lcErrorHandler).noquote() << "error" << number << description << "from" << source;

    if (number == ErrorNumber::ConnectionLost && connectionLost) {
        bool taken = false;
        try {
            taken = connectionLost(description);
        } catch (...) {
            taken = false;
        }
        if (taken)
            return Outcome::Resume;
    }

    if (!ask(storeReachable) || number == ErrorNumber::OutlookMissing) {
        if (ask(reconnectStore)) {
            m_count += 1;
            return Outcome::Resume;
        }
    }

    auto end = [this](int code) {
        if (terminate)
            terminate(code);
        else
            std::exit(code);
        return Outcome::Ended;
    };

    m_count += 5;
    if (m_count > 9)
        return end(ExitTooManyErrors);

    ErrorReportData data;
    data.version = Version::text();
    data.number = number;
    data.description = description;
    data.source = source;
    data.detail = detail;
    if (source == QLatin1String(JetErrorSource)) {
        std::optional<DatabaseError> db;
        try {
            if (lastDatabaseError)
                db = lastDatabaseError();
        } catch (...) {
            db.reset();
        }
        if (db) {
            // The state is a number for the engine's own errors; a five-letter
            // SQLSTATE is kept in the text instead, so nothing is lost.
            bool numeric = false;
            const long state = db->sqlState.toLong(&numeric);
            data.number = numeric ? state : number;
            data.description = numeric || db->sqlState.isEmpty()
                                   ? db->description
                                   : QStringLiteral("[%1] %2").arg(db->sqlState, db->description);
        }
    }
    // The report carries the trace after its first "X:". The first entry is this
    // handler's own, so that part is the caller's road to the error, whole,
    // beginning with the procedure that failed (already bounded by Trace).
    data.trace = callerTrace;

    m_report.report(data);
    try {
        if (restorePointer)
            restorePointer();
    } catch (...) {
        qCWarning(lcErrorHandler) << "the mouse pointer could not be restored";
    }
    return end(ExitAfterReport);
}

} // namespace quorvale
