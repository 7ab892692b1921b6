#pragma once

#include "outlook/DocumentTypes.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

namespace quorvale {

class Prompts;

namespace db {
class Connection;
}

// What the person asked for in the selection dialog. With a TimeCard the new
// file is linked to it; without one (the " &No link" choice) it is only made.
struct NewDocumentRequest {
    DocumentType type = DocumentType::WordDocument;
    QString directory;
    QString fileName; // as typed; the type's extension is added when missing
    std::optional<qint64> timeCardId;
};

enum class NewDocumentResult {
    Created,
    InvalidName,      // told; nothing made
    MissingDirectory, // told; nothing made
    NotReplaced,      // an existing file the person kept (or may not replace)
    CreateFailed,     // told; no link written
};

struct NewDocumentOutcome {
    NewDocumentResult result = NewDocumentResult::CreateFailed;
    QString path;                     // the full path of the file (also when not made)
    std::optional<qint64> documentId; // the link, when one was written or already there
    bool created() const { return result == NewDocumentResult::Created; }
};

// A TimeCard's document link as a list shows it.
struct LinkedDocument {
    qint64 documentId = 0;
    QString fileName;
    QString filePath;
    bool exists = false;
    QDateTime modified; // invalid when the file is gone
    QString fullPath() const;
};

// New and existing files linked to TimeCards in tblDocuments. Expected problems
// (a bad name, a missing folder, a file that cannot be written) are told through
// prompts; database failures throw QvError.
class Documents {
public:
    Documents(db::Connection &cnnLink, Prompts &prompts);

    // Makes the empty document and, when the request names a TimeCard, links it.
    // The link is written only once the file exists; when writing it fails a
    // file made here is removed again. Replacing an existing file needs the
    // person's yes; an existing database is never replaced.
    NewDocumentOutcome createNew(const NewDocumentRequest &request);

    // Links a file that exists already. Nullopt when it does not exist (told).
    // A file already linked to the TimeCard keeps its one link.
    std::optional<qint64> linkExisting(qint64 timeCardId, const QString &path);

    // The TimeCard's documents, newest file first; links whose file is gone come
    // last, marked as missing.
    static std::vector<LinkedDocument> TimeCardDocuments(db::Connection &cnnLink,
                                                         qint64 timeCardId);

private:
    std::optional<qint64> existingLink(qint64 timeCardId, const QString &name,
                                       const QString &directory);
    qint64 insertLink(qint64 timeCardId, const QString &name, const QString &directory);

    db::Connection &m_cnn;
    Prompts &m_prompts;
};

} // namespace quorvale
