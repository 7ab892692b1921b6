#include "ui/ItemInspector.h"

#include "platform/pim/Namespace.h"
#include "ui/ItemEditorDialog.h"

#include <QWidget>

namespace quorvale {

ItemInspector::ItemInspector(Prompts &prompts, pim::Namespace *ns, Mail mail, QWidget *parent)
    : m_prompts(prompts), m_ns(ns), m_mail(std::move(mail)), m_parent(parent)
{
}

ItemInspector::~ItemInspector()
{
    for (const QPointer<ItemEditorDialog> &editor : std::as_const(m_open))
        delete editor.data();
}

bool ItemInspector::display(pim::Item &item, bool modal)
{
    const ItemEditorContext context{
        m_prompts, m_ns, m_mail.transport ? m_mail.transport() : pim::MailTransport(), m_mail.sent};
    std::unique_ptr<pim::Item> copy;
    if (!modal && m_ns && item.Saved())
        copy = m_ns->itemFromId(item.EntryID(), item.StoreID());
    if (!copy) {
        ItemEditorDialog dialog(item, context, m_parent);
        dialog.exec();
        return item.Saved();
    }
    auto *editor = new ItemEditorDialog(std::move(copy), context, m_parent);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    m_open.removeAll(nullptr);
    m_open << editor;
    editor->show();
    return item.Saved();
}

QList<ItemEditorDialog *> ItemInspector::openEditors() const
{
    QList<ItemEditorDialog *> list;
    for (const QPointer<ItemEditorDialog> &editor : m_open) {
        if (editor)
            list << editor.data();
    }
    return list;
}

} // namespace quorvale
