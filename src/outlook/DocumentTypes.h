#pragma once

#include <QString>
#include <QStringList>

namespace quorvale {

// The kinds of new document, in the order of the selection dialog's list (the
// codes 0 to 3). On this desktop each becomes an open format any office suite
// reads: OpenDocument text, spreadsheet and presentation, and an SQLite file for
// the database.
enum class DocumentType { WordDocument, ExcelSpreadsheet, AccessDatabase, PowerPointPresentation };
inline constexpr int DocumentTypeCount = 4;

struct DocumentTypeInfo {
    const char *listText;  // the dialog's list entry
    const char *extension; // without the dot
    const char *filter;    // a file dialog's name filter
};

const DocumentTypeInfo &documentTypeInfo(DocumentType type);
// The list texts in code order.
QStringList documentTypeList();
// The type of a list code; Word for a code out of range.
DocumentType documentTypeFromCode(int code);

} // namespace quorvale
