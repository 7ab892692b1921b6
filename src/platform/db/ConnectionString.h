#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace quorvale::db {

// An ADO-style connect string: "Key=Value;Key=Value;". Keys compare without regard
// to case, values keep theirs and may be empty, the trailing ';' is optional. A
// leading "ODBC;" (the form linked tables carry) is recognised and kept out of the
// pairs. A value in braces ("PWD={a;b}", "}}" for a '}') may hold ';' and comes
// back without its braces; toString() puts them back where a value needs them.
class ConnectionString {
public:
    ConnectionString() = default;
    explicit ConnectionString(const QString &text);

    // The "Provider" value, empty when there is none.
    QString provider() const { return value(QStringLiteral("Provider")); }
    // The value of the first pair named key, empty when absent.
    QString value(const QString &key) const;
    bool contains(const QString &key) const;
    // True when the text began with "ODBC;".
    bool hadOdbcPrefix() const { return m_odbcPrefix; }

    const std::vector<std::pair<QString, QString>> &pairs() const { return m_pairs; }
    // The pairs joined again as "Key=Value;" in their original order and spelling,
    // leaving out the keys named in without (compared without regard to case).
    QString toString(const QStringList &without = {}) const;

private:
    std::vector<std::pair<QString, QString>> m_pairs;
    bool m_odbcPrefix = false;
};

} // namespace quorvale::db
