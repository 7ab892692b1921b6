#include "ui/ToolIcons.h"

#include "timecards/CommandTable.h"

#include <QStyle>

namespace quorvale {

namespace {

struct ToolIcon {
    int toolId;
    const char *themeName; // freedesktop icon naming
    QStyle::StandardPixmap fallback;
};

constexpr ToolIcon Icons[] = {
    {ToolId::AddTimeCard, "document-new", QStyle::SP_FileIcon},
    {ToolId::NewItem, "list-add", QStyle::SP_FileDialogNewFolder},
    {ToolId::TimerInterruption, "appointment-new", QStyle::SP_BrowserReload},
    {ToolId::SelectContact, "x-office-address-book", QStyle::SP_DirHomeIcon},
    {ToolId::LinkedExpenses, "x-office-spreadsheet", QStyle::SP_FileDialogDetailedView},
    {ToolId::Filter, "view-filter", QStyle::SP_FileDialogContentsView},
    {ToolId::SelectQuickFilter, "edit-find", QStyle::SP_FileDialogListView},
    {ToolId::GoToFirst, "go-first", QStyle::SP_MediaSkipBackward},
    {ToolId::GoToPrevious, "go-previous", QStyle::SP_ArrowBack},
    {ToolId::GoToNext, "go-next", QStyle::SP_ArrowForward},
    {ToolId::GoToLast, "go-last", QStyle::SP_MediaSkipForward},
};

QIcon themed(const char *name, QStyle::StandardPixmap fallback, const QStyle &style)
{
    return QIcon::fromTheme(QLatin1String(name), style.standardIcon(fallback));
}

} // namespace

QIcon toolIcon(int toolId, const QStyle &style)
{
    if (toolId == ToolId::StartTimer)
        return timerToolIcon(false, style);
    for (const ToolIcon &icon : Icons)
        if (icon.toolId == toolId)
            return themed(icon.themeName, icon.fallback, style);
    return {};
}

QIcon timerToolIcon(bool running, const QStyle &style)
{
    return running ? themed("media-playback-pause", QStyle::SP_MediaPause, style)
                   : themed("media-playback-start", QStyle::SP_MediaPlay, style);
}

} // namespace quorvale
