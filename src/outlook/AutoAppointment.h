#pragma once

#include "outlook/ItemVariables.h"
#include "outlook/Templates.h"
#include "outlook/TimeCardSnapshot.h"
#include "outlook/UserPropertyWriter.h"
#include "platform/db/Command.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

namespace quorvale {

class OutlookSession;

namespace db {
class Connection;
}

struct AppointmentOptions {
    UserPropertyTerms terms;
    bool contactInUse = true;
    QString defaultShowTimeAs = QStringLiteral("Busy"); // "Default Show Time As"
};

// One timed run of the timer: from its start to the pause.
struct TimedSegment {
    QDateTime start;
    QDateTime end;
};

// A row of tblAppointments: a time-detail appointment as journal processing
// keeps it beside its journal entry.
struct JournalAppointment {
    QString journalEntryId;
    qint32 timeCardId = 0;
    QString entryId;
    QDateTime start;
    QDateTime end;
    int duration = 0; // minutes
};

// Records timed runs as time-detail appointments in the TimeCard Appointments
// folder. Made after the database is open and the folders are resolved; make
// it anew when OpenDB reopens cnnLink (its prepared commands die with it).
class clsAutoAppointment {
public:
    struct Result {
        bool written = false; // false: the store could not be reached (10321 reported)
        QString entryId;
        int minutes = 0;          // the segment, rounded to the nearest minute
        bool taskUpdated = false; // the active task's ActualWork grew
    };

    clsAutoAppointment(OutlookSession &session, db::Connection &cnnLink,
                       AppointmentOptions options);

    void setOptions(const AppointmentOptions &options) { m_options = options; }

    // Writes the segment's appointment with its user properties, then, in one
    // transaction, its tblTimedAppointments link and its tblAppointments row;
    // when that fails the appointment is removed again and the error
    // (QvError) passes on. Then adds the minutes to the active task's
    // ActualWork; a task that cannot be read is passed over.
    // A TimeCard not yet stored (TimeCardID 0) gets the appointment only.
    Result ProcessAppointment(const TimeCardSnapshot &card, const TimedSegment &segment,
                              const ItemTexts &texts);
    // The same with the texts from the appointment templates (kind 9).
    Result ProcessAppointment(const TimeCardSnapshot &card, const TimedSegment &segment,
                              const ItemVariables &variables, TemplateContext &context);

    // The time-detail appointments kept for a journal entry, oldest first.
    std::vector<JournalAppointment> AppointmentsOfJournalEntry(const QString &journalEntryId);

    // "Free" 0, "Tentative" 1, "Busy" 2, "Out of office" 3; anything else Busy.
    static int BusyStatusFor(const QString &showTimeAs);

private:
    Result process(const TimeCardSnapshot &card, const TimedSegment &segment,
                   ItemTextMaker makeTexts);
    Result AutoAppointmentEntry();
    void insertLinks(const QString &entryId, int minutes);
    bool addActualWork(int minutes);

    OutlookSession &m_session;
    db::Connection &m_cnnLink;
    AppointmentOptions m_options;
    TimeCardSnapshot m_card;
    TimedSegment m_segment;
    ItemTextMaker m_makeTexts;
    std::optional<ItemTexts> m_texts; // made once: the pending time-detail text is used up

    db::Command m_taskEntryId;
    db::Command m_journalAppointments;
    db::Command m_insertTimedLink;
    db::Command m_insertAppointment;
};

} // namespace quorvale
