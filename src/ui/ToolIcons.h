#pragma once

#include <QIcon>

class QStyle;

namespace quorvale {

// The icon of a main window tool: the desktop theme's, else the one Qt's style
// ships, so a tool bar never shows a blank beside its caption. Null for tools
// shown by their caption alone.
QIcon toolIcon(int toolId, const QStyle &style);
// The timer tool's icon follows whether a run is on.
QIcon timerToolIcon(bool running, const QStyle &style);

} // namespace quorvale
