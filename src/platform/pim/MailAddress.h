#pragma once

#include <QString>

namespace quorvale::pim {

// One mailbox address a mail program can send to ("name@example.org", with or
// without a display name around it): what the address parser reads as exactly
// one mailbox with a local part and a domain.
bool isMailAddress(const QString &text);

} // namespace quorvale::pim
