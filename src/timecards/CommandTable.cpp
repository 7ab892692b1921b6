#include "CommandTable.h"

#include "data/SortOrders.h"

#include <array>

namespace quorvale {

namespace {

// The menu bar's own tools only open their menus; their IDs are below every
// command's so the dispatch never sees them.
constexpr int kMenuFile = 101;
constexpr int kMenuTimeCards = 103;
constexpr int kMenuHelp = 106;
constexpr int kMenuSortAscending = 110;
constexpr int kMenuSortDescending = 111;
constexpr int kMenuTimeFormat = 112;
constexpr int kAbout = 6006;
constexpr int kNew = 1002;

constexpr ToolInfo kTools[] = {
    {kMenuFile, "mnuFile", "&File", "", "", false},
    {kMenuTimeCards, "mnuTimeCards", "Time&Cards", "", "", false},
    {kMenuHelp, "mnuHelp", "&Help", "", "", false},
    {kNew, "mnuNew", "Create &New...", "", "", false},
    // F11 belongs to both new-TimeCard tools; one key can trigger only one
    // action, and both do the same.
    {ToolId::NewTimeCard, "mnuNewTimeCard", "Time&Card", "New TimeCard", "", false},
    {ToolId::AddTimeCard, "mnuAddTimeCard", "&Add TimeCard", "New TimeCard", "F11", false},
    {ToolId::DeleteTimeCard, "mnuDeleteTimeCard", "&Delete TimeCard", "Delete the TimeCard", "F12",
     false},
    {ToolId::AddTime, "mnuAddTime", "&Add Time", "Add time to the TimeCard", "", false},
    {ToolId::SubtractTime, "mnuSubtractTime", "&Subtract Time", "Subtract time from the TimeCard",
     "", false},
    {ToolId::PopUpAddTime, "mnuAddTime", "&Add Time", "Add time to the TimeCard", "", false},
    {ToolId::PopUpSubtractTime, "mnuSubtractTime", "&Subtract Time",
     "Subtract time from the TimeCard", "", false},
    {kMenuTimeFormat, "mnuTimeFormat", "Time &Format", "", "", false},
    {ToolId::TimeFormat1, "Format1", "HH:MM AM/PM", "Show times as hh:mm AM/PM", "", true},
    {ToolId::TimeFormat2, "Format2", "HH:MM (24 Hour)", "Show times as hh:mm", "", true},
    {ToolId::TimeFormat3, "Format3", "HH:MM:SS (24 Hour)", "Show times as hh:mm:ss", "", true},
    {ToolId::StartTimer, "mnuStartTimer", "&Start Timer", "Start Timer", "F3", false},
    {ToolId::CancelTimer, "mnuCancelTimer", "&Cancel Timer", "Stop and discard the run", "Ctrl+F3",
     false},
    {ToolId::TimerInterruption, "mnuTimerInterruption", "&Interrupt Timer", "Time an interruption",
     "F4", false},
    {ToolId::StartTempTimer, "mnuStartTempTimer", "&Start", "Start or pause the interrupt timer",
     "", false},
    {ToolId::Resume, "mnuResume", "Cancel && Resume", "Cancel and resume timer on last TimeCard.",
     "Ctrl+J", false},
    {ToolId::Exit, "mnuExit", "&Exit", "Close Quorvale", "Ctrl+Q", false},
    {ToolId::GoTo, "mnuGoTo", "&Go To", "Move to another TimeCard", "", false},
    {ToolId::GoToFirst, "mnuGoToFirst", "&First TimeCard", "Go to the first TimeCard", "F5", false},
    {ToolId::GoToPrevious, "mnuGoToPrevious", "&Previous TimeCard", "Go to the previous TimeCard",
     "F6", false},
    {ToolId::GoToNext, "mnuGoToNext", "&Next TimeCard", "Go to the next TimeCard", "F7", false},
    {ToolId::GoToLast, "mnuGoToLast", "&Last TimeCard", "Go to the last TimeCard", "F8", false},
    {ToolId::GoToActive, "mnuGoToActive", "&Active TimeCard",
     "Go to the TimeCard with the running timer", "F9", false},
    {ToolId::ShowHiddenTimeCards, "mnuViewActiveTimeCards", "Show &Hidden TimeCards",
     "Include hidden TimeCards", "Ctrl+F12", true},
    {kMenuSortAscending, "mnuSortAscending", "Sort &Ascending", "", "", false},
    {kMenuSortDescending, "mnuSortDescending", "Sort &Descending", "", "", false},
    {kAbout, "miHAbout", "&About", "About Quorvale", "F2", false},
};

// The sort tools take their names, IDs and captions from the sort table; their
// captions with terms are completed by the window.
constexpr auto kSortTools = [] {
    std::array<BandEntry, 22> entries{};
    for (int i = 0; i < 22; ++i)
        entries[static_cast<std::size_t>(i)] = {i < 11 ? Band::SortAscending : Band::SortDescending,
                                                ToolId::SortFirst + i, nullptr};
    return entries;
}();

constexpr BandEntry kBaseLayout[] = {
    {Band::MainMenu, kMenuFile, Band::FileMenu},
    {Band::MainMenu, kMenuTimeCards, Band::TimeCardMenu},
    {Band::MainMenu, kMenuHelp, Band::HelpMenu},
    {Band::FileMenu, kNew, Band::NewMenu},
    {Band::FileMenu, 0, nullptr},
    {Band::FileMenu, ToolId::Exit, nullptr},
    {Band::NewMenu, ToolId::NewTimeCard, nullptr},
    {Band::TimeCardMenu, ToolId::StartTimer, nullptr},
    {Band::TimeCardMenu, ToolId::CancelTimer, nullptr},
    {Band::TimeCardMenu, ToolId::TimerInterruption, nullptr},
    {Band::TimeCardMenu, ToolId::StartTempTimer, nullptr},
    {Band::TimeCardMenu, ToolId::Resume, nullptr},
    {Band::TimeCardMenu, 0, nullptr},
    {Band::TimeCardMenu, ToolId::AddTimeCard, nullptr},
    {Band::TimeCardMenu, ToolId::DeleteTimeCard, nullptr},
    {Band::TimeCardMenu, ToolId::AddTime, nullptr},
    {Band::TimeCardMenu, ToolId::SubtractTime, nullptr},
    {Band::TimeCardMenu, 0, nullptr},
    {Band::TimeCardMenu, ToolId::GoTo, Band::TimeCardNavigationMenu},
    {Band::TimeCardMenu, 0, nullptr},
    {Band::TimeCardMenu, ToolId::ShowHiddenTimeCards, nullptr},
    {Band::TimeCardMenu, kMenuSortAscending, Band::SortAscending},
    {Band::TimeCardMenu, kMenuSortDescending, Band::SortDescending},
    {Band::TimeCardMenu, kMenuTimeFormat, Band::TimeFormatMenu},
    {Band::TimeFormatMenu, ToolId::TimeFormat1, nullptr},
    {Band::TimeFormatMenu, ToolId::TimeFormat2, nullptr},
    {Band::TimeFormatMenu, ToolId::TimeFormat3, nullptr},
    {Band::TimePopUp, ToolId::PopUpAddTime, nullptr},
    {Band::TimePopUp, ToolId::PopUpSubtractTime, nullptr},
    {Band::TimePopUp, 0, nullptr},
    {Band::TimePopUp, ToolId::TimeFormat1, nullptr},
    {Band::TimePopUp, ToolId::TimeFormat2, nullptr},
    {Band::TimePopUp, ToolId::TimeFormat3, nullptr},
    {Band::TimeCardNavigationMenu, ToolId::GoToFirst, nullptr},
    {Band::TimeCardNavigationMenu, ToolId::GoToPrevious, nullptr},
    {Band::TimeCardNavigationMenu, ToolId::GoToNext, nullptr},
    {Band::TimeCardNavigationMenu, ToolId::GoToLast, nullptr},
    {Band::TimeCardNavigationMenu, ToolId::GoToActive, nullptr},
    {Band::HelpMenu, kAbout, nullptr},
    {Band::Navigator, ToolId::GoToFirst, nullptr},
    {Band::Navigator, ToolId::GoToPrevious, nullptr},
    {Band::Navigator, ToolId::GoToNext, nullptr},
    {Band::Navigator, ToolId::GoToLast, nullptr},
};

constexpr auto kLayout = [] {
    std::array<BandEntry, std::size(kBaseLayout) + kSortTools.size()> all{};
    std::size_t n = 0;
    for (const BandEntry &e : kBaseLayout)
        all[n++] = e;
    for (const BandEntry &e : kSortTools)
        all[n++] = e;
    return all;
}();

// Sort tools as ToolInfo, built once from the sort table.
const std::array<ToolInfo, 22> &sortTools()
{
    static const std::array<ToolInfo, 22> tools = [] {
        std::array<ToolInfo, 22> t{};
        std::size_t i = 0;
        for (const SortOrder &order : SortOrders::all())
            t[i++] = {order.toolId, order.toolName, "", "", "", true};
        return t;
    }();
    return tools;
}

} // namespace

namespace CommandTable {

std::span<const ToolInfo> tools()
{
    return kTools;
}

const ToolInfo *find(int toolId)
{
    for (const ToolInfo &t : kTools)
        if (t.id == toolId)
            return &t;
    for (const ToolInfo &t : sortTools())
        if (t.id == toolId)
            return &t;
    return nullptr;
}

const ToolInfo *findByName(const QString &name)
{
    for (const ToolInfo &t : kTools)
        if (name == QLatin1String(t.name))
            return &t;
    for (const ToolInfo &t : sortTools())
        if (name == QLatin1String(t.name))
            return &t;
    return nullptr;
}

std::span<const BandEntry> layout()
{
    return kLayout;
}

} // namespace CommandTable

} // namespace quorvale
