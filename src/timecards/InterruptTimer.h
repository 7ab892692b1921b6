#pragma once

#include "timecards/InterruptTimerHost.h"

#include <QString>
#include <optional>

namespace quorvale {

class Clock;
class Timer;

// The tools of the band InterruptTimerMenu.
struct InterruptTools {
    QString startCaption = QStringLiteral("&Start"); // mnuStartTempTimer; "&Pause" while counting
    bool startEnabled = true;
    bool pasteToNewEnabled = false;
    bool pasteToCurrentEnabled = false;
    bool resumeEnabled = false; // mnuResume
    bool cancelEnabled = false;
};

// The interrupt timer: counts an interruption (a telephone call) on the main
// timer while the TimeCard that was timed rests, then gives its time to a new
// or the current TimeCard, drops it, or drops it and resumes the TimeCard.
// The interruption's time is taken from the clock when it is used, not read
// back from the last display, so the seconds since the last tick count too.
class InterruptTimer {
public:
    InterruptTimer(Timer &timer, const Clock &clock, InterruptTimerHost &host);

    // mnuStartTempTimer: starts the count (ending the shown TimeCard's run,
    // which mnuResume can then resume), or pauses and continues it. False when
    // nothing was started because the person kept another TimeCard's run.
    bool mnuStartTempTimer();
    // "Paste to New TimeCard" / "Paste to Current TimeCard", with the note typed
    // in the interrupt window. False when there is nothing to paste or, for the
    // current TimeCard, no TimeCard is shown.
    bool pasteToNewTimeCard(const QString &note);
    bool pasteToCurrentTimeCard(const QString &note);
    // "Cancel": the interruption's time is dropped.
    void cancel();
    // mnuResume: drops the interruption and starts the timer again on the
    // TimeCard the start ended.
    void mnuResume();

    bool counting() const;
    QString display() const;
    const InterruptTools &tools() const { return m_tools; }

    // Tools back to their rest state, mnuStartTimer enabled again.
    void CleanUpInterruptTimer();

private:
    std::optional<qint64> endCount();

    Timer &m_timer;
    const Clock &m_clock;
    InterruptTimerHost &m_host;
    InterruptTools m_tools;
    std::optional<qint64> m_resumeTimeCardId;
};

} // namespace quorvale
