#pragma once

#include <QWidget>

class QAction;
class QLabel;
class QPlainTextEdit;

namespace quorvale {

class Clock;
class InterruptTimer;

// The small interrupt-timer window: the band InterruptTimerMenu, the running
// display and a note field (with the Ctrl+1..6 time stamps). Every tool calls
// into InterruptTimer; the main window calls refresh() on each MainTimer tick.
class frmInterruptTimer : public QWidget {
    Q_OBJECT

public:
    frmInterruptTimer(InterruptTimer &logic, const Clock &clock, QWidget *parent = nullptr);

    // The display and the tools as the interrupt timer stands now.
    void refresh();

    QAction *mnuStartTempTimer() const { return m_start; }
    QAction *pasteToNewTool() const { return m_pasteNew; }
    QAction *pasteToCurrentTool() const { return m_pasteCurrent; }
    QAction *mnuResume() const { return m_resume; }
    QAction *cancelTool() const { return m_cancel; }
    QLabel *display() const { return m_display; }
    QPlainTextEdit *note() const { return m_note; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *addTool(const char *name, const QString &caption, const QString &tip);
    // After a paste, cancel or resume the note has been used up.
    void finish();

    InterruptTimer &m_logic;
    const Clock &m_clock;
    QAction *m_start = nullptr;
    QAction *m_pasteNew = nullptr;
    QAction *m_pasteCurrent = nullptr;
    QAction *m_resume = nullptr;
    QAction *m_cancel = nullptr;
    QLabel *m_display = nullptr;
    QPlainTextEdit *m_note = nullptr;
};

} // namespace quorvale
