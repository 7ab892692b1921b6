#pragma once

#include "outlook/ManualAppointment.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QTimeEdit;

namespace quorvale {

class Prompts;

// " Out-Of-Office Time": the start and end of time spent away, and whether to
// show the appointment made for it. OK refuses an end that is not after the start.
class frmOutOfOffice : public QDialog {
public:
    frmOutOfOffice(const OutOfOfficeTime &initial, const QString &timeFormat, Prompts &prompts,
                   QWidget *parent = nullptr);

    OutOfOfficeTime time() const;
    void accept() override;

    QDateEdit *startDate() const { return m_startDate; }
    QTimeEdit *startTime() const { return m_startTime; }
    QDateEdit *endDate() const { return m_endDate; }
    QTimeEdit *endTime() const { return m_endTime; }
    QCheckBox *displayItem() const { return m_display; }

private:
    Prompts &m_prompts;
    QDateEdit *m_startDate;
    QTimeEdit *m_startTime;
    QDateEdit *m_endDate;
    QTimeEdit *m_endTime;
    QCheckBox *m_display;
};

} // namespace quorvale
