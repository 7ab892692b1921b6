#include "ConnectionString.h"

#include <QStringList>

namespace quorvale::db {

ConnectionString::ConnectionString(const QString &text)
{
    QStringView rest(text);
    rest = rest.trimmed();
    if (rest.startsWith(u"ODBC;", Qt::CaseInsensitive)) {
        m_odbcPrefix = true;
        rest = rest.mid(5);
    }
    for (QStringView part : rest.split(u';')) {
        part = part.trimmed();
        if (part.isEmpty())
            continue;
        const qsizetype eq = part.indexOf(u'=');
        if (eq < 0)
            m_pairs.emplace_back(part.toString(), QString());
        else
            m_pairs.emplace_back(part.left(eq).trimmed().toString(),
                                 part.mid(eq + 1).trimmed().toString());
    }
}

QString ConnectionString::value(const QString &key) const
{
    for (const auto &[k, v] : m_pairs) {
        if (k.compare(key, Qt::CaseInsensitive) == 0)
            return v;
    }
    return {};
}

bool ConnectionString::contains(const QString &key) const
{
    for (const auto &pair : m_pairs) {
        if (pair.first.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString ConnectionString::toString(const QStringList &without) const
{
    QString out;
    for (const auto &[k, v] : m_pairs) {
        if (without.contains(k, Qt::CaseInsensitive))
            continue;
        out += k + u'=' + v + u';';
    }
    return out;
}

} // namespace quorvale::db
