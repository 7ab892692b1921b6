#include "Documents.h"

#include "outlook/BlankDocument.h"
#include "outlook/DocumentFileName.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"
#include "support/Prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <algorithm>

namespace quorvale {

namespace {

// The folder as stored: absolute, clean, without a trailing separator (but "/"
// stays itself).
QString storedDirectory(const QString &directory)
{
    return QDir::cleanPath(QDir(directory).absolutePath());
}

} // namespace

QString LinkedDocument::fullPath() const
{
    return QDir(filePath).filePath(fileName);
}

Documents::Documents(db::Connection &cnnLink, Prompts &prompts) : m_cnn(cnnLink), m_prompts(prompts)
{
}

NewDocumentOutcome Documents::createNew(const NewDocumentRequest &request)
{
    NewDocumentOutcome outcome;
    const QString extension = QString::fromLatin1(documentTypeInfo(request.type).extension);
    const std::optional<QString> name = newDocumentFileName(request.fileName, extension);
    if (!name) {
        m_prompts.messageBox(QStringLiteral("Invalid File Name"),
                             QStringLiteral("'%1' cannot be used as the name of a new file.\n"
                                            "A file name cannot be empty, \".\" or \"..\", and "
                                            "cannot contain \"/\" or \"\\\".")
                                 .arg(request.fileName.trimmed()),
                             PromptButtons::Ok, PromptIcon::Warning);
        outcome.result = NewDocumentResult::InvalidName;
        return outcome;
    }
    const QFileInfo folder(request.directory);
    // A relative folder would be found from wherever the program happened to
    // start, and stored so; only a full path names one place.
    if (request.directory.trimmed().isEmpty() || QDir::isRelativePath(request.directory) ||
        !folder.isDir()) {
        m_prompts.messageBox(
            QStringLiteral("Directory Not Found"),
            QStringLiteral("The directory '%1' does not exist.").arg(request.directory),
            PromptButtons::Ok, PromptIcon::Warning);
        outcome.result = NewDocumentResult::MissingDirectory;
        return outcome;
    }
    const QString directory = storedDirectory(request.directory);
    outcome.path = QDir(directory).filePath(*name);

    const QFileInfo target(outcome.path);
    const bool existed = target.exists() || target.isSymLink();
    if (existed) {
        if (request.type == DocumentType::AccessDatabase) {
            m_prompts.messageBox(
                QStringLiteral("Overwrite Not Allowed"),
                QStringLiteral("You cannot overwrite an existing Access database."),
                PromptButtons::Ok, PromptIcon::Warning);
            outcome.result = NewDocumentResult::NotReplaced;
            return outcome;
        }
        if (target.isDir() ||
            m_prompts.messageBox(QStringLiteral("Confirm Replace"),
                                 QStringLiteral("The file '%1' already exists in '%2'.\n"
                                                "Do you want to replace it with a new, empty "
                                                "document?")
                                     .arg(*name, directory),
                                 PromptButtons::YesNo, PromptIcon::Warning) != PromptResult::Yes) {
            outcome.result = NewDocumentResult::NotReplaced;
            return outcome;
        }
    }

    try {
        writeBlankDocument(request.type, outcome.path);
    } catch (const QvError &e) {
        m_prompts.messageBox(
            QStringLiteral("Document Not Created"),
            QStringLiteral("Quorvale could not create the document.\n%1").arg(e.description()),
            PromptButtons::Ok, PromptIcon::Warning);
        outcome.result = NewDocumentResult::CreateFailed;
        return outcome;
    }

    if (request.timeCardId) {
        try {
            outcome.documentId = existingLink(*request.timeCardId, *name, directory);
            if (!outcome.documentId)
                outcome.documentId = insertLink(*request.timeCardId, *name, directory);
        } catch (...) {
            // A file nobody links to would only be found by chance; one that was
            // there before stays (it has been replaced, which cannot be undone).
            if (!existed)
                QFile::remove(outcome.path);
            throw;
        }
    }
    outcome.result = NewDocumentResult::Created;
    return outcome;
}

std::optional<qint64> Documents::linkExisting(qint64 timeCardId, const QString &path)
{
    const QFileInfo file(path);
    if (!file.isFile()) {
        m_prompts.messageBox(QStringLiteral("Document Not Linked"),
                             QStringLiteral("The file '%1' does not exist.").arg(path),
                             PromptButtons::Ok, PromptIcon::Warning);
        return std::nullopt;
    }
    const QString name = file.fileName();
    const QString directory = storedDirectory(file.absolutePath());
    if (const std::optional<qint64> id = existingLink(timeCardId, name, directory))
        return id;
    return insertLink(timeCardId, name, directory);
}

std::optional<qint64> Documents::existingLink(qint64 timeCardId, const QString &name,
                                              const QString &directory)
{
    const QVariant id =
        m_cnn.scalar(QStringLiteral("SELECT DocumentID FROM tblDocuments "
                                    "WHERE TimeCardID = ? AND FileName = ? AND FilePath = ?"),
                     {timeCardId, name, directory});
    return id.isValid() && !id.isNull() ? std::optional<qint64>(id.toLongLong()) : std::nullopt;
}

qint64 Documents::insertLink(qint64 timeCardId, const QString &name, const QString &directory)
{
    db::Transaction transaction(m_cnn);
    const qint64 id = m_cnn.insertReturningKey(
        QStringLiteral(
            "INSERT INTO tblDocuments (TimeCardID, FileName, FilePath) VALUES (?, ?, ?)"),
        {timeCardId, name, directory}, QStringLiteral("DocumentID"));
    transaction.commit();
    return id;
}

std::vector<LinkedDocument> Documents::TimeCardDocuments(db::Connection &cnnLink, qint64 timeCardId)
{
    QSqlQuery query = cnnLink.prepare(QStringLiteral(
        "SELECT DocumentID, FileName, FilePath FROM tblDocuments WHERE TimeCardID = ?"));
    cnnLink.run(query, {timeCardId});
    std::vector<LinkedDocument> documents;
    while (query.next()) {
        LinkedDocument d;
        d.documentId = query.value(0).toLongLong();
        d.fileName = query.value(1).toString();
        d.filePath = query.value(2).toString();
        const QFileInfo file(d.fullPath());
        d.exists = !d.fileName.isEmpty() && file.isFile();
        if (d.exists)
            d.modified = file.lastModified();
        documents.push_back(std::move(d));
    }
    std::stable_sort(documents.begin(), documents.end(),
                     [](const LinkedDocument &a, const LinkedDocument &b) {
                         if (a.exists != b.exists)
                             return a.exists;
                         return a.modified > b.modified;
                     });
    return documents;
}

} // namespace quorvale
