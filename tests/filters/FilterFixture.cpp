#include "FilterFixture.h"

#include "platform/db/Connection.h"

#include <QStringList>

namespace quorvale::test {

qint32 FilterFixture::card(const QVariantMap &columns, qint32 userId) const
{
    QStringList names{QStringLiteral("UserID"), QStringLiteral("Inactive")};
    QVariantList values{userId, 0};
    for (auto it = columns.cbegin(); it != columns.cend(); ++it) {
        if (it.key() == QLatin1String("Inactive")) {
            values[1] = it.value();
            continue;
        }
        names << it.key();
        values << it.value();
    }
    const QStringList marks(names.size(), QStringLiteral("?"));
    files.exec(files.dataFile(),
               QStringLiteral("INSERT INTO tblTimeCards (%1) VALUES (%2)")
                   .arg(names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
               values);
    return files
        .scalar(files.dataFile(), QStringLiteral("SELECT MAX(TimeCardID) FROM tblTimeCards"))
        .toInt();
}

bool FilterFixture::open(bool includeHidden)
{
    if (!store.cnnLink().isOpen() && !store.OpenDB())
        return false;
    return set.SetRecordSet(includeHidden, store.cnnLink(), context);
}

std::vector<qint32> FilterFixture::keys()
{
    db::Recordset &rs = set.timeCards();
    std::vector<qint32> result;
    if (rs.recordCount() == 0)
        return result;
    const QVariant was = rs.bof() || rs.eof() ? QVariant() : rs.bookmark();
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        result.push_back(rs.value(QStringLiteral("TimeCardID")).toInt());
    if (was.isValid())
        rs.setBookmark(was);
    return result;
}

qint32 FilterFixture::current()
{
    db::Recordset &rs = set.timeCards();
    return rs.bof() || rs.eof() ? 0 : rs.value(QStringLiteral("TimeCardID")).toInt();
}

} // namespace quorvale::test
