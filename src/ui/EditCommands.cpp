#include "EditCommands.h"

#include "timecards/CommandTable.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace quorvale {

namespace {

// Calls cut(), copy() or paste() on whichever editor kind the field is.
template <class Editor> bool editWith(QWidget *field, int toolId)
{
    auto *editor = qobject_cast<Editor *>(field);
    if (!editor)
        return false;
    if (toolId == ToolId::Cut)
        editor->cut();
    else if (toolId == ToolId::Copy)
        editor->copy();
    else
        editor->paste();
    return true;
}

} // namespace

bool EditCommands::handles(int toolId) const
{
    return toolId == ToolId::Cut || toolId == ToolId::Copy || toolId == ToolId::Paste;
}

void EditCommands::run(int toolId)
{
    QWidget *field = m_window.focusWidget();
    if (auto *combo = qobject_cast<QComboBox *>(field); combo && combo->lineEdit())
        field = combo->lineEdit();
    if (editWith<QLineEdit>(field, toolId) || editWith<QPlainTextEdit>(field, toolId) ||
        editWith<QTextEdit>(field, toolId))
        return;
    // Spin boxes (dates, times) keep their line edit to themselves.
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(field)) {
        if (auto *edit = spin->findChild<QLineEdit *>())
            editWith<QLineEdit>(edit, toolId);
    }
}

} // namespace quorvale
