#include "LinkCommands.h"

#include "data/DataStore.h"
#include "outlook/Documents.h"
#include "outlook/LinkedItems.h"
#include "outlook/OutlookSession.h"
#include "platform/db/Command.h"
#include "platform/db/Recordset.h"
#include "session/TimeCardBinder.h"
#include "session/TimeCardMirror.h"
#include "session/TimerBinding.h"
#include "settings/AdminSettings.h"
#include "settings/RegSettings.h"
#include "support/ErrorHandler.h"
#include "support/Prompts.h"
#include "timecards/CommandTable.h"
#include "timecards/TimeCardEditor.h"
#include "ui/BackgroundRead.h"
#include "ui/DocumentCommands.h"
#include "ui/LinkItemChooser.h"
#include "ui/LinksPanel.h"
#include "ui/PointerScope.h"
#include "ui/frmTimeCard.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>

namespace quorvale {

namespace {

QString text(const db::Recordset &rs, const char *column)
{
    return rs.value(QLatin1String(column)).toString();
}

} // namespace

LinkCommands::LinkCommands(frmTimeCard &window, DataStore &store, OutlookSession &outlook,
                           const RegSettings &settings, const AdminOptions &options,
                           TimeCardEditor &editor, TimeCardBinder &binder, TimerBinding &timer,
                           DocumentCommands &documents, const TimeCardMirror &mirror,
                           Prompts &prompts, ErrorHandler &errors)
    : m_window(window), m_store(store), m_outlook(outlook), m_settings(settings),
      m_options(options), m_editor(editor), m_mirror(mirror), m_prompts(prompts)
{
    LinksPanelHooks hooks;
    hooks.timeCardId = [&editor] { return editor.currentTimeCardId(); };
    hooks.journalEntryId = [&editor] { return editor.ensureJournalEntry(); };
    hooks.timeSpent = [&editor, &timer] {
        // A running timer keeps its time so far before time is given back.
        if (timer.activeTimeCardId() && timer.activeTimeCardId() == editor.currentTimeCardId())
            timer.pause(true);
        return text(editor.timeCards(), "Quantity");
    };
    hooks.writeTimeSpent = [&window, &binder, &editor](const QString &sevenDigits) {
        if (editor.locked() || !binder.write(QStringLiteral("Quantity"), sevenDigits))
            return false;
        binder.recomputeValue();
        window.showTimerFields();
        return true;
    };
    hooks.runTool = [&window](int toolId) { window.abMainMenu_ToolClick(toolId); };
    hooks.toolAvailable = [&window](int toolId) {
        const QAction *tool = window.toolById(toolId);
        return tool && tool->isEnabled();
    };
    hooks.openDocument = [&documents](const QString &path) { return documents.openDocument(path); };
    hooks.billingInterval = settings.appointments.billingInterval;
    m_panel = new LinksPanel(outlook, store.cnnLink(), prompts, errors, std::move(hooks));
    window.fields().addTab(m_panel, QStringLiteral("Lin&ks"));
    m_panel->setPopup(window.findChild<QMenu *>(QLatin1String(Band::LinksPopup)),
                      window.toolById(ToolId::MarkComplete));
    QObject::connect(&window.fields(), &TimeCardFields::currentShown, m_panel,
                     [panel = m_panel] { panel->currentChanged(); });
}

UserPropertyTerms LinkCommands::propertyTerms() const
{
    const AdminOptions &o = m_options;
    return UserPropertyTerms{o.terms.activity1, o.activity1InUse, o.terms.activity2,
                             o.activity2InUse, o.jobOrderTerm};
}

std::optional<LinkListKind> LinkCommands::kindOfTool(int toolId)
{
    switch (toolId) {
    case ToolId::LinkExistingTaskRequests:
        return LinkListKind::AssignedTasks;
    case ToolId::LinkExistingTasks:
        return LinkListKind::PersonalTasks;
    case ToolId::LinkExistingAppointments:
        return LinkListKind::ScheduledAppointments;
    case ToolId::LinkExistingNotes:
        return LinkListKind::Notes;
    case ToolId::LinkExistingMessages:
        return LinkListKind::Messages;
    case ToolId::LinkExistingDocuments:
        return LinkListKind::Documents;
    default:
        return std::nullopt;
    }
}

bool LinkCommands::handles(int toolId) const
{
    return toolId == ToolId::MarkComplete || kindOfTool(toolId).has_value();
}

void LinkCommands::run(int toolId)
{
    if (toolId == ToolId::MarkComplete) {
        m_panel->markComplete();
        return;
    }
    const std::optional<LinkListKind> kind = kindOfTool(toolId);
    if (!kind)
        return;
    if (*kind == LinkListKind::Documents)
        linkDocuments();
    else
        linkItems(*kind);
}

std::optional<qint64> LinkCommands::timeCardForLinking()
{
    const std::optional<qint64> id = m_editor.currentTimeCardId();
    if (!id)
        m_prompts.messageBox(QStringLiteral("No TimeCard"),
                             QStringLiteral("Create or choose a TimeCard to link items to."),
                             PromptButtons::Ok, PromptIcon::Information);
    return id;
}

void LinkCommands::linkItems(LinkListKind kind)
{
    const std::optional<qint64> id = timeCardForLinking();
    if (!id)
        return;
    OutlookSession &session = m_outlook;
    const QList<pim::Folder> folders = linkCandidateFolders(session, kind);
    pim::FolderCache &cache = session.folderCache();
    std::optional<std::vector<LinkCandidate>> found;
    const bool read = runInBackground(
        &m_window, QStringLiteral("Reading %1...").arg(linkListSelectorText(kind).toLower()),
        [&](const pim::ScanControl &control) {
            found = linkCandidates(cache, folders, kind, control);
        });
    if (!read || !found)
        return; // cancelled: nothing was linked
    std::vector<LinkCandidate> candidates = std::move(*found);
    if (candidates.empty()) {
        m_prompts.messageBox(
            QStringLiteral("Nothing to Link"),
            QStringLiteral("There are no %1 to link.").arg(linkListSelectorText(kind).toLower()),
            PromptButtons::Ok, PromptIcon::Information);
        return;
    }
    LinkItemChooser chooser(QStringLiteral(" Link %1").arg(linkListSelectorText(kind)),
                            std::move(candidates), &m_window);
    // The window runs commands under the busy pointer; a chooser waits for the person.
    {
        const PointerScope arrow(Qt::ArrowCursor);
        if (chooser.exec() != QDialog::Accepted)
            return;
    }
    const std::vector<LinkCandidate> linked =
        linkExistingItems(m_store.cnnLink(), kind, *id, chooser.chosen());
    stampLinkedItems(m_outlook, linked,
                     m_mirror.snapshot(TimeCard::fromRecord(m_editor.timeCards().record())),
                     propertyTerms());
    m_panel->showKind(kind);
}

void LinkCommands::linkDocuments()
{
    const std::optional<qint64> id = timeCardForLinking();
    if (!id)
        return;
    QStringList paths;
    {
        const PointerScope arrow(Qt::ArrowCursor);
        paths = QFileDialog::getOpenFileNames(&m_window, QStringLiteral("Select Document to Link"),
                                              m_settings.settings.defaultFileDirectory,
                                              QStringLiteral("All Files (*)"));
    }
    if (paths.isEmpty())
        return;
    Documents documents(m_store.cnnLink(), m_prompts);
    for (const QString &path : paths)
        documents.linkExisting(*id, path);
    m_panel->showKind(LinkListKind::Documents);
}

} // namespace quorvale
