#include "ui/WindowCommands.h"

#include "data/DataStore.h"
#include "outlook/LinkListKind.h"
#include "outlook/OutlookSession.h"
#include "platform/shell/Shell.h"
#include "session/TimeCardBinder.h"
#include "session/TimeCardSession.h"
#include "settings/AdminSettings.h"
#include "settings/RegSettings.h"
#include "settings/WindowLifecycle.h"
#include "ui/AbbreviationCommands.h"
#include "ui/BillingCommands.h"
#include "ui/ChargeCommands.h"
#include "ui/ContactCommands.h"
#include "ui/DatabaseCommands.h"
#include "ui/DocumentCommands.h"
#include "ui/EditCommands.h"
#include "ui/FilterCommands.h"
#include "ui/HelpCommands.h"
#include "ui/LinkCommands.h"
#include "ui/LinkFollowing.h"
#include "ui/LinksPanel.h"
#include "ui/ManageCommands.h"
#include "ui/MassEditCommands.h"
#include "ui/NewItemCommands.h"
#include "ui/PaymentCommands.h"
#include "ui/ReportCommands.h"
#include "ui/SettingsCommands.h"
#include "ui/TourCommands.h"
#include "ui/ViewCommands.h"
#include "ui/frmTimeCard.h"

#include <QScopeGuard>
#include <QStatusBar>

namespace quorvale {

auto WindowCommands::reviewWhenDone()
{
    return qScopeGuard([this] { m_p.window.statusBar()->showMessage(QStringLiteral("Review")); });
}

WindowCommands::WindowCommands(const Parts &p) : m_p(p)
{
    m_editCommands = std::make_unique<EditCommands>(m_p.window);
    m_p.window.addCommandSet(*m_editCommands);
    m_abbreviationCommands =
        std::make_unique<AbbreviationCommands>(m_p.window, m_p.program.store, m_p.program.options,
                                               m_p.program.workingSet, m_p.prompts, m_p.clock);
    m_p.window.addCommandSet(*m_abbreviationCommands);
    m_viewCommands = std::make_unique<ViewCommands>(
        m_p.window, m_p.session.editor(), m_p.mainCommands, m_p.program.workingSet,
        m_p.program.store.cnnLink(),
        ViewCommands::Shown{m_p.lifecycle.viewTimeDetail(), m_p.lifecycle.viewActiveTaskList()});
    m_p.window.addCommandSet(*m_viewCommands);
    m_manageCommands = std::make_unique<ManageCommands>(
        m_p.window, m_p.registry, m_p.prompts, m_p.session.mirror(), m_p.program.outlook,
        m_p.program.store.cnnLink(), m_p.program.options.terms, [this] {
            // The lists' statements are prepared
            // once; whether activities belong to
            // contacts may have changed with the
            // maintenance.
            m_p.lifecycle.refreshPreparedCommands();
            m_p.window.showCurrent();
        });
    m_p.window.addCommandSet(*m_manageCommands);
    m_helpCommands = std::make_unique<HelpCommands>(
        m_p.prompts, HelpCommands::shippedHelpFile(), m_p.program.outlook.versionCode(),
        [&settings = m_p.program.settings.settings](const QUrl &url) {
            return shell::openWebPage(url.toString(), settings.defaultBrowser);
        });
    m_p.window.addCommandSet(*m_helpCommands);
    // Before the report commands: Billing › Invoices is made here, not reported.
    m_billingCommands = std::make_unique<BillingCommands>(
        m_p.window, m_p.program.store.cnnLink(), m_p.program.outlook, m_p.program.options,
        m_p.program.settings, m_p.lifecycle, m_p.session.editor(), m_p.prompts);
    m_p.window.addCommandSet(*m_billingCommands);
    m_reportCommands = std::make_unique<ReportCommands>(
        m_p.window, m_p.program.outlook, m_p.program.settings, m_p.program.options, m_p.lifecycle,
        m_p.registry, m_p.program.store.cnnLink(), m_p.prompts);
    m_p.window.addCommandSet(*m_reportCommands);
    // Before the contact commands, which refill the activity lists from it.
    m_pickLists = pickListSource(m_p.program.commands, m_p.program.options, m_p.program.outlook);
    m_linkFollowing = std::make_unique<LinkFollowing>(
        m_p.program.store, m_p.program.outlook, m_p.program.options, m_p.session.editor(),
        m_p.session.mirror(), m_p.prompts, m_p.window);
    m_p.session.binder().setLinkFollower([this](const QString &column, const QVariant &value) {
        return m_linkFollowing->currentChanged(column, value);
    });
    m_contactCommands = std::make_unique<ContactCommands>(
        m_p.window, m_p.program.store, m_p.program.options, m_p.session.editor(),
        m_p.session.binder(), m_p.prompts, m_pickLists, m_linkFollowing.get());
    m_p.window.addCommandSet(*m_contactCommands);
    m_documentCommands = std::make_unique<DocumentCommands>(
        m_p.window, m_p.program.store, m_p.program.settings, m_p.session.editor(), m_p.prompts);
    m_p.window.addCommandSet(*m_documentCommands);
    m_paymentCommands = std::make_unique<PaymentCommands>(
        m_p.window, m_p.program.store, m_p.program.outlook, m_p.program.settings,
        m_p.program.options, m_p.program.permissions, m_p.prompts);
    m_p.window.addCommandSet(*m_paymentCommands);
    m_chargeCommands = std::make_unique<ChargeCommands>(
        m_p.window, m_p.program.store, m_p.program.settings, m_p.program.options, m_pickLists,
        m_p.session.editor(), m_p.prompts);
    m_p.window.addCommandSet(*m_chargeCommands);
    m_newItemCommands = std::make_unique<NewItemCommands>(
        m_p.window, m_p.program.store, m_p.program.outlook, m_p.program.settings,
        m_p.program.options, m_p.program.timeFormat, m_p.session.editor(), m_p.session.mirror(),
        m_p.registry, m_p.prompts);
    m_p.window.addCommandSet(*m_newItemCommands);
    m_filterCommands = std::make_unique<FilterCommands>(
        m_p.window, m_p.program.store, m_p.program.outlook, m_p.program.workingSet,
        m_p.program.settings, m_p.program.options, m_p.program.commands, m_p.session.editor(),
        m_p.mainCommands, m_p.prompts);
    m_p.window.addCommandSet(*m_filterCommands);
    m_linkCommands = std::make_unique<LinkCommands>(
        m_p.window, m_p.program.store, m_p.program.outlook, m_p.program.settings,
        m_p.program.options, m_p.session.editor(), m_p.session.binder(), m_p.session.timer(),
        *m_documentCommands, m_p.session.mirror(), m_p.prompts, m_p.errors);
    m_p.window.addCommandSet(*m_linkCommands);
    connectLinkedItemCommands();
    m_massEditCommands = std::make_unique<MassEditCommands>(
        m_p.window, m_p.program.store, m_p.program.workingSet, m_p.program.settings,
        m_p.program.options, m_p.program.commands, m_p.session.editor(), m_p.prompts,
        *m_linkFollowing);
    m_p.window.addCommandSet(*m_massEditCommands);
    m_settingsCommands = std::make_unique<SettingsCommands>(
        m_p.window, m_p.program.outlook, m_p.program.settings, m_p.program.options,
        m_p.program.timeFormat, m_p.registry, m_p.prompts, m_p.session.editor(),
        m_p.program.store.cnnLink(), m_p.errors);
    m_p.window.addCommandSet(*m_settingsCommands);
    const auto showLinkType = [this](qint16 linkType) {
        m_linkCommands->panel().setFirstKind(linkListKindOfLinkType(linkType));
    };
    showLinkType(m_p.program.settings.settings.defaultLinkType);
    m_settingsCommands->setLinkTypeChanged(showLinkType);
    m_databaseCommands =
        std::make_unique<DatabaseCommands>(m_p.window, m_p.program.store, m_p.prompts);
    m_databaseCommands->setCloseWindow([&window = m_p.window] { return window.close(); });
    m_p.window.addCommandSet(*m_databaseCommands);
    m_tourCommands =
        std::make_unique<TourCommands>(m_p.window, m_p.registry, m_p.program.settings, m_p.prompts);
    m_p.window.addCommandSet(*m_tourCommands);
}

WindowCommands::~WindowCommands() = default;

void WindowCommands::applySettings()
{
    m_settingsCommands->applySettings();
}

void WindowCommands::connectLinkedItemCommands()
{
    // Charges are rows of their own, so the Links page hands them to the charge window.
    m_linkCommands->panel().setChargeHooks(
        [this](int kind) {
            const bool expense = kind == static_cast<int>(LinkListKind::Expenses);
            const auto review = reviewWhenDone();
            m_p.window.statusBar()->showMessage(expense
                                                    ? QStringLiteral("Adding new expense...")
                                                    : QStringLiteral("Adding new fixed charge..."));
            if (!m_newItemCommands->missingLinks())
                m_chargeCommands->addLinked(expense);
        },
        [this](int kind, qint64 id) {
            const auto review = reviewWhenDone();
            m_chargeCommands->editLinked(kind == static_cast<int>(LinkListKind::Expenses), id);
        });
    // Add on the Links page means "linked to this TimeCard": the item is made at
    // once, without asking how to link it.
    m_linkCommands->panel().setRunTool([this](int toolId) {
        if (const auto code = NewItemCommands::linkedItemCodeFor(toolId)) {
            const auto review = reviewWhenDone();
            m_newItemCommands->NewLinkedItem(*code);
            return;
        }
        m_p.window.abMainMenu_ToolClick(toolId);
    });
    m_newItemCommands->setTimeSpentAdder([this](qint64 seconds) {
        if (m_p.session.addTimeSpent(seconds))
            m_p.window.showTimerFields();
    });
    m_newItemCommands->setOpenChargeDialog([this](bool isExpense, bool linked) {
        if (linked)
            m_chargeCommands->addLinked(isExpense);
        else
            m_chargeCommands->itemDialog(ChargeMode::Add, true, isExpense);
    });
}

} // namespace quorvale
