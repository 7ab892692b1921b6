#pragma once

#include <QHash>
#include <QString>

namespace quorvale {

// The notes on the runs to come (the time segment field), one per TimeCard: a
// note typed or pasted for a TimeCard stays with it, even while another is
// shown, until a run of that TimeCard ends and takes it for its time detail.
class SegmentNotes {
public:
    QString note(qint64 timeCardId) const { return m_notes.value(timeCardId); }
    void set(qint64 timeCardId, const QString &note)
    {
        if (note.isEmpty())
            m_notes.remove(timeCardId);
        else
            m_notes.insert(timeCardId, note);
    }
    // An interruption pasted to a TimeCard that has a note already adds to it.
    void add(qint64 timeCardId, const QString &note)
    {
        const QString kept = m_notes.value(timeCardId);
        set(timeCardId,
            kept.isEmpty() || note.isEmpty() ? kept + note : kept + QStringLiteral("; ") + note);
    }
    QString take(qint64 timeCardId) { return m_notes.take(timeCardId); }

private:
    QHash<qint64, QString> m_notes;
};

} // namespace quorvale
