#include "filters/ParticipantPicker.h"

#include "platform/db/Command.h"
#include "platform/db/Connection.h"

namespace quorvale {

QStringList activeContactNames(db::Connection &cnnLink)
{
    // The flag is bound rather than written as a word so that it reaches every
    // engine as the stored True (-1).
    db::Command list(cnnLink,
                     QStringLiteral("SELECT ContactName FROM tblContacts WHERE Active = ?"));
    QStringList names;
    for (const QSqlRecord &row : list.all({true}))
        names << row.value(0).toString();
    return names;
}

QString participantsText(const QStringList &chosenInOrder)
{
    QString text;
    for (const QString &name : chosenInOrder)
        text += name + QStringLiteral("; ");
    return text;
}

} // namespace quorvale
