#pragma once

#include "platform/core/Money.h"

#include <QDate>
#include <QString>
#include <QVariantList>
#include <vector>

namespace quorvale {

namespace db {
class Connection;
}

// One line of the TimeCard list: enough to recognise a TimeCard by.
struct TimeCardListRow {
    qint64 timeCardId = 0;
    QDate startDate;
    QString contact;
    QString description; // its first line
    QString timeSpent;   // "hhh:mm:ss"
    Money value;
};

// The TimeCards of the working set's statement (with the filter's values), in its order, with their
// contacts' names. One statement for the rows and one for the names, however
// many TimeCards there are.
std::vector<TimeCardListRow> loadTimeCardList(db::Connection &cnn, const QString &workingSetSql,
                                              const QVariantList &params = {});

} // namespace quorvale
