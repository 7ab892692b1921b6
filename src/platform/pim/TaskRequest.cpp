#include "platform/pim/TaskRequest.h"

#include "platform/core/QvError.h"
#include "platform/pim/IcalDocument.h"
#include "platform/pim/MailItem.h"
#include "platform/pim/PrivateFiles.h"
#include "platform/pim/TaskItem.h"
#include "platform/pim/UserProperties.h"

#include <QFile>
#include <QLocale>

namespace quorvale::pim {

namespace {

bool isPrivate(const char *name)
{
    return name &&
           qstrnicmp(name, UserPropertyNames::Prefix, qstrlen(UserPropertyNames::Prefix)) == 0;
}

// Removes the program's own properties and parameters from the component and
// the components inside it (alarms).
void stripPrivate(icalcomponent *component)
{
    QList<icalproperty *> gone;
    for (icalproperty *p = icalcomponent_get_first_property(component, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(component, ICAL_ANY_PROPERTY)) {
        if (icalproperty_isa(p) == ICAL_X_PROPERTY && isPrivate(icalproperty_get_x_name(p))) {
            gone << p;
            continue;
        }
        QList<icalparameter *> params;
        for (icalparameter *a = icalproperty_get_first_parameter(p, ICAL_X_PARAMETER); a;
             a = icalproperty_get_next_parameter(p, ICAL_X_PARAMETER)) {
            if (isPrivate(icalparameter_get_xname(a)))
                params << a;
        }
        for (icalparameter *a : params)
            icalproperty_remove_parameter_by_ref(p, a);
    }
    for (icalproperty *p : gone) {
        icalcomponent_remove_property(component, p);
        icalproperty_free(p);
    }
    for (icalcomponent *c = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT))
        stripPrivate(c);
}

QString requestBody(const TaskItem &task)
{
    QString body = QStringLiteral("Task: %1\n").arg(task.Subject());
    const QLocale locale;
    if (task.StartDate().isValid())
        body += QStringLiteral("Start date: %1\n")
                    .arg(locale.toString(task.StartDate().date(), QLocale::LongFormat));
    if (task.DueDate().isValid())
        body += QStringLiteral("Due date: %1\n")
                    .arg(locale.toString(task.DueDate().date(), QLocale::LongFormat));
    if (!task.Body().isEmpty()) {
        body += u'\n' + task.Body();
        if (!body.endsWith(u'\n'))
            body += u'\n';
    }
    return body;
}

} // namespace

QString taskRequestCalendar(const TaskItem &task)
{
    QFile file(task.filePath());
    if (task.fileName().isEmpty() || !file.open(QIODevice::ReadOnly))
        throw QvError(PathFileAccessError,
                      QStringLiteral("The task \"%1\" must be saved before it can be sent.")
                          .arg(task.Subject()),
                      QLatin1String(ErrorSource));
    std::optional<IcalDocument> document =
        IcalDocument::parse(file.readAll(), ICAL_VTODO_COMPONENT);
    if (!document)
        throw QvError(
            PathFileAccessError,
            QStringLiteral("The task file \"%1\" could not be read.").arg(file.fileName()),
            QLatin1String(ErrorSource));
    icalcomponent *calendar = document->calendar();
    removeProperties(calendar, ICAL_METHOD_PROPERTY);
    icalcomponent_add_property(calendar, icalproperty_new_method(ICAL_METHOD_REQUEST));
    stripPrivate(document->component());
    return QString::fromUtf8(document->serialize());
}

std::unique_ptr<MailItem> newTaskRequestMessage(const TaskItem &task, const Folder &folder,
                                                const MailRecipient &sender)
{
    auto mail = std::make_unique<MailItem>(folder);
    mail->setSender(sender.name, sender.address);
    for (const CalendarAddress &recipient : task.Recipients())
        mail->addRecipient(recipient.name, recipient.address);
    mail->setSubject(QStringLiteral("Task Request: ") + task.Subject());
    mail->setBody(requestBody(task));
    mail->setCalendar(taskRequestCalendar(task));
    return mail;
}

} // namespace quorvale::pim
