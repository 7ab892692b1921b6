#include "MassEditCommands.h"

#include "data/DataStore.h"
#include "data/WorkingSet.h"
#include "platform/db/Recordset.h"
#include "settings/AdminSettings.h"
#include "settings/PreparedCommands.h"
#include "settings/RegSettings.h"
#include "settings/TimeCardSettings.h"
#include "support/Prompts.h"
#include "timecards/CommandTable.h"
#include "timecards/TimeCardChoices.h"
#include "timecards/TimeCardEditor.h"
#include "timecards/ValueRefresh.h"
#include "ui/ContactPickerDialog.h"
#include "ui/LinkFollowing.h"
#include "ui/PointerScope.h"
#include "ui/frmMassEdit.h"
#include "ui/frmTimeCard.h"

#include <QApplication>

namespace quorvale {

MassEditCommands::MassEditCommands(frmTimeCard &window, DataStore &store, WorkingSet &workingSet,
                                   const RegSettings &settings, const AdminOptions &options,
                                   const PreparedCommands &commands, TimeCardEditor &editor,
                                   Prompts &prompts, LinkFollowing &links)
    : m_window(window), m_store(store), m_workingSet(workingSet), m_settings(settings),
      m_options(options), m_commands(commands), m_editor(editor), m_prompts(prompts), m_links(links)
{
}

bool MassEditCommands::handles(int toolId) const
{
    return toolId == ToolId::MassEdit;
}

MassEditSetup MassEditCommands::dialogSetup(frmMassEdit *&dialog)
{
    const AdminOptions &o = m_options;
    db::Connection &cnn = m_store.cnnLink();
    MassEditSetup setup;
    setup.terms = o.terms;
    setup.contactInUse = o.contactInUse;
    setup.activity1InUse = o.activity1InUse;
    setup.activity2InUse = o.activity2InUse;
    if (o.activity1InUse)
        setup.activities1 = massEditActivities(cnn, 1, o.showActivityNumbers);
    if (o.activity2InUse)
        setup.activities2 = massEditActivities(cnn, 2, o.showActivityNumbers);
    setup.billStatuses = billingStatuses();
    setup.rateSources = offeredRateSources(rateOptions(o));
    setup.entryTypes = entryTypes();
    QWidget *parent = &m_window;
    setup.pickContact = [&store = m_store, &options = m_options, parent] {
        return ContactPickerDialog::OpenItemList(parent, store.cnnLink(), options.terms.contact);
    };
    setup.apply = [this, &dialog](const MassEditRequest &request) {
        return apply(*dialog, request);
    };
    return setup;
}

MassEdit::Outcome MassEditCommands::apply(frmMassEdit &dialog, const MassEditRequest &request)
{
    const AdminOptions &o = m_options;
    db::Connection &cnn = m_store.cnnLink();
    MassEditHooks hooks;
    hooks.askLinks = [this] { return m_links.maintenance().ask().has_value(); };
    hooks.updateLinks = [this](const QString &column, const QVariant &value, qint64 id) {
        return m_links.storedChanged(column, value, id);
    };
    if (o.billingInUse) {
        ValueRefreshContext context;
        context.options = rateOptions(o);
        context.lookup = [&commands = m_commands, &options = m_options](const QString &source) {
            return commands.ratesFor(source, options.terms);
        };
        context.realizationInUse = o.realizationInUse;
        if (m_settings.staffId != 0)
            context.staffId = m_settings.staffId;
        context.contactChanged = request.contactId.has_value();
        hooks.recompute = [&cnn, context](qint64 id) { refreshTimeCardValue(cnn, id, context); };
    }
    hooks.mirror = [this](qint64 id) { m_links.mirrorStored(id); };
    hooks.label = [&dialog](const QString &text) { dialog.setProgressLabel(text); };
    hooks.progress = [&dialog](int done, int total) { dialog.setProgress(done, total); };
    MassEdit edit(cnn, m_prompts, std::move(hooks));
    const WorkingSet &set = m_workingSet;
    const PointerScope busy(Qt::WaitCursor);
    const MassEdit::Result result = edit.apply(
        request, o.terms, MassEditSet{set.openedSql(), set.filter().params}, o.billingInUse);
    return result.outcome;
}

void MassEditCommands::run(int toolId)
{
    if (!handles(toolId))
        return;
    WorkingSet &set = m_workingSet;
    db::Recordset &rs = set.timeCards();
    if (!rs.isOpen() || rs.recordCount() == 0) {
        m_prompts.messageBox(QStringLiteral("Mass Edit"), QStringLiteral("No records to edit."),
                             PromptButtons::Ok, PromptIcon::Information);
        return;
    }
    // The edit writes the stored rows; the shown one must be stored first.
    if (!m_editor.leaveCurrent()) {
        m_window.focusField(m_editor.focus().field);
        return;
    }
    frmMassEdit *shown = nullptr;
    frmMassEdit dialog(dialogSetup(shown), m_prompts, &m_window);
    shown = &dialog;
    int choice = QDialog::Rejected;
    {
        const PointerScope pointer(Qt::ArrowCursor);
        choice = dialog.exec();
    }
    // The main window's command guard hands it to the common error handler.
    if (dialog.failure())
        std::rethrow_exception(dialog.failure());
    if (choice != QDialog::Accepted)
        return;
    // A timer tick may have written the shown row meanwhile: its save must check
    // against the values the edit stored.
    if (!rs.bof() && !rs.eof())
        rs.resyncUnderlyingValues();
    const SqlFragment filter = set.filter();
    set.setFilter(filter);
}

} // namespace quorvale
