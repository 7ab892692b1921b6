#pragma once

#include "charges/Reimbursement.h"

#include <QDialog>
#include <QLocale>
#include <vector>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace quorvale {

// Asks how a user was paid back for the expenses still owed: shows them with
// their count and total and takes the date paid and a reference. Records
// nothing itself.
class ReimbursementDialog : public QDialog {
    Q_OBJECT

public:
    ReimbursementDialog(const std::vector<ReimbursableExpense> &owed, QDate today,
                        const QLocale &locale, QWidget *parent = nullptr);

    QDate date() const;
    QString reference() const;

    QLabel *summary() const { return m_summary; }
    QTableWidget *expenseTable() const { return m_table; }
    QLineEdit *referenceField() const { return m_reference; }
    QDateEdit *dateField() const { return m_date; }
    QPushButton *recordButton() const { return m_record; }

private:
    QLabel *m_summary = nullptr;
    QTableWidget *m_table = nullptr;
    QLineEdit *m_reference = nullptr;
    QDateEdit *m_date = nullptr;
    QPushButton *m_record = nullptr;
};

} // namespace quorvale
