#include "ui/frmOutOfOffice.h"

#include "platform/core/Duration.h"
#include "support/Prompts.h"
#include "ui/TimeStampFilter.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace quorvale {

frmOutOfOffice::frmOutOfOffice(const OutOfOfficeTime &initial, const QString &timeFormat,
                               Prompts &prompts, QWidget *parent)
    : QDialog(parent), m_prompts(prompts), m_startDate(new QDateEdit(initial.start.date(), this)),
      m_startTime(new QTimeEdit(initial.start.time(), this)),
      m_endDate(new QDateEdit(initial.end.date(), this)),
      m_endTime(new QTimeEdit(initial.end.time(), this)), m_duration(new QLineEdit(this)),
      m_timeDetail(new QPlainTextEdit(initial.timeDetail, this)),
      m_display(new QCheckBox(tr(" &Display the Outlook appointment item for this time."), this))
{
    setWindowTitle(tr(" Out-Of-Office Time"));
    m_startDate->setObjectName(QStringLiteral("dtmStartDate"));
    m_startTime->setObjectName(QStringLiteral("dtmStartTime"));
    m_endDate->setObjectName(QStringLiteral("dtmEndDate"));
    m_endTime->setObjectName(QStringLiteral("dtmEndTime"));
    m_display->setObjectName(QStringLiteral("chkDisplay"));
    m_timeDetail->setObjectName(QStringLiteral("txtTimeDetail"));
    m_timeDetail->setTabChangesFocus(true);
    m_timeDetail->setPlaceholderText(tr("What the time was spent on, for its time detail"));
    new TimeStampFilter(m_clock, m_timeDetail);
    m_display->setChecked(initial.display);
    for (QDateEdit *date : {m_startDate, m_endDate})
        date->setCalendarPopup(true);
    if (!timeFormat.isEmpty()) {
        m_startTime->setDisplayFormat(timeFormat);
        m_endTime->setDisplayFormat(timeFormat);
    }

    auto *grid = new QGridLayout;
    const auto row = [&](int r, const QString &text, QDateEdit *date, QTimeEdit *time) {
        auto *label = new QLabel(text, this);
        label->setBuddy(date);
        grid->addWidget(label, r, 0);
        grid->addWidget(date, r, 1);
        grid->addWidget(time, r, 2);
    };
    row(0, tr("&Start:"), m_startDate, m_startTime);
    row(1, tr("&End:"), m_endDate, m_endTime);
    m_duration->setObjectName(QStringLiteral("txtDuration"));
    m_duration->setToolTip(tr("How long: a time such as 1:30:00, 1:30, 1.5 (hours) or 1h30m. "
                              "The end follows from the start."));
    auto *durationLabel = new QLabel(tr("D&uration:"), this);
    durationLabel->setBuddy(m_duration);
    grid->addWidget(durationLabel, 2, 0);
    grid->addWidget(m_duration, 2, 1, 1, 2);
    auto *detailLabel = new QLabel(tr("&Time detail:"), this);
    detailLabel->setBuddy(m_timeDetail);
    grid->addWidget(detailLabel, 3, 0, Qt::AlignTop);
    grid->addWidget(m_timeDetail, 3, 1, 1, 2);
    m_startTime->setAccessibleName(tr("Start time"));
    m_endTime->setAccessibleName(tr("End time"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_display);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &frmOutOfOffice::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmOutOfOffice::reject);
    setTabOrder(m_startDate, m_startTime);
    setTabOrder(m_startTime, m_endDate);
    setTabOrder(m_endDate, m_endTime);
    setTabOrder(m_endTime, m_duration);
    setTabOrder(m_duration, m_timeDetail);
    setTabOrder(m_timeDetail, m_display);

    showDuration();
    for (QDateTimeEdit *edit :
         std::initializer_list<QDateTimeEdit *>{m_startDate, m_startTime, m_endDate, m_endTime})
        connect(edit, &QDateTimeEdit::dateTimeChanged, this, &frmOutOfOffice::showDuration);
    // Checked once the focus has moved, never inside the focus change: a refusal
    // opens a message box, and the field also loses the focus while the dialog is
    // being destroyed, when the queued check is dropped with it.
    connect(m_duration, &QLineEdit::editingFinished, this, [this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!durationLeft())
                    m_duration->setFocus();
            },
            Qt::QueuedConnection);
    });
}

void frmOutOfOffice::showDuration()
{
    const OutOfOfficeTime t = time();
    const qint64 seconds = t.start.secsTo(t.end);
    m_duration->setText(seconds >= 0 ? Duration::fromSeconds(seconds).toShown() : QString());
    m_duration->setModified(false);
}

bool frmOutOfOffice::durationLeft()
{
    // The message box a refusal opens takes the focus and so finishes the
    // editing a second time.
    if (!m_duration->isModified() || m_leavingDuration)
        return true;
    const std::optional<Duration> typed = Duration::fromTyped(m_duration->text());
    if (!typed) {
        m_leavingDuration = true;
        m_prompts.messageBox(windowTitle(), Duration::refusal(m_duration->text()),
                             PromptButtons::Ok, PromptIcon::Warning);
        m_leavingDuration = false;
        return false;
    }
    const QDateTime end = time().start.addSecs(typed->seconds());
    m_endDate->setDate(end.date());
    m_endTime->setTime(end.time());
    showDuration();
    return true;
}

OutOfOfficeTime frmOutOfOffice::time() const
{
    return OutOfOfficeTime{QDateTime(m_startDate->date(), m_startTime->time()),
                           QDateTime(m_endDate->date(), m_endTime->time()), m_display->isChecked(),
                           m_timeDetail->toPlainText()};
}

void frmOutOfOffice::accept()
{
    // OK straight from the duration: what it holds counts, or nothing does.
    if (!durationLeft()) {
        m_duration->setFocus();
        return;
    }
    const QString problem = outOfOfficeProblem(time());
    if (!problem.isEmpty()) {
        m_prompts.messageBox(windowTitle(), problem, PromptButtons::Ok, PromptIcon::Warning);
        m_endTime->setFocus();
        return;
    }
    QDialog::accept();
}

} // namespace quorvale
