#include "platform/pim/MailAddress.h"

#include "platform/pim/MailMessage.h"

namespace quorvale::pim {

bool isMailAddress(const QString &text)
{
    // The parser is lenient (it makes something of almost anything), so what
    // it made is checked as well.
    const QList<MailRecipient> found = parseRecipients(text.trimmed(), RecipientType::To);
    if (found.size() != 1)
        return false;
    const QString address = found.constFirst().address;
    const qsizetype at = address.lastIndexOf(u'@');
    if (at <= 0 || at == address.size() - 1 || address.contains(u' '))
        return false;
    const QString domain = address.mid(at + 1);
    return !domain.startsWith(u'.') && !domain.endsWith(u'.') &&
           !domain.contains(QStringLiteral(".."));
}

} // namespace quorvale::pim
