#pragma once

#include "timecards/TimeCardList.h"

#include <QDialog>
#include <optional>

class QLineEdit;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

namespace quorvale {

// "View TimeCard List": the working set's TimeCards in a sortable table, narrowed
// as the person types; Enter or a double click chooses one.
class TimeCardListDialog : public QDialog {
    Q_OBJECT

public:
    TimeCardListDialog(const std::vector<TimeCardListRow> &rows, qint64 current,
                       QWidget *parent = nullptr);

    // The chosen TimeCard; nullopt when the dialog was cancelled.
    std::optional<qint64> chosen() const { return m_chosen; }

    QLineEdit *findField() const { return m_find; }
    QTableView *table() const { return m_table; }

    void accept() override;

private:
    QStandardItemModel *m_model;
    QSortFilterProxyModel *m_proxy;
    QTableView *m_table;
    QLineEdit *m_find;
    std::optional<qint64> m_chosen;
};

} // namespace quorvale
