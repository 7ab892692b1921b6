#pragma once

#include "data/WorkingSet.h"

#include <QMainWindow>
#include <functional>

class QAction;
class QActionGroup;
class QLabel;

namespace quorvale {

// The main window: one TimeCard at a time out of the working set, the navigator
// and the sort menu. It shows and dispatches; the working set does the work.
class frmTimeCard : public QMainWindow {
    Q_OBJECT

public:
    // Reopens the working set (after a sort); false when it could not be opened.
    using Reopen = std::function<bool()>;

    frmTimeCard(WorkingSet &workingSet, const Terms &terms, Reopen reopen,
                QWidget *parent = nullptr);

    // Fills the fields from the current row and the navigator's position text.
    void showCurrent();
    QString positionText() const;

    // The sort tools: ProcessSort keeps the same TimeCard current.
    void ProcessSort(int toolId);

private:
    void buildMenus();
    void buildFields();
    void navigate(const std::function<void(db::Recordset &)> &move);

    WorkingSet &m_set;
    Terms m_terms;
    Reopen m_reopen;
    QActionGroup *m_sortGroup = nullptr;
    QLabel *m_position = nullptr;
    std::vector<std::pair<QString, QLabel *>> m_fields;
};

} // namespace quorvale
