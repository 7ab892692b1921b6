#pragma once

#include <QByteArray>
#include <optional>

// libical drops or rewrites what it does not know: properties and parameters
// with unregistered names, unknown components, empty values, and the escapes
// in other clients' X- values. Such content lines travel through libical
// wrapped whole in one carrier property each and come back out as they were.
namespace quorvale::pim::icallines {

inline constexpr const char *CarrierName = "X-QUORVALE-OPAQUE";

// The content with every line libical would alter wrapped in a carrier; nullopt
// for content that is not text (a NUL byte).
std::optional<QByteArray> shield(const QByteArray &raw);
// libical's output with the carriers unwrapped, folded at 75 octets, CRLF.
QByteArray unshield(const QByteArray &serialized);

} // namespace quorvale::pim::icallines
