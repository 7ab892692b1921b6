#pragma once

#include "platform/pim/VCard.h"

#include <QByteArray>

namespace quorvale::pim {

// The card as vCard text in its own version (4.0 stays 4.0; 2.1 and 3.0 are
// written as 3.0): CRLF line ends, lines folded at 75 octets without splitting a
// UTF-8 sequence, parameter values quoted where they must be.
QByteArray writeVCard(const VCard &card);

} // namespace quorvale::pim
