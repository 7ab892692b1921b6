#pragma once

#include "timecards/ContactPicker.h"
#include "timecards/PickLists.h"
#include "timecards/TimeCardValue.h"
#include "timecards/UpdatePrompt.h"

#include <QString>
#include <QVariant>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace quorvale {

class Prompts;

namespace db {
class Connection;
}

// Whether the TimeCard has any link row (items, documents, expenses, fixed
// charges) that a change of its contact may have to follow.
bool hasLinkedItems(db::Connection &cnnLink, qint64 timeCardId);

// How far the linked items are to follow the change, as the person answered.
struct UpdatePromptAnswer {
    bool asked = false; // false: the TimeCard has no linked items
    bool modifySubject = false;
    bool modifyBody = false;
};

// What choosing a contact needs of the window's current TimeCard. Unset
// callbacks stand for what is not in use: without `activities` no list is
// refilled, without `lookUpRate` no rate is looked up again.
struct ContactChoiceHooks {
    std::function<bool()> locked;                     // an invoiced TimeCard
    std::function<std::optional<qint32>()> contactId; // its ContactID (nullopt: Null)
    std::function<bool()> hasLinkedItems;             // any row of the link tables
    std::function<bool(const QString &column, const QVariant &value)> write;
    std::function<std::optional<qint32>(int level)> activityId; // Activity1ID / Activity2ID
    // The activity list of a level (1, 2) for a contact, as activityEntries gives it.
    std::function<std::vector<PickEntry>(int level, std::optional<qint32> contactId)> activities;
    // The realization a TimeCard of this contact takes (applicableRealization).
    std::function<Realization(std::optional<qint32> contactId)> realization;
    std::function<QString()> rateSource;
    std::function<void()> lookUpRate;     // looks the rate up and recomputes the value
    std::function<void()> recomputeValue; // the value alone
};

struct ContactChoiceOptions {
    bool billingInUse = false;
    bool activity1InUse = false;
    bool activity2InUse = false;
    QString contactTerm; // the contact rate source is contactTerm + " Rates"
};

// One activity list after the change: what it offers and which entry stands
// for the TimeCard's activity now.
struct ActivityRefill {
    bool inUse = false;
    std::vector<PickEntry> entries;
    int selected = 0;
    bool cleared = false; // the old activity was not offered any more and is now Null
};

struct ContactChange {
    // False when nothing was written: no contact chosen, the same one again,
    // the prompt cancelled, or the TimeCard locked.
    bool changed = false;
    bool cancelled = false; // the person cancelled " Modify Outlook Fields?"
    std::optional<qint32> contactId;
    QString contactName;
    UpdatePromptAnswer update;
    std::array<ActivityRefill, 2> activities;
    std::optional<Realization> realization; // set when billing is in use
    bool rateLookedUp = false;
};

// Choosing the contact of the current TimeCard ("Select TimeCard contact.") and
// clearing it ("Delete TimeCard contact."): the linked items' question, the new
// ContactID, activity lists refilled for the new contact with any activity it
// no longer offers cleared, and, with billing, the contact's realization and
// rate. Refreshing the link list and updating the linked items themselves are
// the caller's, from the result.
class ContactChoice {
public:
    ContactChoice(ContactChoiceHooks hooks, ContactChoiceOptions options, Prompts &prompts);

    // `picked` is what the picker returned; nullopt (nothing chosen) changes nothing.
    ContactChange choose(const std::optional<PickedContact> &picked);
    ContactChange clear();

private:
    ContactChange change(std::optional<qint32> id, const QString &name);
    UpdatePromptAnswer ask(bool &cancelled);
    ActivityRefill refill(int level, std::optional<qint32> contactId);

    ContactChoiceHooks m_hooks;
    ContactChoiceOptions m_options;
    Prompts &m_prompts;
};

} // namespace quorvale
