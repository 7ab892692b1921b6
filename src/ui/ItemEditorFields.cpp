#include "ui/ItemEditorFields.h"

#include "platform/pim/MailItem.h"
#include "platform/pim/MailMessage.h"
#include "platform/pim/TaskItem.h"

#include <QStringList>

namespace quorvale {

namespace {

// "Ann Lee <ann@example.org>": the To property lists names only, and a name
// typed back would lose its address.
QString addressText(const QString &name, const QString &address)
{
    return name.isEmpty() || address.isEmpty() ? name + address
                                               : QStringLiteral("%1 <%2>").arg(name, address);
}

QString taskRecipients(const pim::Item &item)
{
    QStringList names;
    if (const auto *task = dynamic_cast<const pim::TaskItem *>(&item)) {
        for (const pim::CalendarAddress &r : task->Recipients())
            names << addressText(r.name, r.address);
    }
    return names.join(QStringLiteral("; "));
}

std::function<QVariant(const pim::Item &)> mailRecipients(pim::RecipientType type)
{
    return [type](const pim::Item &item) {
        QStringList names;
        if (const auto *mail = dynamic_cast<const pim::MailItem *>(&item)) {
            for (const pim::MailRecipient &r : mail->Recipients()) {
                if (r.type == type)
                    names << addressText(r.name, r.address);
            }
        }
        return QVariant(names.join(QStringLiteral("; ")));
    };
}

// Recipients are kept in a task's file, not among its named properties; naming
// someone assigns the task, as sending a task request does.
void setTaskRecipients(pim::Item &item, const QVariant &value)
{
    auto *task = dynamic_cast<pim::TaskItem *>(&item);
    if (!task)
        return;
    task->clearRecipients();
    const auto recipients = pim::parseRecipients(value.toString(), pim::RecipientType::To);
    for (const pim::MailRecipient &r : recipients)
        task->addRecipient(r.name, r.address);
    if (!recipients.isEmpty())
        task->Assign();
}

ItemEditorField subject()
{
    return {.property = QStringLiteral("Subject"), .label = QStringLiteral("Su&bject:")};
}

ItemEditorField categories()
{
    return {.property = QStringLiteral("Categories"),
            .label = QStringLiteral("Cate&gories:"),
            .editor = FieldEditor::Categories};
}

ItemEditorField body(const char *label = "&Notes:")
{
    return {.property = QStringLiteral("Body"),
            .label = QLatin1String(label),
            .editor = FieldEditor::Text};
}

ItemEditorField line(const char *property, const char *label)
{
    return {.property = QLatin1String(property), .label = QLatin1String(label)};
}

QList<FieldChoice> journalTypes()
{
    QList<FieldChoice> list;
    for (const char *type :
         {"Conversation", "Document", "E-mail Message", "Fax", "Letter", "Meeting", "Note",
          "Phone call", "Remote session", "Task", "Task request", "Task response"})
        list << FieldChoice{QLatin1String(type)};
    return list;
}

ItemEditorLayout journal()
{
    return {QStringLiteral("Journal Entry"),
            {subject(),
             {.property = QStringLiteral("Type"),
              .label = QStringLiteral("Entry t&ype:"),
              .editor = FieldEditor::Choice,
              .choices = journalTypes()},
             {.property = QStringLiteral("Start"),
              .label = QStringLiteral("&Start:"),
              .editor = FieldEditor::DateTime},
             {.property = QStringLiteral("Duration"),
              .label = QStringLiteral("&Duration:"),
              .editor = FieldEditor::Number,
              .suffix = QStringLiteral(" min")},
             line("Companies", "Co&mpanies:"),
             categories(),
             body()}};
}

ItemEditorLayout appointment()
{
    return {QStringLiteral("Appointment"),
            {subject(),
             line("Location", "&Location:"),
             {.property = QStringLiteral("Start"),
              .label = QStringLiteral("&Start time:"),
              .editor = FieldEditor::DateTime},
             {.property = QStringLiteral("End"),
              .label = QStringLiteral("&End time:"),
              .editor = FieldEditor::DateTime},
             {.property = QStringLiteral("BusyStatus"),
              .label = QStringLiteral("Sho&w time as:"),
              .editor = FieldEditor::Choice,
              .choices = {{QStringLiteral("Free"), 0},
                          {QStringLiteral("Tentative"), 1},
                          {QStringLiteral("Busy"), 2},
                          {QStringLiteral("Out of Office"), 3}}},
             {.property = QStringLiteral("ReminderSet"),
              .label = QStringLiteral("&Reminder"),
              .editor = FieldEditor::Check},
             {.property = QStringLiteral("ReminderMinutesBeforeStart"),
              .label = QStringLiteral("Minutes be&fore start:"),
              .editor = FieldEditor::Number,
              .enabledBy = QStringLiteral("ReminderSet"),
              .suffix = QStringLiteral(" min")},
             categories(),
             body()}};
}

QList<ItemEditorField> taskFields()
{
    return {subject(),
            {.property = QStringLiteral("StartDate"),
             .label = QStringLiteral("St&art date:"),
             .editor = FieldEditor::Date},
            {.property = QStringLiteral("DueDate"),
             .label = QStringLiteral("&Due date:"),
             .editor = FieldEditor::Date},
            {.property = QStringLiteral("Status"),
             .label = QStringLiteral("Stat&us:"),
             .editor = FieldEditor::Choice,
             .choices = {{QStringLiteral("Not Started"), 0},
                         {QStringLiteral("In Progress"), 1},
                         {QStringLiteral("Completed"), 2},
                         {QStringLiteral("Waiting on someone else"), 3},
                         {QStringLiteral("Deferred"), 4}}},
            {.property = QStringLiteral("Importance"),
             .label = QStringLiteral("&Priority:"),
             .editor = FieldEditor::Choice,
             .choices = {{QStringLiteral("Low"), 0},
                         {QStringLiteral("Normal"), 1},
                         {QStringLiteral("High"), 2}}},
            // Follows the status: the store offers no way to set it alone.
            {.property = QStringLiteral("PercentComplete"),
             .label = QStringLiteral("% &Complete:"),
             .editor = FieldEditor::Number,
             .suffix = QStringLiteral(" %"),
             .readOnly = true},
            {.property = QStringLiteral("ActualWork"),
             .label = QStringLiteral("Actual &work:"),
             .editor = FieldEditor::Number,
             .suffix = QStringLiteral(" min")},
            {.property = QStringLiteral("ReminderSet"),
             .label = QStringLiteral("&Reminder"),
             .editor = FieldEditor::Check},
            {.property = QStringLiteral("ReminderTime"),
             .label = QStringLiteral("Reminder ti&me:"),
             .editor = FieldEditor::DateTime,
             .enabledBy = QStringLiteral("ReminderSet")},
            categories(),
            body()};
}

ItemEditorLayout taskRequest()
{
    QList<ItemEditorField> fields = taskFields();
    fields.prepend({.property = QStringLiteral("To"),
                    .label = QStringLiteral("&To:"),
                    .read = taskRecipients,
                    .write = setTaskRecipients});
    return {QStringLiteral("Task Request"), fields, true};
}

ItemEditorLayout message()
{
    return {QStringLiteral("Message"),
            {{.property = QStringLiteral("To"),
              .label = QStringLiteral("&To:"),
              .read = mailRecipients(pim::RecipientType::To)},
             {.property = QStringLiteral("CC"),
              .label = QStringLiteral("&Cc:"),
              .read = mailRecipients(pim::RecipientType::CC)},
             subject(),
             body("&Message:"),
             categories()},
            true};
}

ItemEditorLayout contact()
{
    ItemEditorField address{.property = QStringLiteral("BusinessAddress"),
                            .label = QStringLiteral("Business a&ddress:"),
                            .editor = FieldEditor::Text};
    return {QStringLiteral("Contact"),
            {line("FullName", "F&ull name:"), line("CompanyName", "&Company:"),
             line("JobTitle", "&Job title:"), line("BusinessTelephoneNumber", "&Business phone:"),
             line("HomeTelephoneNumber", "&Home phone:"),
             line("MobileTelephoneNumber", "&Mobile phone:"), line("Email1Address", "&E-mail:"),
             address, categories(), body()}};
}

} // namespace

ItemEditorKind editorKindOf(const pim::Item &item)
{
    switch (item.type()) {
    case pim::ItemType::Journal:
        return ItemEditorKind::Journal;
    case pim::ItemType::Appointment:
        return ItemEditorKind::Appointment;
    case pim::ItemType::Task: {
        const auto *task = dynamic_cast<const pim::TaskItem *>(&item);
        return task && (task->DelegationState() != 0 || !task->Recipients().isEmpty())
                   ? ItemEditorKind::TaskRequest
                   : ItemEditorKind::Task;
    }
    case pim::ItemType::Note:
        return ItemEditorKind::Note;
    case pim::ItemType::Mail:
        return ItemEditorKind::Message;
    case pim::ItemType::Contact:
        return ItemEditorKind::Contact;
    }
    return ItemEditorKind::Note;
}

const ItemEditorLayout &editorLayout(ItemEditorKind kind)
{
    static const ItemEditorLayout layouts[] = {
        journal(),
        appointment(),
        {QStringLiteral("Task"), taskFields()},
        taskRequest(),
        {QStringLiteral("Note"), {body("&Note:")}},
        message(),
        contact(),
    };
    return layouts[static_cast<int>(kind)];
}

} // namespace quorvale
