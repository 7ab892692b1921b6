#include "MainWindowHost.h"

#include "data/DataStore.h"
#include "outlook/OutlookSession.h"
#include "platform/core/QvError.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/OutboxSender.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryKey.h"
#include "session/TimeCardBinder.h"
#include "session/TimeCardMirror.h"
#include "session/TimeCardSession.h"
#include "session/TimerBinding.h"
#include "settings/AdminSettings.h"
#include "settings/MailSettings.h"
#include "settings/RegSettings.h"
#include "settings/TimeCardSettings.h"
#include "settings/WindowLifecycle.h"
#include "support/ErrorHandler.h"
#include "support/Prompts.h"
#include "timecards/ActiveRunStore.h"
#include "timecards/CommandTable.h"
#include "timecards/InterruptTimer.h"
#include "timecards/Rates.h"
#include "timecards/TimeCardDelete.h"
#include "timecards/TimeCardEditor.h"
#include "timecards/TimeFormat.h"
#include "ui/DatabaseCommands.h"
#include "ui/InterruptBinding.h"
#include "ui/SettingsCommands.h"
#include "ui/TimeStampFilter.h"
#include "ui/TimerInSight.h"
#include "ui/ToolIcons.h"
#include "ui/TourCommands.h"
#include "ui/ViewCommands.h"
#include "ui/frmInterruptTimer.h"

#include <QAction>
#include <QApplication>
#include <QLocale>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>

namespace quorvale {

namespace {

} // namespace

MainWindowHost::MainWindowHost(const ProgramParts &program, WindowLifecycle &lifecycle,
                               Registry &registry, Prompts &prompts, ErrorHandler &errors,
                               const Clock *clock)
    : m_program(program), m_lifecycle(lifecycle), m_registry(registry), m_prompts(prompts),
      m_errorHandler(errors), m_clock(clock ? *clock : m_systemClock),
      m_commands(program.workingSet, program.store.cnnLink(), lifecycle.workingSetContext(),
                 program.settings.settings.showHiddenTimeCards, prompts,
                 [&registry](const QString &clause) {
                     registry.openSubKey(QStringLiteral("Settings"))
                         .writeText(QStringLiteral("Default Sort"), clause);
                 }),
      m_window(std::make_unique<frmTimeCard>(program.workingSet, m_commands, program.options.terms))
{
    // The options may change the mail command and address: asked for each time.
    const auto transport = [&settings = program.settings] { return mailTransport(settings); };
    m_outbox = std::make_unique<pim::OutboxSender>(
        transport, [&outlook = program.outlook]() -> std::optional<pim::Folder> {
            if (!outlook.isConnected() || !outlook.isReachable())
                return std::nullopt;
            return outlook.nameSpace().GetDefaultFolder(pim::DefaultFolder::Outbox);
        });
    QObject::connect(
        m_outbox.get(), &pim::OutboxSender::passed, m_window.get(),
        [this](const pim::OutboxPass &pass) { m_window->statusBar()->showMessage(pass.text()); });
    m_inspector = std::make_unique<ItemInspector>(
        prompts, &program.outlook.nameSpace(),
        ItemInspector::Mail{transport, [this] { m_outbox->flush(); }}, m_window.get());
    m_program.outlook.setInspector(m_inspector.get());
    m_window->applyToolChanges(lifecycle.toolChanges());
    m_window->setCommandGuard([&outlook = program.outlook] { return outlook.EnsureOutlook(); });
    m_window->setErrorHandler([&errors](const std::exception &error) { errors.handle(error); });
    m_session = std::make_unique<TimeCardSession>(program, prompts, m_clock);
    m_editor = &m_session->editor();
    m_mirror = &m_session->mirror();
    // The list shows the tasks of the TimeCard on screen, which is the one a
    // run ends on.
    m_mirror->setActiveTask([this](qint64 timeCardId) -> qint32 {
        return m_editor->currentTimeCardId() == timeCardId ? m_window->fields().activeTaskId() : 0;
    });
    m_binder = &m_session->binder();
    m_timer = &m_session->timer();
    m_runStore = &m_session->runStore();
    QObject::connect(m_session.get(), &TimeCardSession::rowShown, m_window.get(), [this] {
        m_window->showCurrent();
        showSegmentNote();
    });
    m_interrupt = std::make_unique<InterruptBinding>(
        *m_session, m_clock, *m_window,
        InterruptBinding::Hooks{[this] { return newTimeCard(true); },
                                [this] {
                                    m_window->showCurrent();
                                    showSegmentNote();
                                },
                                [this] { syncTimerTools(); }, [this] { updateCaption(); }});
    QObject::connect(m_timer, &TimerBinding::changed, m_window.get(), [this] {
        m_window->showTimerFields();
        syncTimerTools();
    });
    // Tied to the session, which goes first: its kept work is what is written.
    QObject::connect(&m_program.store.serverWatch(), &ServerWatch::restored, m_session.get(),
                     [this] { writeKeptWork(); });
    m_commands.setLeaveCurrent([this] {
        if (m_editor->leaveCurrent())
            return true;
        m_window->focusField(m_editor->focus().field);
        return false;
    });
    m_window->bind(m_binder, qtTimeFormat(program.timeFormat),
                   offeredRateSources(rateOptions(program.options)));
    m_session->start();
    if (auto *description = m_window->findChild<QPlainTextEdit *>(QStringLiteral("txtDescription")))
        new TimeStampFilter(m_clock, description);
    m_window->addCommandSet(*this);
    m_windowCommands = std::make_unique<WindowCommands>(WindowCommands::Parts{
        program, lifecycle, registry, prompts, errors, m_clock, *m_window, m_commands, *m_session});
    TimeCardFields &fields = m_window->fields();
    fields.setPickLists(m_windowCommands->pickLists());
    m_sight = std::make_unique<TimerInSight>(TimerInSight::Parts{
        *m_session, *m_window, m_commands, program.workingSet, m_windowCommands->pickLists()});
    QObject::connect(
        fields.timeSegment(), &QPlainTextEdit::textChanged, fields.timeSegment(), [this] {
            const std::optional<qint64> id = m_editor->currentTimeCardId();
            if (id && !m_showingNote)
                m_session->notes().set(*id, m_window->fields().timeSegment()->toPlainText());
        });
    new TimeStampFilter(m_clock, fields.timeSegment());
    m_windowCommands->applySettings();
    m_windowCommands->settings().setMailChanged([this] { m_outbox->flush(); });
    m_commands.setDiscardEmpty([this] {
        DeleteContext context = deleteContext();
        return DiscardEmptyTimeCard(*m_editor, context);
    });
    // Escape takes back a TimeCard made by mistake, as long as nothing is in it.
    auto *discard = new QShortcut(QKeySequence(Qt::Key_Escape), m_window.get());
    QObject::connect(discard, &QShortcut::activated, m_window.get(), [this] {
        try {
            if (!m_program.outlook.EnsureOutlook())
                return;
            m_commands.RecordNavigation(NavigationAction::DiscardEmpty);
            m_window->showCurrent();
            showSegmentNote();
        } catch (const QvError &error) {
            m_errorHandler.handle(error);
        }
    });
    m_windowCommands->view().apply();
    m_timer->rowShown();
    m_session->settleLeftOvers();
    syncTimerTools();
    showSegmentNote();
    // What was left unsent last time goes now that the store is open; the
    // command runs while the window starts.
    m_outbox->flush();
    // A running timer is settled and the current TimeCard saved or given up as
    // the person answers, or the window stays.
    m_window->setCloseGuard([this] {
        const auto deleteCurrent = [this] {
            DeleteContext context = deleteContext();
            if (context.cnn && isEmptyTimeCard(*m_editor, *context.cnn))
                return DiscardEmptyTimeCard(*m_editor, context);
            return DeleteRecordAndItems(*m_editor, m_prompts, context);
        };
        const bool settled = m_editor->ProcessActiveCard();
        // With the server away nothing can be saved or deleted, so the
        // questions about the TimeCard would be answered in vain: the person
        // chooses between staying and quitting with the work kept here.
        if (m_program.store.serverWatch().inOutage())
            return quitWithoutServer();
        if (settled && m_editor->QueryUnload(deleteCurrent))
            return true;
        if (m_program.store.serverWatch().inOutage())
            return quitWithoutServer();
        m_window->focusField(m_editor->focus().field);
        return false;
    });
    m_window->setCloseHandler([this](const WindowState &state) {
        const int dpi = m_window->logicalDpiX();
        m_lifecycle.Form_QueryUnload(WindowClosing{
            state.lastRecord, m_program.workingSet.orderBy(),
            QSize(pixelsToTwips(state.size.width(), dpi), pixelsToTwips(state.size.height(), dpi)),
            state.showHidden, m_windowCommands->view().shown().timeDetail,
            m_windowCommands->view().shown().activeTaskList});
    });
}

MainWindowHost::~MainWindowHost()
{
    m_commands.setLeaveCurrent({});
    m_editor->setTimer(nullptr);
    try {
        m_window->bind(nullptr, QString(), QStringList());
    } catch (const std::exception &error) {
        // Unbinding shows the row once more, which may need a server that has
        // gone; nothing is left to show it to.
        qWarning("the window could not be unbound: %s", error.what());
    }
    m_program.outlook.setInspector(nullptr);
}

bool MainWindowHost::newTimeCard(bool noAutostart)
{
    switch (m_session->CreateNewTimeCard(noAutostart)) {
    case TimeCardSession::NewCard::Created:
        return true;
    case TimeCardSession::NewCard::Refused:
        m_window->focusField(m_editor->focus().field);
        return false;
    case TimeCardSession::NewCard::ServerAway:
        return false;
    }
    return false;
}

DeleteContext MainWindowHost::deleteContext()
{
    return m_session->deleteContext(
        [this](const QString &text) { m_window->statusBar()->showMessage(text); });
}

void MainWindowHost::deleteTimeCard()
{
    DeleteRecordAndItems(*m_editor, m_prompts, deleteContext());
}

void MainWindowHost::adjustTime(AdjustDirection direction)
{
    if (m_session->adjustTime(direction, m_window->timeEstimatedHasFocus()))
        m_window->showCurrent();
}

bool MainWindowHost::quitWithoutServer()
{
    const PromptResult answer = m_prompts.messageBox(
        QStringLiteral("Quorvale"),
        QStringLiteral(
            "Quorvale cannot reach the database server, so the current TimeCard cannot be "
            "saved now.\n\nQuit anyway? The timer's time and your changes to the TimeCard "
            "are kept on this computer, and saved the next time Quorvale starts with the "
            "server back.\n\nNo: stay; Quorvale saves everything as soon as the server is "
            "back."),
        PromptButtons::YesNo, PromptIcon::Question);
    if (answer == PromptResult::Yes) {
        m_session->keepUnsavedEdits();
        return true;
    }
    m_window->focusField(m_editor->focus().field);
    return false;
}

void MainWindowHost::writeKeptWork()
{
    // Not under another window: what it shows may depend on the current TimeCard.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(ServerWatch::FirstRetryMs, m_window.get(), [this] { writeKeptWork(); });
        return;
    }
    const bool saved = m_session->writeKeptWork();
    m_window->showCurrent();
    syncTimerTools();
    m_window->statusBar()->showMessage(
        saved ? QStringLiteral("The database server is back; the work kept meanwhile is saved.")
              : QStringLiteral("The database server is back, but not everything kept "
                               "meanwhile could be saved yet."),
        15000);
}

void MainWindowHost::syncTimerTools()
{
    const TimerInterface state = m_timer->timer().ProcessTimerInterface();
    if (QAction *start = m_window->toolById(ToolId::StartTimer)) {
        // The caption changes with the run, and the icon with it; not per tick.
        if (start->text() != state.startTimerCaption) {
            start->setText(state.startTimerCaption);
            start->setIcon(timerToolIcon(state.running, *m_window->style()));
        }
        start->setToolTip(state.startTimerTip);
        start->setEnabled(state.startTimerEnabled);
    }
    if (QAction *cancel = m_window->toolById(ToolId::CancelTimer))
        cancel->setEnabled(state.cancelTimerEnabled);
    // The interruption's tools on the menu follow those of its window.
    const InterruptTools tools = m_interrupt->tools();
    if (QAction *start = m_window->toolById(ToolId::StartTempTimer)) {
        start->setText(tools.startCaption);
        start->setEnabled(tools.startEnabled);
    }
    const std::pair<int, bool> interruptTools[] = {
        {ToolId::PasteToNewTimeCard, tools.pasteToNewEnabled},
        {ToolId::PasteToCurrentTimeCard, tools.pasteToCurrentEnabled},
        {ToolId::CancelInterruption, tools.cancelEnabled},
        {ToolId::Resume, tools.resumeEnabled}};
    for (const auto &[id, enabled] : interruptTools)
        if (QAction *tool = m_window->toolById(id))
            tool->setEnabled(enabled);
    showSegmentNote();
    updateCaption();
}

bool MainWindowHost::handles(int id) const
{
    switch (id) {
    case ToolId::NewTimeCard:
    case ToolId::AddTimeCard:
    case ToolId::DeleteTimeCard:
    case ToolId::StartTimer:
    case ToolId::CancelTimer:
    case ToolId::GoToActive:
    case ToolId::AddTime:
    case ToolId::SubtractTime:
    case ToolId::PopUpAddTime:
    case ToolId::PopUpSubtractTime:
    case ToolId::StartTempTimer:
    case ToolId::PasteToNewTimeCard:
    case ToolId::PasteToCurrentTimeCard:
    case ToolId::CancelInterruption:
    case ToolId::Resume:
        return true;
    default:
        return false;
    }
}

void MainWindowHost::run(int id)
{
    switch (id) {
    case ToolId::DeleteTimeCard:
        deleteTimeCard();
        break;
    case ToolId::StartTimer:
        m_timer->startOrPause();
        break;
    case ToolId::CancelTimer:
        m_timer->cancel();
        break;
    case ToolId::GoToActive:
        if (!m_session->goToActiveCard())
            m_window->focusField(m_editor->focus().field);
        break;
    case ToolId::StartTempTimer:
        m_interrupt->window().show();
        m_interrupt->window().raise();
        m_interrupt->window().mnuStartTempTimer()->trigger();
        break;
    case ToolId::PasteToNewTimeCard:
    case ToolId::PasteToCurrentTimeCard:
    case ToolId::CancelInterruption:
    case ToolId::Resume:
        m_interrupt->runTool(id);
        break;
    case ToolId::AddTime:
    case ToolId::PopUpAddTime:
        adjustTime(AdjustDirection::Add);
        break;
    case ToolId::SubtractTime:
    case ToolId::PopUpSubtractTime:
        adjustTime(AdjustDirection::Subtract);
        break;
    case ToolId::NewTimeCard:
    case ToolId::AddTimeCard:
        newTimeCard();
        break;
    default:
        // A tool nobody handles does nothing, rather than something unasked.
        qWarning("tool %d has no command here; ignored", id);
        return;
    }
    syncTimerTools();
}

void MainWindowHost::showSegmentNote()
{
    QPlainTextEdit *field = m_window->fields().timeSegment();
    const std::optional<qint64> id = m_editor->currentTimeCardId();
    const QString note = id ? m_session->notes().note(*id) : QString();
    if (field->toPlainText() != note) {
        const FlagScope showing(m_showingNote);
        field->setPlainText(note);
    }
    // Typed into while this TimeCard's run is on; a pasted note shows until a run takes it.
    const bool enabled = m_timer->timer().ProcessTimerInterface().timeSegmentEnabled;
    if (field->isEnabled() != enabled)
        field->setEnabled(enabled);
}

TimerTray &MainWindowHost::tray()
{
    return m_sight->tray();
}

void MainWindowHost::updateCaption()
{
    if (m_sight)
        m_sight->update();
}

void MainWindowHost::show()
{
    const int dpi = m_window->logicalDpiX();
    const QSize twips = m_lifecycle.windowSizeTwips();
    QSize size(twipsToPixels(twips.width(), dpi), twipsToPixels(twips.height(), dpi));
    // A size saved on a larger screen must not push the window past this one.
    if (const QScreen *screen = m_window->screen())
        size = size.boundedTo(screen->availableGeometry().size());
    m_window->resize(size);
    m_window->show();
    m_lifecycle.Form_Activate();
    m_session->startUpReminder();
    // The report tools follow what the first activation found.
    m_window->refreshToolStates();
    syncTimerTools();
    // Once the window is drawn: the tour offered at the first start (or the
    // day's tip), and a backup the administrator's schedule has due.
    QTimer::singleShot(0, m_window.get(), [this] {
        try {
            m_windowCommands->tour().atStart();
        } catch (const std::exception &error) {
            m_errorHandler.handle(error);
        }
        m_windowCommands->databases().backupIfDue();
    });
}

} // namespace quorvale
