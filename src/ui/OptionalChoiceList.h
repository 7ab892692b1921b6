#pragma once

#include <QComboBox>
#include <QStringList>

namespace quorvale {

// A list whose first, empty entry means "leave this alone": the filter and mass
// edit take part only the fields a person chose something in.
inline QComboBox *optionalChoiceList(QWidget *parent, const char *name, const QStringList &items)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItem(QString());
    box->addItems(items);
    return box;
}

} // namespace quorvale
