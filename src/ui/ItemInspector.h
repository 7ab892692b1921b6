#pragma once

#include "platform/pim/Item.h"
#include "platform/pim/MailTransport.h"

#include <QList>
#include <QPointer>
#include <functional>

class QWidget;

namespace quorvale {

class ItemEditorDialog;
class Prompts;

namespace pim {
class Namespace;
}

// Shows items in our editor dialogs when the program calls Item::Display.
// Hand it to the outlook session (setInspector) for as long as it lives.
//
// Modal: edits the caller's item and returns whether it is saved afterwards.
// Non-modal: the editor reads its own copy of the item by EntryID through the
// namespace and owns it, so it may outlive the caller's item; it deletes itself
// when closed. An item that copy would not match (never saved, or holding
// unsaved changes) is shown modally instead, since the caller's item cannot be
// trusted to stay alive.
class ItemInspector : public pim::Inspector {
public:
    // How the editors send: the transport asked for each editor (so changed
    // options count at once; none: messages wait in the Outbox), and what to
    // call once an editor that sent something has closed.
    struct Mail {
        std::function<pim::MailTransport()> transport;
        std::function<void()> sent;
    };

    ItemInspector(Prompts &prompts, pim::Namespace *ns, Mail mail = {}, QWidget *parent = nullptr);
    // Closes the editors still open: they refer to this inspector's prompts.
    ~ItemInspector() override;
    ItemInspector(const ItemInspector &) = delete;
    ItemInspector &operator=(const ItemInspector &) = delete;

    bool display(pim::Item &item, bool modal) override;

    // The non-modal editors still open.
    QList<ItemEditorDialog *> openEditors() const;

private:
    Prompts &m_prompts;
    pim::Namespace *m_ns;
    Mail m_mail;
    QPointer<QWidget> m_parent;
    QList<QPointer<ItemEditorDialog>> m_open;
};

} // namespace quorvale
