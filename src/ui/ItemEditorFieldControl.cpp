#include "ui/ItemEditorFieldControl.h"

#include "ui/ItemEditorCategories.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>

namespace quorvale {

namespace {

// Date controls cannot be empty: their lowest value stands for "no date".
const QDate NoDate(1900, 1, 1);

QWidget *makeWidget(const ItemEditorField &field, QWidget *parent, pim::Namespace *ns)
{
    switch (field.editor) {
    case FieldEditor::Line:
        return new QLineEdit(parent);
    case FieldEditor::Text: {
        auto *text = new QPlainTextEdit(parent);
        text->setTabChangesFocus(true);
        return text;
    }
    case FieldEditor::DateTime:
    case FieldEditor::Date: {
        auto *edit =
            field.editor == FieldEditor::Date ? new QDateEdit(parent) : new QDateTimeEdit(parent);
        edit->setCalendarPopup(true);
        edit->setMinimumDate(NoDate);
        edit->setSpecialValueText(QObject::tr("None"));
        return edit;
    }
    case FieldEditor::Number: {
        auto *spin = new QSpinBox(parent);
        spin->setRange(0, 9999999);
        spin->setSuffix(field.suffix);
        spin->setReadOnly(field.readOnly);
        if (field.readOnly)
            spin->setButtonSymbols(QAbstractSpinBox::NoButtons);
        return spin;
    }
    case FieldEditor::Choice: {
        auto *combo = new QComboBox(parent);
        bool anyText = false;
        for (const FieldChoice &choice : field.choices) {
            combo->addItem(choice.text, choice.value.isValid() ? choice.value : choice.text);
            anyText = anyText || !choice.value.isValid();
        }
        combo->setEditable(anyText);
        return combo;
    }
    case FieldEditor::Check:
        return new QCheckBox(field.label, parent);
    case FieldEditor::Categories:
        return new ItemEditorCategoriesBox(ns, parent);
    }
    return nullptr;
}

} // namespace

ItemEditorFieldControl::ItemEditorFieldControl(ItemEditorField field, QWidget *parent,
                                               pim::Namespace *ns)
    : m_field(std::move(field)), m_widget(makeWidget(m_field, parent, ns)), m_input(m_widget)
{
    if (auto *box = qobject_cast<ItemEditorCategoriesBox *>(m_widget))
        m_input = box->lineEdit();
    // The label names the control for assistive technology as well.
    m_input->setAccessibleName(QString(m_field.label).remove(QLatin1Char('&')).remove(u':'));
    m_input->setObjectName(m_field.property);
}

void ItemEditorFieldControl::setValue(const QVariant &value)
{
    if (auto *line = qobject_cast<QLineEdit *>(m_input)) {
        line->setText(value.toString());
        line->setCursorPosition(0);
    } else if (auto *text = qobject_cast<QPlainTextEdit *>(m_input)) {
        text->setPlainText(value.toString());
    } else if (auto *date = qobject_cast<QDateTimeEdit *>(m_input)) {
        const QDateTime time = value.toDateTime();
        date->setDateTime(time.isValid() ? time : QDateTime(NoDate, QTime(0, 0)));
    } else if (auto *spin = qobject_cast<QSpinBox *>(m_input)) {
        spin->setValue(value.toInt());
    } else if (auto *combo = qobject_cast<QComboBox *>(m_input)) {
        const int index = value.isValid() ? combo->findData(value) : -1;
        if (index >= 0 || !combo->isEditable())
            combo->setCurrentIndex(index);
        else
            combo->setCurrentText(value.toString());
    } else if (auto *check = qobject_cast<QCheckBox *>(m_input)) {
        check->setChecked(value.toBool());
    }
}

QVariant ItemEditorFieldControl::value() const
{
    if (auto *line = qobject_cast<QLineEdit *>(m_input))
        return line->text();
    if (auto *text = qobject_cast<QPlainTextEdit *>(m_input))
        return text->toPlainText();
    if (auto *date = qobject_cast<QDateTimeEdit *>(m_input)) {
        if (date->date() == NoDate)
            return QDateTime();
        return m_field.editor == FieldEditor::Date ? QDateTime(date->date(), QTime(0, 0))
                                                   : date->dateTime();
    }
    if (auto *spin = qobject_cast<QSpinBox *>(m_input))
        return spin->value();
    if (auto *combo = qobject_cast<QComboBox *>(m_input)) {
        if (combo->isEditable())
            return combo->currentText();
        return combo->currentData();
    }
    if (auto *check = qobject_cast<QCheckBox *>(m_input))
        return check->isChecked();
    return QVariant();
}

void ItemEditorFieldControl::onEdited(QObject *context, const std::function<void()> &edited) const
{
    if (auto *line = qobject_cast<QLineEdit *>(m_input))
        QObject::connect(line, &QLineEdit::textChanged, context, edited);
    else if (auto *text = qobject_cast<QPlainTextEdit *>(m_input))
        QObject::connect(text, &QPlainTextEdit::textChanged, context, edited);
    else if (auto *date = qobject_cast<QDateTimeEdit *>(m_input))
        QObject::connect(date, &QDateTimeEdit::dateTimeChanged, context, edited);
    else if (auto *spin = qobject_cast<QSpinBox *>(m_input))
        QObject::connect(spin, &QSpinBox::valueChanged, context, edited);
    else if (auto *combo = qobject_cast<QComboBox *>(m_input))
        QObject::connect(combo, &QComboBox::currentTextChanged, context, edited);
    else if (auto *check = qobject_cast<QCheckBox *>(m_input))
        QObject::connect(check, &QCheckBox::toggled, context, edited);
}

} // namespace quorvale
