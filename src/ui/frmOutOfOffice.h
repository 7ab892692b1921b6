#pragma once

#include "outlook/ManualAppointment.h"
#include "timecards/Clock.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QDateEdit;
class QTimeEdit;

namespace quorvale {

class Prompts;

// " Out-Of-Office Time": the start and end of time spent away, what it was spent
// on, and whether to show the appointment made for it. The duration shows how
// long that is; a duration typed into it moves the end. OK refuses an end that
// is not after the start.
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
    QLineEdit *duration() const { return m_duration; }
    QCheckBox *displayItem() const { return m_display; }
    QPlainTextEdit *timeDetail() const { return m_timeDetail; }

private:
    void showDuration();
    // Leaving the duration: the end follows; false when the text was refused.
    bool durationLeft();

    Prompts &m_prompts;
    QDateEdit *m_startDate;
    QTimeEdit *m_startTime;
    QDateEdit *m_endDate;
    QTimeEdit *m_endTime;
    QLineEdit *m_duration;
    QPlainTextEdit *m_timeDetail;
    QCheckBox *m_display;
    SystemClock m_clock; // for the time stamps typed into the time detail
    bool m_leavingDuration = false;
};

} // namespace quorvale
