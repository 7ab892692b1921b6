#pragma once

#include "outlook/FolderSlot.h"

#include <QString>

namespace quorvale {

// A folder view the View menu opens: which folder it lists and which view file
// (in the program directory, with ".txt") defines it.
struct OutlookView {
    int toolId;
    FolderSlot slot;
    const char *viewName;
    const char *viewFile;
};

inline constexpr OutlookView OutlookViews[] = {
    {6068, FolderSlot::Journal, "Quorvale TimeCards", "XML1"},
    {6069, FolderSlot::Tasks, "Quorvale Tasks", "XML2"},
    {6070, FolderSlot::TimeCardAppointments, "Quorvale Time Detail", "XML3"},
    {6071, FolderSlot::ScheduledAppointments, "Quorvale Appointments", "XML4"},
    {6072, FolderSlot::Notes, "Quorvale Notes", "XML5"},
};

// The view of a View menu tool; nullptr for any other tool.
const OutlookView *outlookViewForTool(int toolId);

// programDir + "/" + the view file's name + ".txt".
QString viewFilePath(const QString &programDir, const OutlookView &view);

// The message when a view cannot be shown, and its title.
QString viewNotAvailableText();
QString viewNotAvailableTitle();

} // namespace quorvale
