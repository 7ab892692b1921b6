#pragma once

#include <QString>
#include <QStringList>

namespace quorvale {

namespace db {
class Connection;
}

// The names of the active contacts, in the order the database returns them.
// Throws QvError when the table cannot be read.
QStringList activeContactNames(db::Connection &cnnLink);

// The participants text: every chosen name followed by "; ", the last one too
// ("Ann; Bob; "). Empty when nothing is chosen.
QString participantsText(const QStringList &chosenInOrder);

// OK is offered only while at least one participant is chosen.
inline bool participantsAcceptable(qsizetype chosenCount)
{
    return chosenCount > 0;
}

} // namespace quorvale
