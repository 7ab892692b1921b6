#include "ui/frmInterruptTimer.h"

#include "timecards/InterruptTimer.h"
#include "timecards/TimeStamp.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

namespace quorvale {

frmInterruptTimer::frmInterruptTimer(InterruptTimer &logic, const Clock &clock, QWidget *parent)
    : QWidget(parent, Qt::Tool), m_logic(logic), m_clock(clock)
{
    setObjectName(QStringLiteral("frmInterruptTimer"));
    setWindowTitle(QStringLiteral(" Interrupt Timer"));

    auto *band = new QToolBar(QStringLiteral("InterruptTimerMenu"), this);
    band->setObjectName(QStringLiteral("InterruptTimerMenu"));
    band->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_start = addTool("mnuStartTempTimer", QStringLiteral("&Start"), QString());
    m_pasteNew = addTool("mnuPasteToNewTimeCard", QStringLiteral("Paste to New TimeCard"),
                         QStringLiteral("Paste time to new TimeCard."));
    m_pasteCurrent =
        addTool("mnuPasteToCurrentTimeCard", QStringLiteral("Paste to Current TimeCard"),
                QStringLiteral("Paste time to currently selected TimeCard."));
    m_resume = addTool("mnuResume", QStringLiteral("Cancel && Resume"),
                       QStringLiteral("Cancel and resume timer on last TimeCard."));
    m_cancel = addTool("mnuCancelTempTimer", QStringLiteral("Cancel"),
                       QStringLiteral("Cancel temporary timer."));
    band->addActions({m_start, m_pasteNew, m_pasteCurrent, m_resume, m_cancel});

    m_display = new QLabel(this);
    m_display->setObjectName(QStringLiteral("lblTimer"));
    QFont mono = m_display->font();
    mono.setStyleHint(QFont::Monospace);
    mono.setPointSize(mono.pointSize() * 2);
    m_display->setFont(mono);
    m_display->setAccessibleName(QStringLiteral("Interruption time"));
    m_note = new QPlainTextEdit(this);
    m_note->setObjectName(QStringLiteral("txtNote"));
    m_note->setTabChangesFocus(true);
    m_note->installEventFilter(this);
    auto *noteLabel = new QLabel(QStringLiteral("&Note on the interruption:"), this);
    noteLabel->setBuddy(m_note);
    m_note->setAccessibleName(QStringLiteral("Note on the interruption"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(band);
    layout->addWidget(m_display);
    layout->addWidget(noteLabel);
    layout->addWidget(m_note);
    // Wide enough for every tool whichever caption "Start" shows ("Pause"), so
    // none hides behind the band's overflow button.
    band->setMinimumWidth(band->sizeHint().width() +
                          band->fontMetrics().horizontalAdvance(QStringLiteral("Pause")));

    connect(m_start, &QAction::triggered, this, [this] {
        m_logic.mnuStartTempTimer();
        refresh();
    });
    connect(m_pasteNew, &QAction::triggered, this, [this] {
        if (m_logic.pasteToNewTimeCard(m_note->toPlainText()))
            finish();
    });
    connect(m_pasteCurrent, &QAction::triggered, this, [this] {
        if (m_logic.pasteToCurrentTimeCard(m_note->toPlainText()))
            finish();
    });
    connect(m_resume, &QAction::triggered, this, [this] {
        m_logic.mnuResume();
        finish();
    });
    connect(m_cancel, &QAction::triggered, this, [this] {
        m_logic.cancel();
        finish();
    });
    refresh();
}

QAction *frmInterruptTimer::addTool(const char *name, const QString &caption, const QString &tip)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    if (!tip.isEmpty())
        action->setToolTip(tip);
    return action;
}

void frmInterruptTimer::refresh()
{
    m_display->setText(m_logic.display());
    const InterruptTools &tools = m_logic.tools();
    m_start->setText(tools.startCaption);
    m_start->setEnabled(tools.startEnabled);
    m_pasteNew->setEnabled(tools.pasteToNewEnabled);
    m_pasteCurrent->setEnabled(tools.pasteToCurrentEnabled);
    m_resume->setEnabled(tools.resumeEnabled);
    m_cancel->setEnabled(tools.cancelEnabled);
}

void frmInterruptTimer::finish()
{
    m_note->clear();
    refresh();
}

bool frmInterruptTimer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_note && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (const auto stamp = InsertTimeStamp(key->key(), key->modifiers(), m_clock)) {
            m_note->textCursor().insertText(*stamp);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace quorvale
