// Arbitrary bytes as a contact file: the reader gives a card or an error, never
// both or neither, and a card it read writes out and reads back to the same text.
#include "platform/pim/VCardReader.h"
#include "platform/pim/VCardWriter.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace quorvale::pim;
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const VCardReadResult read = readVCard(bytes);
    if (read.card.has_value() == !read.error.isEmpty())
        std::abort();
    if (!read.card)
        return 0;
    const QByteArray written = writeVCard(*read.card);
    const VCardReadResult again = readVCard(written);
    if (!again.card || writeVCard(*again.card) != written)
        std::abort();
    return 0;
}
