#pragma once

#include <QList>
#include <QString>

namespace quorvale {

// One stop of the tour: what the person reads and the part of the main window
// it points at, by the object name of a widget or of a tool (QAction).
struct TourPage {
    QString title;
    QString text;
    QString target;
};

// The main window's tour, in the order a new person meets the window; its
// pages also serve as the start-up tips.
const QList<TourPage> &mainWindowTourPages();

} // namespace quorvale
