#pragma once

#include "timecards/CommandSet.h"

namespace quorvale {

class OutlookSession;
class Prompts;
class TimeCardEditor;
class WindowLifecycle;
class frmTimeCard;
struct AdminOptions;
struct BillingOptions;
struct InvoiceRequest;
struct RegSettings;
namespace db {
class Connection;
}

// Billing › Invoices: the client's invoice made in the window, its document
// written into the program directory's "Invoices" folder and opened.
class BillingCommands : public CommandSet {
public:
    BillingCommands(frmTimeCard &window, db::Connection &cnnLink, OutlookSession &outlook,
                    const AdminOptions &options, const RegSettings &settings,
                    const WindowLifecycle &lifecycle, TimeCardEditor &editor, Prompts &prompts);

    bool handles(int toolId) const override;
    void run(int toolId) override;

    // Creates the invoice and its document and opens it; false (having said
    // why) when nothing was made.
    bool issue(const InvoiceRequest &request, const BillingOptions &options);

private:
    frmTimeCard &m_window;
    db::Connection &m_cnn;
    OutlookSession &m_outlook;
    const AdminOptions &m_options;
    const RegSettings &m_settings;
    const WindowLifecycle &m_lifecycle;
    TimeCardEditor &m_editor;
    Prompts &m_prompts;
};

} // namespace quorvale
