// Arbitrary bytes as a message file: parsing must refuse or accept without
// crashing, leaking or reading out of bounds.
#include "platform/pim/MailMessage.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    (void)quorvale::pim::parseMail(bytes);
    return 0;
}
