#pragma once

#include "charges/ChargeKind.h"
#include "timecards/CommandSet.h"
#include "ui/PickListSources.h"

#include <QtGlobal>
#include <optional>

namespace quorvale {

class Prompts;
class DataStore;
struct AdminOptions;
struct RegSettings;
class TimeCardEditor;
class frmTimeCard;
struct ChargeWindowContext;

// Expenses and fixed charges from the main window: the linked expenses of the
// current TimeCard (tool bar) and the manage-all windows (Ctrl+F5, Ctrl+F6).
// The new-item commands choose their kind elsewhere and come in through
// itemDialog(). Run-time errors are thrown on (QvError) to the caller, the main
// window's command guard or the Links page, which hand them to the common error
// handler.
class ChargeCommands : public CommandSet {
public:
    ChargeCommands(frmTimeCard &window, DataStore &store, const RegSettings &settings,
                   const AdminOptions &options, PickListSource pickLists, TimeCardEditor &editor,
                   Prompts &prompts);

    bool handles(int toolId) const override;
    void run(int toolId) override;

    // The charge window: mode 0 add, 1 edit one (itemId), 2 manage all. A linked
    // window (standalone false) works on the current TimeCard, which is settled
    // (validated and saved) first; without one nothing opens.
    void itemDialog(ChargeMode mode, bool standalone, bool isExpense, qint64 itemId = 0);
    // A new charge for the current TimeCard.
    void addLinked(bool isExpense) { itemDialog(ChargeMode::Add, false, isExpense); }
    // A charge of the current TimeCard, from its links.
    void editLinked(bool isExpense, qint64 id)
    {
        itemDialog(ChargeMode::EditOne, false, isExpense, id);
    }

private:
    bool expensesInUse() const;
    bool fixedChargesInUse() const;
    // The window's context; nullopt when a linked window has no TimeCard to use.
    std::optional<ChargeWindowContext> context(bool standalone, bool onlyThisTimeCard);

    frmTimeCard &m_window;
    DataStore &m_store;
    const RegSettings &m_settings;
    const AdminOptions &m_options;
    PickListSource m_pickLists;
    TimeCardEditor &m_editor;
    Prompts &m_prompts;
};

} // namespace quorvale
