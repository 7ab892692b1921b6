#pragma once

#include <QString>
#include <exception>
#include <string>

namespace quorvale {

// The one exception type inside the program. Like a run-time error it carries a
// number, a description and the source that raised it, so the common error
// handler can treat database, file and item-store failures alike.
class QvError : public std::exception {
public:
    QvError(long number, QString description, QString source)
        : m_number(number), m_description(std::move(description)), m_source(std::move(source)),
          m_what(m_description.toStdString())
    {
    }
    // The detail is for the error report only (the statement that failed, the
    // driver's own words): the description is what the person reads.
    QvError(long number, QString description, QString source, QString detail)
        : QvError(number, std::move(description), std::move(source))
    {
        m_detail = std::move(detail);
    }

    long number() const noexcept { return m_number; }
    const QString &description() const noexcept { return m_description; }
    const QString &source() const noexcept { return m_source; }
    const QString &detail() const noexcept { return m_detail; }
    const char *what() const noexcept override { return m_what.c_str(); }

private:
    long m_number;
    QString m_description;
    QString m_source;
    QString m_detail;
    std::string m_what;
};

// Error numbers the program raises itself. Database errors keep the numbers of
// the engine's error family so that handlers that test them keep working.
namespace ErrorNumber {
inline constexpr long Generic = -2147467259;    // unspecified failure
inline constexpr long RowChanged = -2147217864; // row changed by another user
inline constexpr long NoCurrentRecord = 3021;   // BOF or EOF is true
inline constexpr long ItemNotFound = 3265;      // no field or item of that name
inline constexpr long FileNotFound = 3024;      // a database file could not be found
inline constexpr long InvalidCharacter = 5;     // invalid procedure call or argument
inline constexpr long PathFileAccess = 75;      // a file could not be read or written
inline constexpr long OutlookMissing = 462;     // remote server machine unavailable
inline constexpr long OutlookInstance = 10321;  // unable to create Outlook instance
inline constexpr long ConnectionLost = 3151;    // the database server cannot be reached
inline constexpr long DiskFull = 3183;          // no room left on the database's disk
inline constexpr long ObjectClosed = 3704;      // the connection or record set is not open
} // namespace ErrorNumber

// The database server went away (or never answered): nothing the statement
// meant to do happened, and it can be done again once the server is back.
inline bool isConnectionLost(const QvError &error)
{
    return error.number() == ErrorNumber::ConnectionLost;
}

inline constexpr const char *JetErrorSource = "Microsoft JET Database Engine";
inline constexpr const char *OdbcErrorSource = "Microsoft OLE DB Provider for ODBC Drivers";

} // namespace quorvale
