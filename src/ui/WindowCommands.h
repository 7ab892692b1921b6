#pragma once

#include "session/ProgramParts.h"
#include "ui/PickListSources.h"

#include <memory>

namespace quorvale {

class AbbreviationCommands;
class ChargeCommands;
class Clock;
class ContactCommands;
class DatabaseCommands;
class DocumentCommands;
class EditCommands;
class ErrorHandler;
class FilterCommands;
class HelpCommands;
class LinkCommands;
class LinkFollowing;
class MainCommands;
class ManageCommands;
class MassEditCommands;
class NewItemCommands;
class PaymentCommands;
class Prompts;
class Registry;
class BillingCommands;
class ReportCommands;
class SettingsCommands;
class TourCommands;
class TimeCardSession;
class ViewCommands;
class WindowLifecycle;
class frmTimeCard;

// The main window's menu commands beyond the TimeCard's own: each command set
// made with the parts it works on and added to the window, in the order the
// window asks them.
class WindowCommands {
public:
    struct Parts {
        ProgramParts program;
        WindowLifecycle &lifecycle;
        Registry &registry;
        Prompts &prompts;
        ErrorHandler &errors;
        const Clock &clock;
        frmTimeCard &window;
        MainCommands &mainCommands;
        TimeCardSession &session;
    };
    explicit WindowCommands(const Parts &parts);
    ~WindowCommands();
    WindowCommands(const WindowCommands &) = delete;
    WindowCommands &operator=(const WindowCommands &) = delete;

    ViewCommands &view() { return *m_viewCommands; }
    HelpCommands &help() { return *m_helpCommands; }
    AbbreviationCommands &abbreviations() { return *m_abbreviationCommands; }
    ChargeCommands &charges() { return *m_chargeCommands; }
    SettingsCommands &settings() { return *m_settingsCommands; }
    DatabaseCommands &databases() { return *m_databaseCommands; }
    TourCommands &tour() { return *m_tourCommands; }
    const PickListSource &pickLists() const { return m_pickLists; }
    // The user's settings applied to the window (fonts, formats, tool tips).
    void applySettings();

private:
    // The Links page's Add and Edit reach the new-item and charge commands; new
    // charges open the charge window.
    void connectLinkedItemCommands();
    // Puts the status bar back to "Review" when it goes, however the work ended.
    auto reviewWhenDone();

    Parts m_p;
    PickListSource m_pickLists;
    std::unique_ptr<EditCommands> m_editCommands;
    std::unique_ptr<AbbreviationCommands> m_abbreviationCommands;
    std::unique_ptr<ViewCommands> m_viewCommands;
    std::unique_ptr<ManageCommands> m_manageCommands;
    std::unique_ptr<HelpCommands> m_helpCommands;
    std::unique_ptr<BillingCommands> m_billingCommands;
    std::unique_ptr<ReportCommands> m_reportCommands;
    std::unique_ptr<LinkFollowing> m_linkFollowing;
    std::unique_ptr<ContactCommands> m_contactCommands;
    std::unique_ptr<DocumentCommands> m_documentCommands;
    std::unique_ptr<PaymentCommands> m_paymentCommands;
    std::unique_ptr<ChargeCommands> m_chargeCommands;
    std::unique_ptr<NewItemCommands> m_newItemCommands;
    std::unique_ptr<FilterCommands> m_filterCommands;
    std::unique_ptr<LinkCommands> m_linkCommands;
    std::unique_ptr<MassEditCommands> m_massEditCommands;
    std::unique_ptr<SettingsCommands> m_settingsCommands;
    std::unique_ptr<DatabaseCommands> m_databaseCommands;
    std::unique_ptr<TourCommands> m_tourCommands;
};

} // namespace quorvale
