// Arbitrary bytes as an item file of each iCalendar kind: reading must refuse or
// accept without crashing, and what it accepted must write out and read back.
#include "platform/pim/IcalDocument.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (icalcomponent_kind kind :
         {ICAL_VJOURNAL_COMPONENT, ICAL_VEVENT_COMPONENT, ICAL_VTODO_COMPONENT}) {
        const auto document = quorvale::pim::IcalDocument::parse(bytes, kind);
        if (!document)
            continue;
        const QByteArray written = document->serialize();
        // What we write is read again by the next start; refusing it would lose
        // the item.
        if (!quorvale::pim::IcalDocument::parse(written, kind))
            std::abort();
    }
    return 0;
}
