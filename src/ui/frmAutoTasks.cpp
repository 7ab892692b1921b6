#include "ui/frmAutoTasks.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvale {

namespace {

const QStringList DueTexts = {"Today",  "1 day",  "2 days", "3 days",  "4 days",
                              "5 days", "6 days", "1 week", "2 weeks", "1 month"};
const QStringList ReminderTexts = {"None",       "0 minutes",  "5 minutes", "10 minutes",
                                   "15 minutes", "30 minutes", "1 hour",    "2 hours",
                                   "1 day",      "2 days",     "1 week"};

QComboBox *choices(const QStringList &texts, const QString &name, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(false);
    box->addItems(texts);
    return box;
}

void select(QComboBox *box, const QString &text)
{
    if (box->findText(text) < 0)
        box->addItem(text);
    box->setCurrentText(text);
}

} // namespace

frmAutoTasks::frmAutoTasks(QList<AutoTask> tasks, Changed changed, Create create, QWidget *parent)
    : QDialog(parent), m_tasks(std::move(tasks)), m_changed(std::move(changed)),
      m_createTask(std::move(create)), m_list(new QListWidget(this)),
      m_subject(new QLineEdit(this)), m_due(choices(DueTexts, QStringLiteral("cboDue"), this)),
      m_reminder(choices(ReminderTexts, QStringLiteral("cboReminder"), this)),
      m_priority(choices({"Low", "Normal", "High"}, QStringLiteral("cboPriority"), this)),
      m_notes(new QPlainTextEdit(this)), m_save(new QPushButton(tr("&Save"), this)),
      m_create(new QPushButton(tr("C&reate Task"), this)),
      m_delete(new QPushButton(tr("&Delete"), this))
{
    setWindowTitle(tr(" AutoTasks"));
    m_list->setObjectName(QStringLiteral("lstAutoTasks"));
    m_list->setAccessibleName(tr("AutoTasks"));
    m_subject->setObjectName(QStringLiteral("txtSubject"));
    m_notes->setObjectName(QStringLiteral("txtNotes"));
    m_notes->setTabChangesFocus(true);

    auto *form = new QFormLayout;
    const auto row = [&](const QString &text, QWidget *field) {
        auto *label = new QLabel(text, this);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    row(tr("Su&bject:"), m_subject);
    row(tr("D&ue:"), m_due);
    row(tr("Re&minder:"), m_reminder);
    row(tr("&Priority:"), m_priority);
    row(tr("N&otes:"), m_notes);

    auto *newButton = new QPushButton(tr("&New"), this);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {newButton, m_save, m_delete, m_create})
        buttons->addWidget(b);
    auto *close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addWidget(close);

    auto *top = new QHBoxLayout;
    auto *listLabel = new QLabel(tr("&AutoTasks:"), this);
    listLabel->setBuddy(m_list);
    auto *left = new QVBoxLayout;
    left->addWidget(listLabel);
    left->addWidget(m_list);
    top->addLayout(left, 1);
    top->addLayout(form, 2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    QWidget *order[] = {m_list,
                        m_subject,
                        m_due,
                        m_reminder,
                        m_priority,
                        m_notes,
                        newButton,
                        m_save,
                        m_delete,
                        m_create,
                        close->button(QDialogButtonBox::Close)};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(m_list, &QListWidget::currentRowChanged, this, [this] { showSelected(); });
    connect(newButton, &QPushButton::clicked, this, [this] { newEntry(); });
    connect(m_save, &QPushButton::clicked, this, [this] { saveEntry(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { deleteEntry(); });
    connect(m_create, &QPushButton::clicked, this, [this] { createTask(); });
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    refill(m_tasks.isEmpty() ? -1 : 0);
}

void frmAutoTasks::refill(int selectRow)
{
    m_list->clear();
    for (const AutoTask &task : m_tasks)
        m_list->addItem(task.subject);
    m_list->setCurrentRow(selectRow);
    showSelected();
}

void frmAutoTasks::showSelected()
{
    const int row = m_list->currentRow();
    const AutoTask task = row >= 0 && row < m_tasks.size() ? m_tasks[row] : AutoTask{};
    m_subject->setText(task.subject);
    select(m_due, task.dueDate);
    select(m_reminder, task.reminder);
    select(m_priority, task.priority);
    m_notes->setPlainText(task.notes);
    m_delete->setEnabled(row >= 0);
    m_create->setEnabled(row >= 0);
}

AutoTask frmAutoTasks::entry() const
{
    return AutoTask{m_subject->text().trimmed(), m_due->currentText(), m_reminder->currentText(),
                    m_priority->currentText(), m_notes->toPlainText()};
}

void frmAutoTasks::newEntry()
{
    m_list->setCurrentRow(-1);
    showSelected();
    m_subject->setFocus();
}

void frmAutoTasks::saveEntry()
{
    const AutoTask task = entry();
    if (task.subject.isEmpty()) {
        m_subject->setFocus();
        return;
    }
    int row = m_list->currentRow();
    if (row >= 0 && row < m_tasks.size()) {
        m_tasks[row] = task;
    } else {
        m_tasks.append(task);
        row = static_cast<int>(m_tasks.size()) - 1;
    }
    if (m_changed)
        m_changed(m_tasks);
    refill(row);
}

void frmAutoTasks::deleteEntry()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_tasks.size())
        return;
    m_tasks.removeAt(row);
    if (m_changed)
        m_changed(m_tasks);
    refill(qMin(row, static_cast<int>(m_tasks.size()) - 1));
}

void frmAutoTasks::createTask()
{
    const int row = m_list->currentRow();
    if (row >= 0 && row < m_tasks.size() && m_createTask)
        m_createTask(m_tasks[row]);
}

} // namespace quorvale
