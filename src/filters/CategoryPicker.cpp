#include "filters/CategoryPicker.h"

namespace quorvale {

QList<bool> preselectedCategories(const QStringList &master, const QString &current)
{
    QList<bool> chosen;
    chosen.reserve(master.size());
    for (const QString &name : master)
        chosen << (!name.isEmpty() && current.contains(name, Qt::CaseSensitive));
    return chosen;
}

QString categoryText(const QStringList &chosenInOrder)
{
    return chosenInOrder.join(QStringLiteral(", "));
}

} // namespace quorvale
