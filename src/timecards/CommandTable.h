#pragma once

#include <QString>
#include <span>

namespace quorvale {

// Tool IDs of the main window's commands. A tool keeps its ID in every band it
// stands in; the window dispatches on the ID alone.
namespace ToolId {
inline constexpr int NewTimeCard = 1001;
inline constexpr int Exit = 1034;
inline constexpr int StartTimer = 3002;
inline constexpr int TimerInterruption = 3003;
inline constexpr int StartTempTimer = 3004;
inline constexpr int GoTo = 3008;
inline constexpr int GoToFirst = 3009;
inline constexpr int GoToPrevious = 3010;
inline constexpr int GoToNext = 3011;
inline constexpr int GoToLast = 3012;
inline constexpr int GoToActive = 3013;
inline constexpr int AddTimeCard = 3014;
inline constexpr int DeleteTimeCard = 3015;
inline constexpr int AddTime = 3016;
inline constexpr int SubtractTime = 3017;
inline constexpr int ShowHiddenTimeCards = 3019;
inline constexpr int Resume = 3020;
inline constexpr int CancelTimer = 3025;
// The time fields' own pop-up menu carries Add and Subtract Time under these.
inline constexpr int PopUpAddTime = 3026;
inline constexpr int PopUpSubtractTime = 3027;
inline constexpr int TimeFormat1 = 20119; // "hh:mm AM/PM"
inline constexpr int TimeFormat2 = 20120; // "hh:mm"
inline constexpr int TimeFormat3 = 20121; // "hh:mm:ss"
inline constexpr int SortFirst = 6024;    // 6024-6034 ascending, 6035-6045 descending
inline constexpr int SortLast = 6045;
inline constexpr int SortFirstDescending = 6035;
} // namespace ToolId

// The bands the tools stand in: the menu bar's menus and the sub-menus.
namespace Band {
inline constexpr const char *MainMenu = "MainMenu";
inline constexpr const char *FileMenu = "FileMenu";
inline constexpr const char *EditMenu = "EditMenu";
inline constexpr const char *TimeCardMenu = "TimeCardMenu";
inline constexpr const char *ManageMenu = "ManageMenu";
inline constexpr const char *AdminMenu = "AdminMenu";
inline constexpr const char *HelpMenu = "HelpMenu";
inline constexpr const char *NewMenu = "NewMenu";
inline constexpr const char *TimeCardNavigationMenu = "TimeCardNavigationMenu";
inline constexpr const char *SortAscending = "SortAscending";
inline constexpr const char *SortDescending = "SortDescending";
inline constexpr const char *TimeFormatMenu = "TimeFormatMenu";
// The pop-up menu of the time fields, shown after their edit commands.
inline constexpr const char *TimePopUp = "TimePopUp";
inline constexpr const char *Navigator = "abTimeCardNavigator";
} // namespace Band

// One tool of the command table: what the window shows and which ID it sends.
// The shortcut is in QKeySequence's portable text form ("F5", "Ctrl+F12").
struct ToolInfo {
    int id;
    const char *name;
    const char *caption;
    const char *description;
    const char *shortcut;
    bool checkable;
};

// Where a tool stands: a band and, for a sub-menu tool, the band it opens.
struct BandEntry {
    const char *band;
    int toolId;        // 0: a separator
    const char *opens; // the sub-menu band this tool opens, or nullptr
};

namespace CommandTable {

std::span<const ToolInfo> tools();
const ToolInfo *find(int toolId);
const ToolInfo *findByName(const QString &name);
// The menu bar's menus and every band's content, in display order.
std::span<const BandEntry> layout();

} // namespace CommandTable

} // namespace quorvale
