#pragma once

#include "platform/pim/MailMessage.h"
#include "platform/pim/MailTransport.h"

namespace quorvale {

struct RegSettings;

// Who the person's messages are from: the address of the user options, named
// as it names itself ("Ann Lee <ann@example.org>"), else by the person's user
// name. An address that is none falls back to the environment's.
pim::MailRecipient mailSender(const RegSettings &settings);

// The mail command of the user options (none: messages wait in the Outbox),
// sending as mailSender.
pim::MailTransport mailTransport(const RegSettings &settings);

} // namespace quorvale
