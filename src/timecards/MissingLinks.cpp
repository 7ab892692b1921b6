#include "timecards/MissingLinks.h"

#include "support/Prompts.h"

#include <QStringList>

namespace quorvale {

QString missingLinkList(const LinkFields &fields)
{
    QStringList missing;
    for (const RequiredLinkField *field : {&fields.contact, &fields.activity1, &fields.activity2}) {
        if (field->inUse && field->required && !field->present)
            missing << field->term;
    }
    if (missing.size() < 2)
        return missing.join(QString());
    const QString last = missing.takeLast();
    return missing.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

bool MissingLinks(const LinkFields &fields, Prompts &prompts)
{
    const QString list = missingLinkList(fields);
    if (list.isEmpty())
        return false;
    prompts.messageBox(QStringLiteral("Missing Link Data"),
                       QStringLiteral("Quorvale cannot link a new item to the current TimeCard "
                                      "until \r\nyou select a ") +
                           list + QStringLiteral("."),
                       PromptButtons::Ok, PromptIcon::Information);
    return true;
}

} // namespace quorvale
