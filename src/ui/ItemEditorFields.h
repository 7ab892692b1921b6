#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <functional>

namespace quorvale {

namespace pim {
class Item;
}

// Which editor an item gets. A task that has been assigned (or has recipients)
// is edited as a task request.
enum class ItemEditorKind { Journal, Appointment, Task, TaskRequest, Note, Message, Contact };

enum class FieldEditor {
    Line,       // one line of text
    Text,       // several lines
    DateTime,   // date and time; shows "None" for no value
    Date,       // a date (stored at midnight); "None" for no value
    Number,     // a whole number
    Choice,     // one of `choices`
    Check,      // on or off; the label is the check box's own text
    Categories, // the item's categories with a chooser over the master list
};

struct FieldChoice {
    QString text;
    // What is stored; invalid: the text itself, and the list takes any text.
    QVariant value = {};
};

// One row of an editor: adding a field to an editor is adding one of these to
// its table (ItemEditorFields.cpp).
struct ItemEditorField {
    // The property's Outlook name, read with Item::property and written with
    // Item::setProperty.
    QString property;
    // With its access key ("Su&bject:").
    QString label;
    FieldEditor editor = FieldEditor::Line;
    QList<FieldChoice> choices = {};
    // The property of a Check field that switches this field on.
    QString enabledBy = {};
    QString suffix = {};
    bool readOnly = false;
    // When property() does not give the value as it should be edited (a
    // message's recipients with their addresses) or the kind keeps it outside
    // its named properties (a task's recipients); without them the field is
    // read and written by name.
    std::function<QVariant(const pim::Item &)> read = {};
    std::function<void(pim::Item &, const QVariant &)> write = {};
};

struct ItemEditorLayout {
    // What the window title names after the subject ("Journal Entry").
    QString kindName;
    QList<ItemEditorField> fields;
    bool canSend = false;
};

ItemEditorKind editorKindOf(const pim::Item &item);
const ItemEditorLayout &editorLayout(ItemEditorKind kind);

} // namespace quorvale
