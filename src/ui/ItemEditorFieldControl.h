#pragma once

#include "ui/ItemEditorFields.h"

#include <QVariant>
#include <functional>

class QObject;
class QWidget;

namespace quorvale {

namespace pim {
class Namespace;
}

// The control that edits one field of an item editor. The widgets belong to
// their Qt parent; this only knows how to move a value in and out of them.
class ItemEditorFieldControl {
public:
    ItemEditorFieldControl(ItemEditorField field, QWidget *parent, pim::Namespace *ns);

    const ItemEditorField &field() const { return m_field; }
    // What the layout holds.
    QWidget *widget() const { return m_widget; }
    // What takes the focus: a label's buddy, and what tests type into.
    QWidget *input() const { return m_input; }

    // An invalid value shows as empty, 0, or "None".
    void setValue(const QVariant &value);
    QVariant value() const;
    // `edited` runs on every later change of the value (call after setValue).
    void onEdited(QObject *context, const std::function<void()> &edited) const;

private:
    ItemEditorField m_field;
    QWidget *m_widget = nullptr;
    QWidget *m_input = nullptr;
};

} // namespace quorvale
