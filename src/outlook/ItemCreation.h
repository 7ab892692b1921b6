#pragma once

#include "outlook/AutoTasks.h"
#include "outlook/LinkMode.h"
#include "outlook/TaskDefaults.h"
#include "outlook/Templates.h"
#include "outlook/TimeCardSnapshot.h"
#include "outlook/UserPropertyWriter.h"
#include "platform/pim/MailMessage.h"

#include <QString>
#include <memory>
#include <optional>

namespace quorvale {

class OutlookSession;
class Prompts;

namespace db {
class Connection;
}

namespace pim {
class ContactItem;
class IcalItem;
class Item;
} // namespace pim

struct AppointmentItemDefaults {
    QString category = QStringLiteral("None");
    QString reminder = QStringLiteral("2 days");
    QString showTimeAs = QStringLiteral("Busy");
    QString duration = QStringLiteral("1 hour");
};

// The person's defaults and the administrator's terms new items follow.
struct NewItemSettings {
    TaskDefaults tasks;
    AppointmentItemDefaults appointments;
    QString noteCategory = QStringLiteral("None");
    QString defaultEntryType = QStringLiteral("Task");
    UserPropertyTerms terms;
    bool contactInUse = true;
    // Who new messages are from; no address: the environment's.
    pim::MailRecipient sender;
};

// One creation command: what the selection dialog chose and the TimeCard it
// was chosen on.
struct NewItemRequest {
    LinkMode mode = LinkMode::TimeCard;
    TaskType taskType = TaskType::Normal;
    bool taskRequest = false;
    qint32 contactId = 0;             // the contact chosen for LinkMode::Contact
    std::optional<AutoTask> autoTask; // the predefined task of TaskType::AutoTask
    TimeCardSnapshot card;
    ItemVariables variables;
    TemplateContext templates; // its `now` is the moment dates count from
};

struct NewItemResult {
    bool saved = false;  // false: the person closed the item without saving it
    bool linked = false; // a link row names the item now
    QString entryId;
    QString storeId;
    int delegationState = 0; // tasks: 0 a personal task, otherwise an assigned one
};

enum class MessageOutcome {
    Discarded,  // closed unsent and unsaved: nothing exists
    Linked,     // found in the sent folder and linked to the TimeCard
    Found,      // found in the sent folder; no link was asked for
    NotTracked, // the message exists but not (yet) as sent: "No Link Created"
};

struct NewMessageResult {
    MessageOutcome outcome = MessageOutcome::Discarded;
    QString entryId;
    QString storeId;
};

// The contact values an item is filled from, after the link mode decided whose.
struct ItemContact {
    QString entryId; // the contact item's; empty: none
    QString name;
    QString account;
    QString category; // the categories the new item gets
};

// Makes new tasks, scheduled appointments, notes and messages, shows each in
// its editor (modal) and, once the person saved or sent it, marks and links it
// to the TimeCard as the link mode asks. An item closed without saving gets no
// properties and no link row. Link rows are inserted with bound parameters in
// the same transaction as the item's last save: when either fails, the item
// stays as the person saved it, unmarked and unlinked.
// Database and item-store failures come out as QvError; a store that cannot be
// reached has been reported (10321) and nothing is made.
class ItemCreation {
public:
    ItemCreation(OutlookSession &session, db::Connection &cnnLink, Prompts &prompts,
                 NewItemSettings settings);

    NewItemResult New_Task(NewItemRequest &request);
    NewItemResult New_Appointment(NewItemRequest &request);
    NewItemResult New_Note(NewItemRequest &request);
    NewMessageResult New_Message(NewItemRequest &request);

    // Adjusts the request's variables for its link mode and returns the contact
    // the item is filled from; nothing when the store cannot be reached.
    // Another contact than the TimeCard's takes none of the TimeCard's own
    // values, and the entry type and category of the person's defaults.
    std::optional<ItemContact> SetItemVariables(NewItemRequest &request,
                                                const QString &defaultCategory);

    // Shows the contact's item (not modal); false when it has none or it
    // cannot be read.
    bool OpenOLContactItem(qint32 contactId);

private:
    std::optional<ItemContact> contactOf(qint32 contactId);
    void fillLinked(pim::IcalItem &item, const ItemContact &contact,
                    const pim::ContactItem *contactItem, TemplateKind kind, NewItemRequest &request,
                    bool withSubject);
    void link(pim::Item &item, const QString &table, const NewItemRequest &request,
              bool withProperties, bool withStoreId);

    OutlookSession &m_session;
    db::Connection &m_cnn;
    Prompts &m_prompts;
    NewItemSettings m_settings;
};

} // namespace quorvale
