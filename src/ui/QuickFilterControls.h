#pragma once

#include "filters/QuickFilter.h"
#include "timecards/PickLists.h"

#include <QObject>
#include <vector>

class QComboBox;
class QLineEdit;
class QToolBar;

namespace quorvale {

// The quick filter's control on a window's tool bar, by the quick filter type:
// the contact box (`txtContactQuickFilter`) with its pick tool (`abQFContact`)
// and clear tool, or the filter combo (`cboFilter`) of activity entries, the
// empty entry first. Holds what is chosen; the window filters by it.
class QuickFilterControls : public QObject {
    Q_OBJECT
public:
    // term names what is filtered by (the contact term or an activity's);
    // entries are the combo's (unused for contacts).
    QuickFilterControls(QToolBar *bar, QuickFilterType type, const QString &term,
                        const std::vector<PickEntry> &entries);

    QComboBox *combo() const { return m_combo; }
    QLineEdit *contactBox() const { return m_contactBox; }
    // The chosen contact's or activity's ID; 0: none.
    qint32 chosenId() const;
    QString chosenName() const;
    // Shows a quick filter in force (id 0: none) without telling changed().
    void show(qint32 id, const QString &name);

Q_SIGNALS:
    // The contact pick tool was used: the window asks for a contact.
    void pickContact();
    // The choice changed (an entry chosen, or cleared): the window filters.
    void changed();

private:
    QComboBox *m_combo = nullptr;
    QLineEdit *m_contactBox = nullptr;
    qint32 m_contactId = 0;
};

} // namespace quorvale
