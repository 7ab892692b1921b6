#pragma once

#include "timecards/ReportPeriod.h"
#include "timecards/ReportRunner.h"

#include <QDialog>
#include <vector>

class QComboBox;
class QDateEdit;
class QLabel;

namespace quorvale {

// One client the report dialog offers.
struct ReportContact {
    int id = 0;
    QString name;
};

// Asks what a report is to cover: its kind, one client or all, a period and
// the billing status. OK hands back the request; the caller runs it.
class ReportDialog : public QDialog {
    Q_OBJECT

public:
    // kind: preselected (one of reportKindChoices); contactTerm: the
    // administrator's word for a client; today: what "this week" is seen from.
    ReportDialog(const QString &kind, std::vector<ReportContact> contacts,
                 const QString &contactTerm, QDate today, QWidget *parent = nullptr);

    // What the person chose, with the period turned into dates.
    ReportRequest request() const;
    // Refuses a custom period whose first day is after its last, saying why.
    void accept() override;

    QComboBox *kindBox() const { return m_kind; }
    QComboBox *contactBox() const { return m_contact; }
    QComboBox *periodBox() const { return m_period; }
    QDateEdit *fromEdit() const { return m_from; }
    QDateEdit *toEdit() const { return m_to; }
    QComboBox *statusBox() const { return m_status; }
    QLabel *problemLabel() const { return m_problem; }

private:
    void updateEnabled();
    ReportDates dates() const;

    QDate m_today;
    QComboBox *m_kind;
    QComboBox *m_contact;
    QComboBox *m_period;
    QDateEdit *m_from;
    QDateEdit *m_to;
    QComboBox *m_status;
    QLabel *m_problem;
};

} // namespace quorvale
