#include "QtPrompts.h"

#include "timecards/IdleWatch.h"
#include "timecards/TimeAdjust.h"
#include "timecards/TimeCardDelete.h"
#include "timecards/UpdatePrompt.h"
#include "ui/FolderPickerDialog.h"
#include "ui/PointerScope.h"
#include "ui/frmDeleteTimeCard.h"
#include "ui/frmTimeAdd.h"
#include "ui/frmUpdatePrompt.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

namespace quorvale {

PromptResult QtPrompts::messageBox(const QString &title, const QString &text, PromptButtons buttons,
                                   PromptIcon icon)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(title);
    // The program's messages break lines with CR LF; a label wants plain LF.
    box.setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    switch (icon) {
    case PromptIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case PromptIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case PromptIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case PromptIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case PromptIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    switch (buttons) {
    case PromptButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case PromptButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case PromptButtons::RetryCancel:
        box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        break;
    case PromptButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case PromptButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    // A busy pointer left by long work must not sit over a question.
    int pressed = 0;
    {
        const PointerScope arrow(Qt::ArrowCursor);
        pressed = box.exec();
    }
    switch (pressed) {
    case QMessageBox::Ok:
        return PromptResult::Ok;
    case QMessageBox::Retry:
        return PromptResult::Retry;
    case QMessageBox::Yes:
        return PromptResult::Yes;
    case QMessageBox::No:
        return PromptResult::No;
    default:
        return buttons == PromptButtons::YesNo ? PromptResult::No : PromptResult::Cancel;
    }
}

namespace {

// What became of a spell away from the desk while a TimeCard was timed.
bool askAboutIdleTime(QVariantMap &values, QWidget *parent)
{
    const QDateTime from = values.value(QStringLiteral("from")).toDateTime();
    const QDateTime to = values.value(QStringLiteral("to")).toDateTime();
    const qint64 seconds = values.value(QStringLiteral("seconds")).toLongLong();
    const QLocale locale;
    QMessageBox box(QMessageBox::Question, QStringLiteral("Idle Time"),
                    QStringLiteral("Nothing was typed or clicked from %1 to %2 (%3 min) while the "
                                   "timer ran.\n\nWhat was that time?")
                        .arg(locale.toString(from.time(), QLocale::ShortFormat),
                             locale.toString(to.time(), QLocale::ShortFormat))
                        .arg((seconds + 30) / 60),
                    QMessageBox::NoButton, parent);
    QPushButton *keep =
        box.addButton(QStringLiteral("&Work on this TimeCard: keep it"), QMessageBox::AcceptRole);
    QPushButton *discard =
        box.addButton(QStringLiteral("&Not work: leave it out"), QMessageBox::DestructiveRole);
    QPushButton *move =
        box.addButton(QStringLiteral("&Other work: a new TimeCard"), QMessageBox::ActionRole);
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    box.exec();
    const QAbstractButton *chosen = box.clickedButton();
    values.insert(QStringLiteral("choice"), chosen == discard ? QStringLiteral("discard")
                                            : chosen == move  ? QStringLiteral("move")
                                                              : QStringLiteral("keep"));
    return true;
}

} // namespace

bool QtPrompts::showDialog(const QString &name, QVariantMap &values)
{
    if (name == QLatin1String(AdjustTimeDialogName))
        return frmTimeAdd::AdjustTimeDialog(values, *this, m_parent);
    if (name == QLatin1String(DialogName::FolderPicker))
        return FolderPickerDialog::pick(values, m_parent);
    if (name == QLatin1String(DeleteTimeCardDialogName))
        return frmDeleteTimeCard::DeleteTimeCardDialog(values, m_parent);
    if (name == QLatin1String(UpdatePromptDialogName))
        return frmUpdatePrompt::UpdatePromptDialog(values, m_parent);
    if (name == QLatin1String(IdleTimeDialogName))
        return askAboutIdleTime(values, m_parent);
    // A dialog not built yet is declined, which every caller treats as the
    // person cancelling.
    return false;
}

} // namespace quorvale
