#pragma once

#include "timecards/TimeCardEditor.h"
#include "timecards/Timer.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <vector>

namespace quorvale {

class SegmentNotes;
class TimeCardBinder;

// The main window's timer over the current TimeCard: F3 starts and pauses,
// Ctrl+F3 cancels, a one-second tick writes the time spent and value into the
// row. A saved run's segment goes to recordSegment (the time-detail
// appointment); changed is told whenever the shown fields or tools must follow.
class TimerBinding : public QObject, public ActiveCardTimer {
    Q_OBJECT

public:
    // store keeps the running run for recovery after a crash (may be null).
    TimerBinding(const Clock &clock, ActiveRunStore *store, TimeCardEditor &editor,
                 TimeCardBinder &binder, QObject *parent = nullptr);

    void setRecordSegment(std::function<void(const TimeSegment &)> record)
    {
        m_recordSegment = std::move(record);
    }
    // The notes on the runs; a run that ends uses up its TimeCard's note.
    void setNotes(SegmentNotes *notes) { m_notes = notes; }
    // Takes a lost database server (true: told, and being reconnected). A run's
    // time detail that cannot be recorded then waits, and is recorded when its
    // TimeCard's row is next stored; the run's record stays until it is.
    void setServerLost(std::function<bool(const QvError &)> serverLost)
    {
        m_serverLost = std::move(serverLost);
    }
    // Records the time details that wait for the TimeCard (the current row).
    void recordWaiting(qint64 timeCardId);
    bool hasWaiting() const { return !m_waiting.empty(); }

    Timer &timer() { return m_timer; }

    // mnuStartTimer: starts on the current TimeCard, or pauses (keeping the
    // time) when its timer runs.
    void startOrPause();
    // mnuCancelTimer: stops and discards the run.
    void cancel();
    // Leaves [from, to] out of the run on the shown, timed TimeCard: the run
    // ends at from (its time detail with it) and a new one begins at to. False
    // when the shown TimeCard is not the one timed.
    bool leaveOut(const QDateTime &from, const QDateTime &to);
    // The shown row changed.
    void rowShown();

    // A run ended (here or by the interrupt timer): its fields go into the row.
    void runEnded(const TimerEnded &ended);
    // The current row's rate inputs, as a run's value needs them.
    TimerValueInputs inputs() const;

    std::optional<qint64> activeTimeCardId() const override { return m_timer.activeTimeCardId(); }
    void tick() override;
    void pause(bool save) override;
    void rowStored(qint64 timeCardId) override;

    // MainTimer's one-second tick: the caption, the shown row's time spent and
    // value, and now and then (Timer::HeartbeatMs) the run's record for recovery.
    void secondTick();

Q_SIGNALS:
    // The shown time fields or the timer tools must follow.
    void changed();
    // Every tick, whichever TimeCard is shown (the caption follows the run).
    void ticked();

private:
    void write(const QString &column, const QVariant &value);
    void followTicking();
    // False when the server is away and the segment was kept to wait.
    bool recordSegment(qint64 timeCardId, const TimeSegment &segment);

    struct Waiting {
        qint64 timeCardId;
        TimeSegment segment;
    };
    std::vector<Waiting> m_waiting;
    std::function<bool(const QvError &)> m_serverLost;

    Timer m_timer;
    TimeCardEditor &m_editor;
    TimeCardBinder &m_binder;
    QTimer m_mainTimer;
    std::function<void(const TimeSegment &)> m_recordSegment;
    SegmentNotes *m_notes = nullptr;
};

} // namespace quorvale
