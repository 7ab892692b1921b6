#include "ui/NewItemCommands.h"

#include "data/DataStore.h"
#include "outlook/AutoTasks.h"
#include "outlook/ContactCards.h"
#include "outlook/OutlookSession.h"
#include "session/TimeCardMirror.h"
#include "settings/AdminSettings.h"
#include "settings/MailSettings.h"
#include "settings/RegSettings.h"
#include "timecards/CommandTable.h"
#include "timecards/MissingLinks.h"
#include "timecards/TimeCardEditor.h"
#include "timecards/TimeFormat.h"
#include "ui/ContactPickerDialog.h"
#include "ui/PointerScope.h"
#include "ui/frmAutoTasks.h"
#include "ui/frmNewItem.h"
#include "ui/frmOutOfOffice.h"
#include "ui/frmTimeCard.h"

#include <QApplication>
#include <QStatusBar>
#include <exception>

namespace quorvale {

namespace {

struct ItemCommand {
    int toolId;
    const char *caption;
    const char *opening;
};

constexpr ItemCommand ItemCommands[] = {
    {ToolId::NewPersonalTask, " New Personal Task", "Opening new personal task..."},
    {ToolId::NewTaskRequest, " New Task Request", "Opening new task request..."},
    {ToolId::NewScheduledAppointment, " New Scheduled Appointment", "Opening new appointment..."},
    {ToolId::NewNote, " New Note", "Opening new note..."},
    {ToolId::NewMessage, " New Message", "Opening new message..."},
    {ToolId::NewExpense, " New Expense", "Opening new expense..."},
    {ToolId::NewProductSale, " New Fixed Charge", "Opening new fixed charge..."},
};

const ItemCommand *itemCommand(int toolId)
{
    for (const ItemCommand &command : ItemCommands)
        if (command.toolId == toolId)
            return &command;
    return nullptr;
}

bool isCharge(int toolId)
{
    return toolId == ToolId::NewExpense || toolId == ToolId::NewProductSale;
}

NewItemSettings itemSettings(const RegSettings &s, const AdminOptions &o)
{
    NewItemSettings n;
    n.tasks = s.tasks;
    n.appointments = {s.appointments.category, s.appointments.reminder, s.appointments.showTimeAs,
                      s.appointments.duration};
    n.noteCategory = s.notes.category;
    n.defaultEntryType = s.journal.entryType;
    n.terms = {o.terms.activity1, o.activity1InUse, o.terms.activity2, o.activity2InUse,
               o.jobOrderTerm};
    n.contactInUse = o.contactInUse;
    n.sender = mailSender(s);
    return n;
}

} // namespace

NewItemCommands::NewItemCommands(frmTimeCard &window, DataStore &store, OutlookSession &outlook,
                                 const RegSettings &settings, const AdminOptions &options,
                                 const QString &timeFormat, TimeCardEditor &editor,
                                 TimeCardMirror &mirror, Registry &registry, Prompts &prompts)
    : m_window(window), m_store(store), m_outlook(outlook), m_settings(settings),
      m_options(options), m_timeFormat(timeFormat), m_editor(editor), m_mirror(mirror),
      m_registry(registry), m_prompts(prompts)
{
}

void NewItemCommands::setOpenChargeDialog(ChargeDialog openChargeDialog)
{
    m_openChargeDialog = std::move(openChargeDialog);
    m_window.refreshToolStates();
}

bool NewItemCommands::handles(int toolId) const
{
    if (isCharge(toolId))
        return static_cast<bool>(m_openChargeDialog);
    return itemCommand(toolId) || toolId == ToolId::ManualAppointment ||
           toolId == ToolId::AutoTasks || toolId == ToolId::OpenContactCard;
}

void NewItemCommands::run(int toolId)
{
    if (!handles(toolId))
        return;
    if (toolId == ToolId::ManualAppointment)
        outOfOfficeTime();
    else if (toolId == ToolId::OpenContactCard)
        openContactCard();
    else if (toolId == ToolId::AutoTasks)
        openAutoTasks(std::nullopt);
    else if (isCharge(toolId))
        newCharge(toolId);
    else
        newItem(toolId);
}

void NewItemCommands::openContactCard()
{
    const QVariant contact = m_editor.currentTimeCardId()
                                 ? m_editor.timeCards().value(QStringLiteral("ContactID"))
                                 : QVariant();
    if (contact.isNull() || contact.toInt() == 0) {
        status(QStringLiteral("This TimeCard has no %1.").arg(m_options.terms.contact.toLower()));
        return;
    }
    // A card missing (never made, or deleted by another program) is made again
    // from the row first, so there is always something to open.
    if (const std::unique_ptr<ContactCards> cards = contactCardsOf(m_outlook, m_store.cnnLink());
        cards && cards->read(contact.toInt()).state != ContactCards::State::Present)
        cards->write(contact.toInt(), {});
    if (!creation().OpenOLContactItem(contact.toInt()))
        status(QStringLiteral("The %1's card could not be opened.")
                   .arg(m_options.terms.contact.toLower()));
}

void NewItemCommands::status(const QString &text)
{
    m_window.statusBar()->showMessage(text);
}

std::optional<NewItemChoice> NewItemCommands::choose(int toolId, bool timeCardAvailable)
{
    const ItemCommand *command = itemCommand(toolId);
    NewItemDialogSetup setup;
    setup.caption = QString::fromLatin1(command->caption);
    setup.timeCardAvailable = timeCardAvailable;
    setup.contactOption = !isCharge(toolId) && m_options.contactInUse;
    setup.taskTypes = toolId == ToolId::NewPersonalTask;
    setup.contactTerm = m_options.terms.contact;
    db::Connection &cnn = m_store.cnnLink();
    const QString term = setup.contactTerm;
    // A contact list that cannot be read must not unwind through the dialog's
    // event loop: the failure is carried out and raised once the dialog is gone.
    std::exception_ptr failure;
    frmNewItem dialog(
        setup,
        [&dialog, &cnn, term, &failure]() -> std::optional<std::pair<qint32, QString>> {
            try {
                const auto picked = ContactPickerDialog::OpenItemList(&dialog, cnn, term);
                if (picked)
                    return std::pair{picked->QuorvaleID, picked->ContactName};
            } catch (...) {
                failure = std::current_exception();
                dialog.reject();
            }
            return std::nullopt;
        },
        m_prompts, &m_window);
    bool accepted = false;
    {
        const PointerScope arrow(Qt::ArrowCursor);
        accepted = dialog.exec() == QDialog::Accepted;
    }
    if (failure)
        std::rethrow_exception(failure);
    if (!accepted)
        return std::nullopt;
    return dialog.choice();
}

bool NewItemCommands::missingLinks()
{
    const AdminOptions &o = m_options;
    const QSqlRecord row = m_editor.timeCards().record();
    const auto has = [&row](const char *column) {
        return row.value(QLatin1String(column)).toInt() != 0;
    };
    const LinkFields fields{
        {o.terms.contact, o.contactInUse, o.contactRequired, has("ContactID")},
        {o.terms.activity1, o.activity1InUse, o.activity1Required, has("Activity1ID")},
        {o.terms.activity2, o.activity2InUse, o.activity2Required, has("Activity2ID")}};
    const PointerScope arrow(Qt::ArrowCursor);
    return MissingLinks(fields, m_prompts);
}

NewItemRequest NewItemCommands::request(const NewItemChoice &choice)
{
    NewItemRequest r;
    r.mode = choice.mode;
    r.taskType = choice.taskType;
    r.contactId = choice.contactId;
    if (m_editor.currentTimeCardId()) {
        const TimeCard card = TimeCard::fromRecord(m_editor.timeCards().record());
        r.card = m_mirror.snapshot(card);
        r.variables = m_mirror.variables(card);
    }
    r.templates = m_mirror.context();
    return r;
}

ItemCreation NewItemCommands::creation()
{
    return ItemCreation(m_outlook, m_store.cnnLink(), m_prompts,
                        itemSettings(m_settings, m_options));
}

void NewItemCommands::newItem(int toolId)
{
    const bool timeCard = m_editor.currentTimeCardId().has_value();
    const std::optional<NewItemChoice> choice = choose(toolId, timeCard);
    if (!choice)
        return;
    if (choice->mode == LinkMode::TimeCard && missingLinks())
        return;
    if (toolId == ToolId::NewPersonalTask && choice->taskType == TaskType::AutoTask) {
        openAutoTasks(choice);
        return;
    }
    status(QString::fromLatin1(itemCommand(toolId)->opening));
    create(toolId, *choice);
}

bool NewItemCommands::create(int toolId, const NewItemChoice &choice)
{
    NewItemRequest r = request(choice);
    ItemCreation items = creation();
    const PointerScope arrow(Qt::ArrowCursor);
    switch (toolId) {
    case ToolId::NewPersonalTask:
    case ToolId::NewTaskRequest:
        r.taskRequest = toolId == ToolId::NewTaskRequest;
        return items.New_Task(r).linked;
    case ToolId::NewScheduledAppointment:
        return items.New_Appointment(r).linked;
    case ToolId::NewNote:
        return items.New_Note(r).linked;
    case ToolId::NewMessage:
        return items.New_Message(r).outcome == MessageOutcome::Linked;
    default:
        return false;
    }
}

namespace {

const struct LinkedItemTool {
    LinkedItemCode code;
    int toolId;
    const char *status;
} LinkedItemTools[] = {
    {LinkedItemCode::PersonalTask, ToolId::NewPersonalTask, "Adding linked personal task..."},
    {LinkedItemCode::TaskRequest, ToolId::NewTaskRequest, "Adding linked task request..."},
    {LinkedItemCode::Message, ToolId::NewMessage, "Opening new message..."},
    {LinkedItemCode::ScheduledAppointment, ToolId::NewScheduledAppointment,
     "Opening new appointment..."},
    {LinkedItemCode::Note, ToolId::NewNote, "Opening new note..."},
};

} // namespace

std::optional<LinkedItemCode> NewItemCommands::linkedItemCodeFor(int toolId)
{
    for (const LinkedItemTool &entry : LinkedItemTools)
        if (entry.toolId == toolId)
            return entry.code;
    return std::nullopt;
}

bool NewItemCommands::NewLinkedItem(LinkedItemCode code)
{
    for (const LinkedItemTool &entry : LinkedItemTools) {
        if (entry.code != code)
            continue;
        if (!m_editor.currentTimeCardId() || missingLinks())
            return false;
        status(QString::fromLatin1(entry.status));
        return create(entry.toolId, NewItemChoice{});
    }
    return false;
}

void NewItemCommands::newCharge(int toolId)
{
    const std::optional<NewItemChoice> choice =
        choose(toolId, m_editor.currentTimeCardId().has_value());
    if (!choice || !m_openChargeDialog)
        return;
    status(QString::fromLatin1(itemCommand(toolId)->opening));
    const PointerScope arrow(Qt::ArrowCursor);
    m_openChargeDialog(toolId == ToolId::NewExpense, choice->mode == LinkMode::TimeCard);
}

void NewItemCommands::outOfOfficeTime()
{
    if (!m_editor.currentTimeCardId())
        return;
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime end(now.date(), QTime(now.time().hour(), now.time().minute()));
    frmOutOfOffice dialog(OutOfOfficeTime{end.addSecs(-3600), end, false, QString()},
                          qtTimeFormat(m_timeFormat), m_prompts, &m_window);
    {
        const PointerScope arrow(Qt::ArrowCursor);
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    status(QStringLiteral("Creating Outlook appointment..."));
    const PointerScope arrow(Qt::ArrowCursor);
    const OutOfOfficeTime time = dialog.time();
    const clsAutoAppointment::Result result =
        m_mirror.ManualAppointment(TimeCard::fromRecord(m_editor.timeCards().record()), time);
    // Deleting the appointment later gives its time back, so it must have been counted.
    if (result.written && m_addTimeSpent)
        m_addTimeSpent(time.start.secsTo(time.end));
}

void NewItemCommands::openAutoTasks(std::optional<NewItemChoice> choice)
{
    status(QStringLiteral("Opening AutoTasks..."));
    if (!choice) {
        // From the menu: for the current TimeCard when there is one.
        choice = NewItemChoice{};
        choice->mode = m_editor.currentTimeCardId() ? LinkMode::TimeCard : LinkMode::None;
    }
    choice->taskType = TaskType::AutoTask;
    const NewItemChoice chosen = *choice;
    // A failure must not unwind through the window's event loop: it is
    // carried out and raised again once the window is gone.
    std::exception_ptr failure;
    frmAutoTasks *shown = nullptr;
    frmAutoTasks window(
        readAutoTasks(m_registry),
        [this, &failure, &shown](const QList<AutoTask> &tasks) {
            try {
                writeAutoTasks(m_registry, tasks);
            } catch (...) {
                failure = std::current_exception();
                if (shown)
                    shown->reject();
            }
        },
        [this, chosen, &failure, &shown](const AutoTask &task) {
            try {
                if (chosen.mode == LinkMode::TimeCard && missingLinks())
                    return;
                NewItemRequest r = request(chosen);
                r.autoTask = task;
                creation().New_Task(r);
            } catch (...) {
                failure = std::current_exception();
                if (shown)
                    shown->reject();
            }
        },
        &m_window);
    shown = &window;
    {
        const PointerScope arrow(Qt::ArrowCursor);
        window.exec();
    }
    shown = nullptr;
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace quorvale
