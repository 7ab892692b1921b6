#pragma once

#include "data/WorkingSet.h"
#include "settings/AdjustInterface.h"

#include <QSize>
#include <QString>
#include <QVariant>
#include <vector>

namespace quorvale {

// What closing the main window leaves to be saved.
struct WindowClosing {
    QVariant currentTimeCardId;
    QString orderBy;
    QSize sizeTwips;
    bool showHidden = false;
    bool viewTimeDetail = true;
    bool viewActiveTaskList = true;
};

// Start-up as the main window sees it: what it read for the window to apply,
// and what the window tells it on its first activation and on closing. The
// window never reaches the rest of start-up.
class WindowLifecycle {
public:
    virtual ~WindowLifecycle() = default;

    // The tools start-up renames and shows or hides, for the window to apply.
    virtual const std::vector<ToolChange> &toolChanges() const = 0;
    virtual QSize windowSizeTwips() const = 0;
    virtual bool viewTimeDetail() const = 0;
    virtual bool viewActiveTaskList() const = 0;
    virtual WorkingSetContext workingSetContext() const = 0;
    virtual const QString &programDir() const = 0;

    // The first time the window becomes active: releases the direct data
    // connection and tells whether reporting is available (saying so when the
    // report database is missing).
    virtual bool Form_Activate() = 0;
    virtual bool reportingAvailable() const = 0;
    // Saves what the window leaves behind to the "Settings" key.
    virtual void Form_QueryUnload(const WindowClosing &closing) = 0;
    // Prepares the look-ups again, after the lists they read were maintained.
    virtual bool refreshPreparedCommands() = 0;
};

} // namespace quorvale
