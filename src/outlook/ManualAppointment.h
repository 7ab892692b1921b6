#pragma once

#include "outlook/AutoAppointment.h"

#include <QDateTime>
#include <QString>

namespace quorvale {

// Time spent away from the desk for the TimeCard, as the out-of-office dialog
// hands it over.
struct OutOfOfficeTime {
    QDateTime start;
    QDateTime end;
    bool display = false; // show the appointment afterwards
    QString timeDetail;   // what the time was spent on, for the appointment
};

// Why the time cannot be recorded, for the person; empty when it can.
QString outOfOfficeProblem(const OutOfOfficeTime &time);

// Records the time as the TimeCard's time-detail appointment, the same kind a
// timer run leaves (its link rows included), with the typed time detail, else
// a pending one, else "Out of office" as its time-detail text; then shows it
// when asked. Throws
// QvError for a time outOfOfficeProblem refuses.
clsAutoAppointment::Result ManualAppointment(clsAutoAppointment &appointments,
                                             OutlookSession &session, const TimeCardSnapshot &card,
                                             ItemVariables variables, TemplateContext &context,
                                             const OutOfOfficeTime &time);

} // namespace quorvale
