#include "settings/MailSettings.h"

#include "settings/RegSettings.h"

namespace quorvale {

pim::MailRecipient mailSender(const RegSettings &settings)
{
    std::optional<pim::MailRecipient> sender = pim::parseMailbox(settings.settings.emailAddress);
    if (!sender)
        sender = pim::parseMailbox(pim::environmentMailAddress());
    pim::MailRecipient me = sender.value_or(pim::MailRecipient{});
    if (me.name.isEmpty())
        me.name = settings.license.userName.trimmed();
    return me;
}

pim::MailTransport mailTransport(const RegSettings &settings)
{
    pim::MailTransport transport = settings.settings.mailCommand.trimmed().isEmpty()
                                       ? pim::MailTransport()
                                       : pim::MailTransport(settings.settings.mailCommand);
    transport.setSender(mailSender(settings));
    return transport;
}

} // namespace quorvale
