#include "TimeCardChoices.h"

namespace quorvale {

const QStringList &entryTypes()
{
    static const QStringList types = {
        QStringLiteral("Conversation"),
        QStringLiteral("Document"),
        QStringLiteral("E-mail Message"),
        QStringLiteral("Fax"),
        QStringLiteral("Letter"),
        QStringLiteral("Meeting"),
        QStringLiteral("Meeting cancellation"),
        QStringLiteral("Meeting request"),
        QStringLiteral("Meeting response"),
        QStringLiteral("Microsoft Access"),
        QStringLiteral("Microsoft Excel"),
        QStringLiteral("Microsoft PowerPoint"),
        QStringLiteral("Microsoft Visio"),
        QStringLiteral("Microsoft Word"),
        QStringLiteral("Note"),
        QStringLiteral("Phone call"),
        QStringLiteral("Remote session"),
        QStringLiteral("Task"),
        QStringLiteral("Task request"),
        QStringLiteral("Task response"),
    };
    return types;
}

const QStringList &billingStatuses()
{
    static const QStringList statuses = {
        QStringLiteral("Billable"),
        QStringLiteral("No Charge"),
        QStringLiteral("Do not bill"),
        QStringLiteral("Hold"),
        QStringLiteral("Subject to fixed charge"),
    };
    return statuses;
}

} // namespace quorvale
