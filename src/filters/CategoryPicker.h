#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace quorvale {

// Which names of the master list start out chosen: each one found anywhere
// inside the current category text (so "Client" is chosen by "Clients"). The
// test is a plain substring test, case-sensitive, as the text is stored. An
// empty master name is never chosen. One flag per master name, in its order.
QList<bool> preselectedCategories(const QStringList &master, const QString &current);

// The category text for the chosen names, in list order: "Blue, Red". No
// choice gives an empty text.
QString categoryText(const QStringList &chosenInOrder);

} // namespace quorvale
