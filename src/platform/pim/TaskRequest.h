#pragma once

#include "platform/pim/Folder.h"
#include "platform/pim/MailMessage.h"

#include <QString>
#include <memory>

namespace quorvale::pim {

class MailItem;
class TaskItem;

// The saved task as an iCalendar request (METHOD:REQUEST) that asks its
// recipients to take it on: the task's own calendar, without the program's
// private properties and parameters (X-QUORVALE-...), which name things only
// this store knows. Throws QvError when the task has no file yet or its file
// cannot be read.
QString taskRequestCalendar(const TaskItem &task);

// A new, unsaved message in the mail folder `folder` that carries the task
// request to each of the task's recipients: from `sender`, subject "Task
// Request: <subject>", the task's text as its body and its calendar as a
// text/calendar part, as mail programs expect an invitation. The task must
// have been saved with its recipients and its owner.
std::unique_ptr<MailItem> newTaskRequestMessage(const TaskItem &task, const Folder &folder,
                                                const MailRecipient &sender);

} // namespace quorvale::pim
