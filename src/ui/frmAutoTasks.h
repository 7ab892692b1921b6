#pragma once

#include "outlook/AutoTasks.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace quorvale {

// The person's AutoTasks: tasks kept once and made for the current TimeCard
// with one command. The list is handed back through `changed` after each edit
// (the caller stores it); `create` makes the chosen task.
class frmAutoTasks : public QDialog {
public:
    using Changed = std::function<void(const QList<AutoTask> &)>;
    using Create = std::function<void(const AutoTask &)>;

    frmAutoTasks(QList<AutoTask> tasks, Changed changed, Create create, QWidget *parent = nullptr);

    const QList<AutoTask> &tasks() const { return m_tasks; }
    QListWidget *list() const { return m_list; }
    QLineEdit *subject() const { return m_subject; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *createButton() const { return m_create; }

private:
    void showSelected();
    void saveEntry();
    void newEntry();
    void deleteEntry();
    void createTask();
    AutoTask entry() const;
    void refill(int select);

    QList<AutoTask> m_tasks;
    Changed m_changed;
    Create m_createTask;
    QListWidget *m_list;
    QLineEdit *m_subject;
    QComboBox *m_due;
    QComboBox *m_reminder;
    QComboBox *m_priority;
    QPlainTextEdit *m_notes;
    QPushButton *m_save;
    QPushButton *m_create;
    QPushButton *m_delete;
};

} // namespace quorvale
