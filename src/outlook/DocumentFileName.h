#pragma once

#include <QString>
#include <optional>

namespace quorvale {

// The name a person typed for a new file, made whole: trimmed, and given the
// type's extension when it lacks it. Nullopt when the name could not stay
// inside the chosen folder or is no name at all: empty, "." or "..", or holding
// a path separator or a NUL.
std::optional<QString> newDocumentFileName(const QString &typed, const QString &extension);

} // namespace quorvale
