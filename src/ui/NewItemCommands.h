#pragma once

#include "outlook/ItemCreation.h"
#include "timecards/CommandSet.h"

#include <QString>
#include <functional>
#include <optional>

namespace quorvale {

class Prompts;
class Registry;
class DataStore;
class OutlookSession;
struct AdminOptions;
struct RegSettings;
class TimeCardEditor;
class TimeCardMirror;
class frmTimeCard;
struct NewItemChoice;

// File > New: tasks, task requests, scheduled appointments, notes and
// messages through the selection dialog; the out-of-office time; the
// AutoTasks window. Expenses and fixed charges go through the same dialog and
// then to `openChargeDialog`; while that is unset they are not handled.
// The links list's item codes, numbered as the program has always numbered them.
enum class LinkedItemCode {
    PersonalTask = 9,
    TaskRequest = 11,
    Message = 12,
    ScheduledAppointment = 13,
    Note = 14
};

class NewItemCommands : public CommandSet {
public:
    NewItemCommands(frmTimeCard &window, DataStore &store, OutlookSession &outlook,
                    const RegSettings &settings, const AdminOptions &options,
                    const QString &timeFormat, TimeCardEditor &editor, TimeCardMirror &mirror,
                    Registry &registry, Prompts &prompts);

    bool handles(int toolId) const override;
    void run(int toolId) override;

    // isExpense: an expense, else a fixed charge; linked: to the current TimeCard.
    using ChargeDialog = std::function<void(bool isExpense, bool linked)>;
    // Claims the expense and fixed-charge tools (or gives them up when empty)
    // and has the window enable them accordingly.
    void setOpenChargeDialog(ChargeDialog openChargeDialog);

    // The links list's own tools: an item linked to the current TimeCard
    // without the selection dialog. True when a link row was written.
    bool NewLinkedItem(LinkedItemCode code);
    // The code of a new-item tool that the links list offers too.
    static std::optional<LinkedItemCode> linkedItemCodeFor(int toolId);
    // Counts out-of-office time on the current TimeCard once its appointment is
    // written, as a timer run counts its time.
    void setTimeSpentAdder(std::function<void(qint64 seconds)> add)
    {
        m_addTimeSpent = std::move(add);
    }
    // True when the current TimeCard lacks a required contact or activity; the
    // person has been told which.
    bool missingLinks();

private:
    void openContactCard();
    bool create(int toolId, const NewItemChoice &choice);
    std::optional<NewItemChoice> choose(int toolId, bool timeCardAvailable);
    NewItemRequest request(const NewItemChoice &choice);
    ItemCreation creation();
    void newItem(int toolId);
    void newCharge(int toolId);
    void outOfOfficeTime();
    void openAutoTasks(std::optional<NewItemChoice> choice);
    void status(const QString &text);

    frmTimeCard &m_window;
    DataStore &m_store;
    OutlookSession &m_outlook;
    const RegSettings &m_settings;
    const AdminOptions &m_options;
    const QString &m_timeFormat;
    TimeCardEditor &m_editor;
    TimeCardMirror &m_mirror;
    Registry &m_registry;
    Prompts &m_prompts;
    ChargeDialog m_openChargeDialog;
    std::function<void(qint64 seconds)> m_addTimeSpent;
};

} // namespace quorvale
