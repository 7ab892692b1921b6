#pragma once

#include "platform/pim/MailTransport.h"
#include "ui/ItemEditorFieldControl.h"
#include "ui/ItemEditorFields.h"

#include <QDialog>
#include <QSet>
#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QPushButton;

namespace quorvale {

class Prompts;

namespace pim {
class Item;
class Namespace;
class TaskItem;
} // namespace pim

// What an item editor needs besides the item. `ns` (may be null) gives the
// category master list and finds a message again in the Outbox when sending
// failed; `prompts` must outlive the editor. `sent`, when set, is called once
// an editor that sent something has closed, so that whatever else waits in the
// Outbox goes too.
struct ItemEditorContext {
    Prompts &prompts;
    pim::Namespace *ns = nullptr;
    pim::MailTransport transport = {};
    std::function<void()> sent = {};
};

// Our stand-in for an Outlook inspector: edits one item of any kind, its fields
// laid out from the kind's table (ItemEditorFields). Only fields the person
// changed are written to the item, so a value the editor shows differently
// from how the file holds it is not rewritten just by being shown.
class ItemEditorDialog : public QDialog {
    Q_OBJECT

public:
    // Edits `item`, which must outlive the dialog.
    ItemEditorDialog(pim::Item &item, ItemEditorContext context, QWidget *parent = nullptr);
    // Edits an item the dialog owns (an editor that stays open on its own).
    ItemEditorDialog(std::unique_ptr<pim::Item> item, ItemEditorContext context,
                     QWidget *parent = nullptr);
    ~ItemEditorDialog() override;

    ItemEditorKind kind() const { return m_kind; }
    pim::Item &item() const { return *m_item; }
    // The person changed a field, or the item had unsaved changes when it came.
    bool isModified() const;
    // The control of a field by its property name, else nullptr.
    const ItemEditorFieldControl *control(const QString &property) const;
    QPushButton *sendButton() const { return m_send; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *closeButton() const { return m_close; }
    // The last word on sending or saving ("" when none).
    QString statusText() const;
    // What the last Send did, when there was one.
    const std::optional<pim::SendResult> &sendResult() const { return m_sendResult; }

    // Saves and closes; stays open when the item cannot be written. A message
    // not sent yet is kept in Drafts when it was in Sent Items.
    void saveAndClose();
    // Messages: saves, hands the message to the transport, closes unless that
    // failed. Task requests: saves the task and mails it to its recipients as
    // an iCalendar request, then closes.
    void send();
    // Close, Esc and the window's close button: asks first when there are changes.
    void reject() override;

private:
    void build();
    void load();
    void applyEdits();
    bool save();
    void sendTaskRequest(pim::TaskItem &task);
    void retarget(const pim::SendResult &result);
    void adopt(std::unique_ptr<pim::Item> item);
    void updateEnabled();
    void updateTitle();
    void showStatus(const QString &text);

    std::unique_ptr<pim::Item> m_owned;
    pim::Item *m_item;
    ItemEditorContext m_context;
    ItemEditorKind m_kind;
    bool m_cameUnsaved;
    bool m_applied = false;
    std::vector<ItemEditorFieldControl> m_controls;
    QSet<int> m_edited;
    QLabel *m_status = nullptr;
    QPushButton *m_send = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_close = nullptr;
    std::optional<pim::SendResult> m_sendResult;
};

} // namespace quorvale
