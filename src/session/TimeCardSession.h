#pragma once

#include "timecards/SegmentNotes.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

namespace quorvale {

class ActiveRunStore;
class Clock;
class Prompts;
class StartUp;
class TimeCardBinder;
class TimeCardEditor;
class TimeCardMirror;
class TimerBinding;

// One person's TimeCard road without a window: the working set's editor, the
// journal mirror it keeps in step, the binder the fields write through, the
// timer and its run store. The main window, the benchmark and the tests build
// this one composition and only bind to it.
class TimeCardSession : public QObject {
    Q_OBJECT
public:
    // The parts of the road a benchmark times separately.
    enum class Part { JournalEntry, JournalLookup, NewJournalEntry, TimeDetail };
    // Runs each part; the program passes none and the parts simply run.
    using PartProbe = std::function<void(Part, const std::function<void()> &)>;

    TimeCardSession(StartUp &startUp, Prompts &prompts, const Clock &clock, PartProbe probe = {});
    ~TimeCardSession() override;
    TimeCardSession(const TimeCardSession &) = delete;
    TimeCardSession &operator=(const TimeCardSession &) = delete;

    TimeCardEditor &editor() { return *m_editor; }
    TimeCardMirror &mirror() { return *m_mirror; }
    TimeCardBinder &binder() { return *m_binder; }
    TimerBinding &timer() { return *m_timer; }
    ActiveRunStore &runStore() { return *m_runStore; }
    SegmentNotes &notes() { return m_notes; }
    const Clock &clock() const { return m_clock; }

    // The first current row is settled and the timer follows it.
    void start();

    enum class NewCard { Created, ServerAway, Refused };
    // F11: a new TimeCard with its defaults and its journal entry. ServerAway:
    // the person has been told; Refused: the current TimeCard could not be left.
    // The timer starts on it when the settings say so, unless noAutostart.
    NewCard CreateNewTimeCard(bool noAutostart = false);

Q_SIGNALS:
    // A row has just become current and is settled: show it.
    void rowShown();
    // A timed run was recorded as a time-detail appointment.
    void segmentRecorded();

private:
    template <typename F> auto timed(Part part, F &&work);

    StartUp &m_startUp;
    Prompts &m_prompts;
    const Clock &m_clock;
    PartProbe m_probe;
    SegmentNotes m_notes;
    std::unique_ptr<TimeCardMirror> m_mirror;
    std::unique_ptr<TimeCardEditor> m_editor;
    std::unique_ptr<TimeCardBinder> m_binder;
    std::unique_ptr<ActiveRunStore> m_runStore;
    std::unique_ptr<TimerBinding> m_timer;
};

} // namespace quorvale
