#include "FilterCommands.h"

#include "data/DataStore.h"
#include "data/WorkingSet.h"
#include "outlook/OutlookSession.h"
#include "platform/db/Command.h"
#include "platform/pim/Namespace.h"
#include "settings/AdminSettings.h"
#include "settings/PreparedCommands.h"
#include "settings/RegSettings.h"
#include "settings/TimeCardSettings.h"
#include "timecards/CommandTable.h"
#include "timecards/MainCommands.h"
#include "timecards/PickLists.h"
#include "timecards/Rates.h"
#include "timecards/TimeCardChoices.h"
#include "timecards/TimeCardEditor.h"
#include "ui/ContactPickerDialog.h"
#include "ui/QuickFilterControls.h"
#include "ui/frmFilter.h"
#include "ui/frmTimeCard.h"

#include <QAction>
#include <QInputDialog>
#include <QToolBar>

namespace quorvale {

FilterCommands::FilterCommands(frmTimeCard &window, DataStore &store, OutlookSession &outlook,
                               WorkingSet &workingSet, const RegSettings &settings,
                               const AdminOptions &options, const PreparedCommands &commands,
                               TimeCardEditor &editor, MainCommands & /*commands*/,
                               Prompts &prompts)
    : m_window(window), m_store(store), m_outlook(outlook), m_workingSet(workingSet),
      m_settings(settings), m_options(options), m_commands(commands), m_editor(editor),
      m_filter(workingSet, prompts)
{
    if (handles(ToolId::SelectQuickFilter))
        buildQuickFilterBar();
    settled();
}

void FilterCommands::buildQuickFilterBar()
{
    const QuickFilterType type = quickFilterTypeOf(m_settings.settings.quickFilterType);
    const Terms &terms = m_options.terms;
    std::vector<PickEntry> entries{PickEntry{}};
    if (type != QuickFilterType::Contact) {
        const int level = type == QuickFilterType::Activity1 ? 1 : 2;
        const PreparedCommands &c = m_commands;
        if (db::Command *list = (level == 1 ? c.activity1List : c.activity2List).get())
            entries = activityEntries(
                *list, level == 1 ? c.activity1ListTakesContact : c.activity2ListTakesContact,
                std::nullopt);
    }
    auto *bar = m_window.addToolBar(QStringLiteral("Quick Filter"));
    bar->setObjectName(QStringLiteral("abQuickFilter"));
    m_quick = new QuickFilterControls(bar, type,
                                      type == QuickFilterType::Contact     ? terms.contact
                                      : type == QuickFilterType::Activity1 ? terms.activity1
                                                                           : terms.activity2,
                                      entries);
    QObject::connect(m_quick, &QuickFilterControls::changed, m_receiver.get(),
                     [this] { quickFilterChosen(); });
    QObject::connect(m_quick, &QuickFilterControls::pickContact, m_receiver.get(),
                     [this] { quickFilterContact(); });
}

void FilterCommands::quickFilterChosen()
{
    const qint32 id = m_quick->chosenId();
    // A new quick filter needs a set worth narrowing; clearing one never waits.
    if (leaveCurrent() &&
        (id == 0 || m_filter.quickFilterId() != 0 || m_filter.quickFilterMayStart()))
        m_filter.quickFilter(quickFilterTypeOf(m_settings.settings.quickFilterType), id,
                             m_quick->chosenName());
    settled();
}

void FilterCommands::quickFilterContact()
{
    if (leaveCurrent() && (m_filter.quickFilterId() != 0 || m_filter.quickFilterMayStart())) {
        const std::optional<PickedContact> picked = ContactPickerDialog::OpenItemList(
            &m_window, m_store.cnnLink(), m_options.terms.contact);
        if (picked && picked->QuorvaleID != 0)
            m_filter.quickFilter(QuickFilterType::Contact, picked->QuorvaleID, picked->ContactName);
    }
    settled();
}

bool FilterCommands::handles(int toolId) const
{
    if (toolId == ToolId::SelectQuickFilter || toolId == ToolId::ClearQuickFilter)
        return m_options.contactInUse || m_options.activity1InUse || m_options.activity2InUse;
    return toolId == ToolId::Filter;
}

void FilterCommands::run(int toolId)
{
    if (!leaveCurrent())
        return;
    if (toolId == ToolId::Filter)
        filterCommand();
    else if (toolId == ToolId::SelectQuickFilter)
        selectQuickFilter();
    else
        m_filter.quickFilter(quickFilterTypeOf(m_settings.settings.quickFilterType), 0, {});
    settled();
}

bool FilterCommands::leaveCurrent()
{
    if (m_editor.leaveCurrent())
        return true;
    m_window.focusField(m_editor.focus().field);
    return false;
}

void FilterCommands::clear()
{
    m_filter.clear();
    settled();
}

FilterDialogSetup FilterCommands::dialogSetup() const
{
    const AdminOptions &o = m_options;
    FilterDialogSetup setup;
    setup.terms = o.terms;
    setup.contactInUse = o.contactInUse;
    setup.activity1InUse = o.activity1InUse;
    setup.activity2InUse = o.activity2InUse;
    setup.jobOrderTerm = o.jobOrderTerm;
    setup.jobOrderMask = o.jobOrderMask;
    setup.billStatuses = billingStatuses();
    setup.rateSources = offeredRateSources(rateOptions(o));
    setup.entryTypes = entryTypes();
    setup.activities = [&c = m_commands](int level, std::optional<qint32> contactId) {
        db::Command *list = (level == 1 ? c.activity1List : c.activity2List).get();
        if (!list)
            return std::vector<PickEntry>{PickEntry{}};
        return activityEntries(
            *list, level == 1 ? c.activity1ListTakesContact : c.activity2ListTakesContact,
            contactId);
    };
    QWidget *parent = &m_window;
    setup.pickContact = [&store = m_store, &options = m_options, parent] {
        return ContactPickerDialog::OpenItemList(parent, store.cnnLink(), options.terms.contact);
    };
    setup.categories = [&outlook = m_outlook] { return outlook.nameSpace().categories(); };
    return setup;
}

void FilterCommands::filterCommand()
{
    // While a filter is on the command reads "Turn Filter Off".
    if (m_filter.filtered()) {
        m_filter.clear();
        return;
    }
    for (;;) {
        frmFilter dialog(dialogSetup(), m_filter.criteria(), &m_window);
        const int choice = dialog.exec();
        if (choice == frmFilter::CancelFilter) {
            m_filter.cancel();
            return;
        }
        if (choice != QDialog::Accepted)
            return;
        // Nothing matched and the person wants to change the criteria: the
        // dialog comes back with what was tried.
        if (m_filter.apply(dialog.criteria()) != TimeCardFilter::Result::ChangeCriteria)
            return;
    }
}

void FilterCommands::selectQuickFilter()
{
    if (!m_filter.quickFilterMayStart())
        return;
    const QuickFilterType type = quickFilterTypeOf(m_settings.settings.quickFilterType);
    if (type == QuickFilterType::Contact) {
        const std::optional<PickedContact> picked = ContactPickerDialog::OpenItemList(
            &m_window, m_store.cnnLink(), m_options.terms.contact);
        if (picked && picked->QuorvaleID != 0)
            m_filter.quickFilter(type, picked->QuorvaleID, picked->ContactName);
        return;
    }
    const int level = type == QuickFilterType::Activity1 ? 1 : 2;
    const PreparedCommands &c = m_commands;
    db::Command *list = (level == 1 ? c.activity1List : c.activity2List).get();
    if (!list)
        return;
    std::vector<PickEntry> entries = activityEntries(
        *list, level == 1 ? c.activity1ListTakesContact : c.activity2ListTakesContact,
        std::nullopt);
    std::erase_if(entries, [](const PickEntry &e) { return e.id == 0; });
    QStringList names;
    for (const PickEntry &e : entries)
        names << e.text;
    const Terms &terms = m_options.terms;
    bool ok = false;
    const QString chosen = QInputDialog::getItem(&m_window, QStringLiteral("Quick Filter"),
                                                 (level == 1 ? terms.activity1 : terms.activity2) +
                                                     QStringLiteral(":"),
                                                 names, 0, false, &ok);
    const qsizetype index = names.indexOf(chosen);
    if (ok && index >= 0)
        m_filter.quickFilter(type, entries[static_cast<std::size_t>(index)].id, chosen);
}

void FilterCommands::settled()
{
    if (QAction *tool = m_window.toolById(ToolId::Filter)) {
        const bool on = m_filter.filtered();
        tool->setText(on ? QStringLiteral("Turn &Filter Off") : QStringLiteral("Apply &Filter"));
        tool->setToolTip(m_filter.filterCaption());
    }
    if (QAction *clear = m_window.toolById(ToolId::ClearQuickFilter))
        clear->setEnabled(m_filter.quickFilterId() != 0);
    // The control shows the quick filter in force, whichever way it was set,
    // and nothing once a choice matched nothing.
    if (m_quick)
        m_quick->show(m_filter.quickFilterId(), m_filter.quickFilterName());
    m_window.showCurrent();
}

} // namespace quorvale
