#pragma once

#include "platform/pim/FolderCache.h"

#include <QString>
#include <functional>

class QWidget;

namespace quorvale {

// Runs a read of item files on a reading thread while the window goes on
// drawing and ticking. A read that ends quickly shows nothing; a longer one
// shows a progress window over `parent` (label `label`) with a Cancel button
// (Esc cancels too) and the busy pointer, and blocks the window's own input
// until it ends. Returns false when the person cancelled; returns only once
// the read has stopped. An exception thrown by the read comes out here.
//
// `read` must touch no widget and no object of the window's thread: it works
// on plain values and what is safe to share (pim::FolderCache).
bool runInBackground(QWidget *parent, const QString &label,
                     const std::function<void(const pim::ScanControl &)> &read);

// How long the window waits for a read without running its events, and how
// long before the progress window shows (milliseconds).
inline constexpr int ReadBlockingWaitMs = 100;
inline constexpr int ReadProgressDelayMs = 300;

} // namespace quorvale
