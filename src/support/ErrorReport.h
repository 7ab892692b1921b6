#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

namespace quorvale {

class Prompts;

// What one error report holds.
struct ErrorReportData {
    QString version;
    long number = 0;
    QString description;
    QString source;
    // What only the report shows: the statement that failed, the engine's words.
    QString detail;
    QString trace;
};

// The error-report component: writes a report file into the user's data
// directory and tells the person where it is. Never throws: a report that
// cannot be written is still told, with the reason.
class ErrorReport {
public:
    // The directory is, in this order: the one given, $QUORVALE_HOME, the
    // application's local data directory.
    explicit ErrorReport(Prompts &prompts, QString directory = QString());

    QString directory() const { return m_directory; }
    // Where the reports' time stamps come from; tests set a fixed clock.
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }

    // Writes "error-report-YYYYMMDD-HHMMSS.txt" (mode 0600, atomically; a
    // "-2", "-3"... is added when the name is taken), shows the message and
    // returns the file's path, or an empty text when it could not be written.
    QString report(const ErrorReportData &data) noexcept;

    // The report file's text.
    static QString format(const ErrorReportData &data, const QDateTime &when);

private:
    QString write(const ErrorReportData &data, const QDateTime &when, QString &failure) const;

    Prompts &m_prompts;
    QString m_directory;
    std::function<QDateTime()> m_now;
};

} // namespace quorvale
