#pragma once

#include "outlook/DocumentTypes.h"

#include <QByteArray>
#include <QString>

namespace quorvale {

// The bytes of an empty OpenDocument package of a type (text, spreadsheet or
// presentation); empty for the database type, which is no package.
QByteArray blankPackage(DocumentType type);

// Writes a new, empty document of the type at path. An existing file is
// replaced only as a whole (the new one is written aside and renamed over it),
// so a failure leaves whatever was there. The database type never replaces a
// file. Throws QvError when the file cannot be written.
void writeBlankDocument(DocumentType type, const QString &path);

} // namespace quorvale
