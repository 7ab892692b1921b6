#include "outlook/OutlookVersion.h"

#include <QLocale>

namespace quorvale {

QString versionCodeFor(const QString &versionText)
{
    // Like Val(): the number at the start of the text, so "10." reads as 10.
    QString number;
    bool point = false;
    for (const QChar c : versionText.left(3).trimmed()) {
        if (c == QLatin1Char('.') && !point)
            point = true;
        else if (!c.isDigit())
            break;
        number += c;
    }
    if (number.endsWith(QLatin1Char('.')))
        number.chop(1);
    bool ok = false;
    double v = QLocale::c().toDouble(number, &ok);
    if (!ok)
        v = 0;
    if (v < 8.5)
        return QStringLiteral("7");
    if (v < 9)
        return QStringLiteral("8");
    if (v < 10)
        return QStringLiteral("9");
    if (v < 11)
        return QStringLiteral("10");
    return QStringLiteral("11");
}

QString builtInCategoryMasterList()
{
    return QStringLiteral("Business;Competition;Family;Favorites;Gifts;Goals/") +
           QStringLiteral("Objectives;Holiday;Holiday Cards;Hot Contacts;Ideas;International") +
           QStringLiteral(";Key Customer;Miscellaneous;Personal;");
}

QStringList parseCategoryMasterList(const QString &masterList)
{
    const QString text = masterList.isEmpty() ? builtInCategoryMasterList() : masterList;
    QStringList pieces = text.split(QLatin1Char(';'));
    // The last piece is what follows the last ";": never an entry.
    pieces.removeLast();
    pieces.prepend(QString());
    return pieces;
}

} // namespace quorvale
