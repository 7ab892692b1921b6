#include "DocumentTypes.h"

#include <array>

namespace quorvale {

namespace {

constexpr std::array<DocumentTypeInfo, DocumentTypeCount> Types{{
    {"Word Document", "odt", "OpenDocument Text Files (*.odt)"},
    {"Excel Spreadsheet", "ods", "OpenDocument Spreadsheet Files (*.ods)"},
    {"Access Database", "db", "SQLite Database Files (*.db)"},
    {"PowerPoint Presentation", "odp", "OpenDocument Presentation Files (*.odp)"},
}};

} // namespace

const DocumentTypeInfo &documentTypeInfo(DocumentType type)
{
    return Types[static_cast<std::size_t>(type)];
}

QStringList documentTypeList()
{
    QStringList list;
    for (const DocumentTypeInfo &info : Types)
        list << QString::fromLatin1(info.listText);
    return list;
}

DocumentType documentTypeFromCode(int code)
{
    return code >= 0 && code < DocumentTypeCount ? static_cast<DocumentType>(code)
                                                 : DocumentType::WordDocument;
}

} // namespace quorvale
