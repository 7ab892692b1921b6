#pragma once

#include "platform/core/QvError.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

// The store's own files: written whole or not at all, readable by the owner only,
// because items hold clients' names, notes and billing details.
namespace quorvale::pim {

inline constexpr const char *ErrorSource = "Quorvale Item Store";
inline constexpr long PathFileAccessError = ErrorNumber::PathFileAccess;
// Outlook's "object could not be found": kept so that callers that test the
// number of a failed folder or item lookup keep working.
inline constexpr long NotFoundError = -2147221233;

// Writes the file whole or not at all (see writeWholeFile), mode 0600. Throws
// QvError(75) that says why, a full disk in so many words.
void writePrivateFile(const QString &path, const QByteArray &data);
// Creates the directory (and missing parents) and gives it mode 0700. Throws
// QvError(75).
void makePrivateDir(const QString &path);

// The JSON object in the file, or an empty object when the file is missing,
// unreadable or not a JSON object (the caller decides whether that is an error).
QJsonObject readJsonObject(const QString &path, bool *ok = nullptr);
void writeJsonObject(const QString &path, const QJsonObject &object);

// A new identifier for a store or a folder: a UUID without braces.
QString newId();

} // namespace quorvale::pim
