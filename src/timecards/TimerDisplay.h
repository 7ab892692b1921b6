#pragma once

#include <QString>
#include <QtGlobal>

namespace quorvale {

// " hhh:mm:ss": a blank, then hours in three digits, minutes and seconds in two.
QString timerDisplayText(qint64 seconds);

// "  Quorvale:  " + the user name: the main window's caption.
QString mainWindowCaption(const QString &userName);

// " hhh:mm:ss  Quorvale": the caption while the window is minimized during a
// run, so the running time shows in the task bar.
QString minimizedCaption(qint64 seconds);

} // namespace quorvale
