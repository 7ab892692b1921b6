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
    // Attributes are "key=value" separated by ';'. A value in braces may hold ';'
    // and '=' and ends at a '}' that is not doubled ("}}" stands for one '}').
    qsizetype i = 0;
    const qsizetype n = rest.size();
    while (i < n) {
        const qsizetype end = rest.indexOf(u';', i);
        const qsizetype eq = rest.indexOf(u'=', i);
        if (eq < 0 || (end >= 0 && end < eq)) {
            const qsizetype stop = end < 0 ? n : end;
            const QStringView bare = rest.mid(i, stop - i).trimmed();
            if (!bare.isEmpty())
                m_pairs.emplace_back(bare.toString(), QString());
            i = stop + 1;
            continue;
        }
        const QString key = rest.mid(i, eq - i).trimmed().toString();
        qsizetype v = eq + 1;
        while (v < n && rest.at(v).isSpace())
            ++v;
        QString value;
        if (v < n && rest.at(v) == u'{') {
            qsizetype j = v + 1;
            while (j < n) {
                if (rest.at(j) == u'}') {
                    if (j + 1 < n && rest.at(j + 1) == u'}') {
                        value += u'}';
                        j += 2;
                        continue;
                    }
                    break;
                }
                value += rest.at(j++);
            }
            const qsizetype next = rest.indexOf(u';', j);
            i = next < 0 ? n : next + 1;
        } else {
            const qsizetype stop = end < 0 ? n : end;
            value = rest.mid(v, stop - v).trimmed().toString();
            i = stop + 1;
        }
        m_pairs.emplace_back(key, value);
    }
}

namespace {

QString quoted(const QString &value)
{
    if (!value.contains(u';') && !value.contains(u'{') && !value.contains(u'}') &&
        value == value.trimmed())
        return value;
    QString escaped = value;
    escaped.replace(QStringLiteral("}"), QStringLiteral("}}"));
    return u'{' + escaped + u'}';
}

} // namespace

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
        out += k + u'=' + quoted(v) + u';';
    }
    return out;
}

} // namespace quorvale::db
