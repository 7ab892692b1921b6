#pragma once

#include "outlook/LinkListKind.h"
#include "outlook/TimeCardSnapshot.h"
#include "outlook/UserPropertyWriter.h"
#include "timecards/CommandSet.h"

#include <optional>

namespace quorvale {

class DocumentCommands;
class ErrorHandler;
class LinksPanel;
class Prompts;
class DataStore;
class OutlookSession;
struct AdminOptions;
struct RegSettings;
class TimeCardBinder;
class TimeCardEditor;
class TimeCardMirror;
class TimerBinding;
class frmTimeCard;

// The Links page of the main window and the commands around it: linking
// existing items and files to the current TimeCard (ExistingItemsMenu) and
// marking the selected linked task complete (LinksPopup).
class LinkCommands : public CommandSet {
public:
    LinkCommands(frmTimeCard &window, DataStore &store, OutlookSession &outlook,
                 const RegSettings &settings, const AdminOptions &options, TimeCardEditor &editor,
                 TimeCardBinder &binder, TimerBinding &timer, DocumentCommands &documents,
                 const TimeCardMirror &mirror, Prompts &prompts, ErrorHandler &errors);

    LinksPanel &panel() { return *m_panel; }

    bool handles(int toolId) const override;
    void run(int toolId) override;

    // The link kind a link-existing tool links, if it is one.
    static std::optional<LinkListKind> kindOfTool(int toolId);

private:
    void linkItems(LinkListKind kind);
    void linkDocuments();
    std::optional<qint64> timeCardForLinking();
    // What marks an item as the TimeCard's.
    UserPropertyTerms propertyTerms() const;

    frmTimeCard &m_window;
    DataStore &m_store;
    OutlookSession &m_outlook;
    const RegSettings &m_settings;
    const AdminOptions &m_options;
    TimeCardEditor &m_editor;
    const TimeCardMirror &m_mirror;
    Prompts &m_prompts;
    LinksPanel *m_panel = nullptr; // a page of the window's tabs, which own it
};

} // namespace quorvale
