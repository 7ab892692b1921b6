#pragma once

#include <QString>

#if !defined(QUORVALE_VERSION_MAJOR) || !defined(QUORVALE_VERSION_MINOR) ||                        \
    !defined(QUORVALE_VERSION_PATCH)
#error "The build must define QUORVALE_VERSION_MAJOR, _MINOR and _PATCH"
#endif

namespace quorvale::Version {

inline constexpr int Major = QUORVALE_VERSION_MAJOR;
inline constexpr int Minor = QUORVALE_VERSION_MINOR;
inline constexpr int Revision = QUORVALE_VERSION_PATCH;

// "major.minor.revision", the form error reports and support pages carry.
inline QString text()
{
    return QStringLiteral("%1.%2.%3").arg(Major).arg(Minor).arg(Revision);
}

} // namespace quorvale::Version
