#include "BlankDocument.h"

#include "outlook/StoredZip.h"
#include "platform/core/QvError.h"
#include "platform/core/WholeFile.h"
#include "platform/db/Connection.h"

namespace quorvale {

namespace {

constexpr const char *Source = "Quorvale Documents";

const char *mediaType(DocumentType type)
{
    switch (type) {
    case DocumentType::ExcelSpreadsheet:
        return "application/vnd.oasis.opendocument.spreadsheet";
    case DocumentType::PowerPointPresentation:
        return "application/vnd.oasis.opendocument.presentation";
    default:
        return "application/vnd.oasis.opendocument.text";
    }
}

QByteArray body(DocumentType type)
{
    switch (type) {
    case DocumentType::ExcelSpreadsheet:
        return "<office:spreadsheet><table:table table:name=\"Sheet1\"><table:table-row>"
               "<table:table-cell/></table:table-row></table:table></office:spreadsheet>";
    case DocumentType::PowerPointPresentation:
        return "<office:presentation><draw:page draw:name=\"page1\"/></office:presentation>";
    default:
        return "<office:text><text:p/></office:text>";
    }
}

QByteArray manifest(const QByteArray &media)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<manifest:manifest "
           "xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" "
           "manifest:version=\"1.2\">\n"
           " <manifest:file-entry manifest:full-path=\"/\" manifest:version=\"1.2\" "
           "manifest:media-type=\"" +
           media +
           "\"/>\n"
           " <manifest:file-entry manifest:full-path=\"content.xml\" "
           "manifest:media-type=\"text/xml\"/>\n"
           "</manifest:manifest>\n";
}

QByteArray content(DocumentType type)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<office:document-content "
           "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
           "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
           "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
           "xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\" "
           "office:version=\"1.2\"><office:body>" +
           body(type) + "</office:body></office:document-content>\n";
}

} // namespace

QByteArray blankPackage(DocumentType type)
{
    if (type == DocumentType::AccessDatabase)
        return {};
    const QByteArray media = mediaType(type);
    StoredZip zip;
    zip.add(QStringLiteral("mimetype"), media);
    zip.add(QStringLiteral("META-INF/manifest.xml"), manifest(media));
    zip.add(QStringLiteral("content.xml"), content(type));
    return zip.bytes();
}

void writeBlankDocument(DocumentType type, const QString &path)
{
    if (type == DocumentType::AccessDatabase) {
        db::Connection::createSqliteFile(path);
        return;
    }
    WholeFileOptions options;
    options.errorNumber = ErrorNumber::Generic;
    options.errorSource = QString::fromLatin1(Source);
    writeWholeFile(path, blankPackage(type), options);
}

} // namespace quorvale
