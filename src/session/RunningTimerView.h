#pragma once

#include <QHash>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace quorvale {

class Timer;
class TimeCardEditor;

// What the window shows of a run beyond the timed TimeCard's own fields, so
// the running timer stays in sight: the title carries the running time and
// the client, and the status bar names the timed TimeCard while another one is
// shown. It reads only the timer and the shown row, both in memory; a
// client's name is looked up once, not at every tick.
class RunningTimerView {
public:
    // The name of a contact by its ID; empty when there is none.
    using ContactName = std::function<QString(qint32 contactId)>;

    RunningTimerView(const Timer &timer, TimeCardEditor &editor, ContactName contactName);

    // caption is the window's own caption ("  Quorvale:  " + user). While a
    // TimeCard is timed: " hhh:mm:ss  client  -" before it; while minimized,
    // " hhh:mm:ss  Quorvale" alone, which the task bar has room for. Idle: the
    // caption unchanged.
    QString title(const QString &caption, bool minimized);
    // While the timed TimeCard is not the one shown: "Timing TimeCard N
    // (client): hhh:mm:ss - F9 goes to it"; else empty.
    QString elsewhere();

    struct RecentRun {
        qint64 timeCardId = 0;
        QString label; // "TimeCard N: client - the description's first line"
    };
    // The TimeCards timed lately, the latest first, at most five: what the tray
    // offers to resume or switch to. Follows the timer when title() or
    // elsewhere() is asked, which every tick does.
    const std::vector<RecentRun> &recentRuns() const { return m_recent; }

private:
    // The timed TimeCard's client, remembered from its row while it is shown.
    QString runClient();
    QString contactName(std::optional<qint32> contactId);
    void noteRun(qint64 timeCardId, const QString &client, bool shown);

    const Timer &m_timer;
    TimeCardEditor &m_editor;
    ContactName m_contactName;
    std::optional<qint64> m_runCard;
    std::optional<qint32> m_runContact;
    QHash<qint32, QString> m_names;
    std::vector<RecentRun> m_recent;
};

} // namespace quorvale
