#include "outlook/Documents.h"

#include "data/DataStore.h"
#include "outlook/BlankDocument.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/DemoStore.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>

using namespace quorvale;

namespace {

// A demonstration program database and an empty folder for the documents.
struct DocumentsTest : ::testing::Test {
    test::EngineDatabase engine;
    test::TempDir tmp;
    test::ScriptedPrompts prompts;
    ErrorReport report{prompts, tmp.filePath("reports")};
    ErrorHandler errors{report};
    std::unique_ptr<DataStore> store;
    QString folder;
    qint64 timeCard = 0;

    void SetUp() override
    {
        errors.terminate = [](int) {};
        test::openDemoStore(tmp, engine, prompts, errors, store);
        ASSERT_TRUE(store);
        timeCard = cnn().scalar("SELECT MIN(TimeCardID) FROM tblTimeCards").toLongLong();
        ASSERT_GT(timeCard, 0);
        folder = tmp.filePath("documents");
        ASSERT_TRUE(QDir().mkpath(folder));
    }

    db::Connection &cnn() { return store->cnnLink(); }
    int rows()
    {
        return cnn()
            .scalar("SELECT COUNT(*) FROM tblDocuments WHERE TimeCardID = ?", {timeCard})
            .toInt();
    }
    NewDocumentOutcome create(const QString &name, DocumentType type = DocumentType::WordDocument,
                              bool linked = true)
    {
        Documents documents(cnn(), prompts);
        NewDocumentRequest r;
        r.type = type;
        r.directory = folder;
        r.fileName = name;
        if (linked)
            r.timeCardId = timeCard;
        return documents.createNew(r);
    }
    static QByteArray contents(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

TEST_F(DocumentsTest, NewLinkedDocumentMakesThePackageThenTheRow)
{
    const NewDocumentOutcome out = create("Brief for O'Hara");
    ASSERT_TRUE(out.created());
    const QString path = QDir(folder).filePath("Brief for O'Hara.odt");
    EXPECT_EQ(out.path, path);

    // An OpenDocument package names its type uncompressed in its first entry,
    // at a fixed offset, which is how file managers recognise it.
    const QByteArray bytes = contents(path);
    ASSERT_GT(bytes.size(), 100);
    EXPECT_EQ(bytes.left(4), QByteArray("PK\x03\x04", 4));
    EXPECT_EQ(bytes.mid(30, 8), "mimetype");
    EXPECT_TRUE(bytes.mid(38).startsWith("application/vnd.oasis.opendocument.text"));

    ASSERT_TRUE(out.documentId);
    const auto listed = Documents::TimeCardDocuments(cnn(), timeCard);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].documentId, *out.documentId);
    EXPECT_EQ(listed[0].fileName, "Brief for O'Hara.odt");
    EXPECT_EQ(listed[0].filePath, QDir(folder).absolutePath());
    EXPECT_TRUE(listed[0].exists);
    EXPECT_TRUE(prompts.messages().isEmpty());
}

TEST_F(DocumentsTest, EachTypeGetsItsOwnFormatAndUnlinkedFilesNoRow)
{
    ASSERT_TRUE(create("Budget.ODS", DocumentType::ExcelSpreadsheet, false).created());
    EXPECT_TRUE(contents(QDir(folder).filePath("Budget.ODS"))
                    .mid(38)
                    .startsWith("application/vnd.oasis.opendocument.spreadsheet"));
    ASSERT_TRUE(create("Pitch", DocumentType::PowerPointPresentation, false).created());
    EXPECT_TRUE(contents(QDir(folder).filePath("Pitch.odp"))
                    .mid(38)
                    .startsWith("application/vnd.oasis.opendocument.presentation"));
    ASSERT_TRUE(create("Ledger", DocumentType::AccessDatabase, false).created());
    EXPECT_TRUE(contents(QDir(folder).filePath("Ledger.db")).startsWith("SQLite format 3"));
    EXPECT_EQ(rows(), 0);
}

TEST_F(DocumentsTest, AnExistingFileIsReplacedOnlyWhenConfirmed)
{
    const QString path = QDir(folder).filePath("Notes.odt");
    write(path, "keep me");

    prompts.answer(PromptResult::No);
    EXPECT_EQ(create("Notes").result, NewDocumentResult::NotReplaced);
    EXPECT_EQ(contents(path), "keep me");
    EXPECT_EQ(rows(), 0);
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(prompts.messages()[0].buttons, PromptButtons::YesNo);

    prompts.answer(PromptResult::Yes);
    ASSERT_TRUE(create("Notes").created());
    EXPECT_TRUE(contents(path).startsWith("PK"));
    // Replacing the same file again keeps its one link.
    prompts.answer(PromptResult::Yes);
    ASSERT_TRUE(create("Notes").created());
    EXPECT_EQ(rows(), 1);
}

TEST_F(DocumentsTest, AnExistingDatabaseIsNeverReplaced)
{
    const QString path = QDir(folder).filePath("Ledger.db");
    write(path, "their data");
    EXPECT_EQ(create("Ledger", DocumentType::AccessDatabase).result,
              NewDocumentResult::NotReplaced);
    EXPECT_EQ(contents(path), "their data");
    EXPECT_EQ(rows(), 0);
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(prompts.messages()[0].title, "Overwrite Not Allowed");
    EXPECT_EQ(prompts.messages()[0].text, "You cannot overwrite an existing Access database.");
    EXPECT_EQ(prompts.messages()[0].buttons, PromptButtons::Ok);
}

TEST_F(DocumentsTest, NamesThatLeaveTheFolderAreRefused)
{
    const QDir parent = QDir(folder).absoluteFilePath("..");
    const QStringList before = parent.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    for (const QString name : {"../escape", "..", ".", "sub/inner", "sub\\inner", "  "}) {
        EXPECT_EQ(create(name).result, NewDocumentResult::InvalidName) << name.toStdString();
    }
    EXPECT_EQ(parent.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    EXPECT_TRUE(QDir(folder).isEmpty());
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(prompts.messages().size(), 6);
    // Dots inside a name are no escape.
    EXPECT_TRUE(create("draft..v2").created());
}

TEST_F(DocumentsTest, AFileThatCannotBeWrittenLeavesNoRow)
{
    // Longer than any file system allows a name to be.
    EXPECT_EQ(create(QString(300, 'x')).result, NewDocumentResult::CreateFailed);
    EXPECT_EQ(rows(), 0);
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(prompts.messages()[0].title, "Document Not Created");

    Documents documents(cnn(), prompts);
    NewDocumentRequest missing;
    missing.directory = QDir(folder).filePath("not there");
    missing.fileName = "Letter";
    missing.timeCardId = timeCard;
    EXPECT_EQ(documents.createNew(missing).result, NewDocumentResult::MissingDirectory);
    EXPECT_FALSE(QFileInfo::exists(missing.directory));
    missing.directory = "documents";
    EXPECT_EQ(documents.createNew(missing).result, NewDocumentResult::MissingDirectory);
    EXPECT_EQ(rows(), 0);
}

TEST_F(DocumentsTest, ALinkThatCannotBeWrittenTakesTheNewFileAway)
{
    {
        db::Connection data;
        data.open("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + tmp.filePath("data/QVData.db"));
        data.execute("CREATE TRIGGER refuse BEFORE INSERT ON tblDocuments "
                     "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    }
    EXPECT_THROW(create("Orphan"), QvError);
    EXPECT_FALSE(QFileInfo::exists(QDir(folder).filePath("Orphan.odt")));
    EXPECT_EQ(rows(), 0);
}

TEST_F(DocumentsTest, ExistingFilesAreLinkedOnceAndMissingOnesListedLast)
{
    const QString kept = QDir(folder).filePath("contract.pdf");
    const QString moved = QDir(folder).filePath("old.txt");
    write(kept, "%PDF");
    write(moved, "text");
    Documents documents(cnn(), prompts);
    const auto first = documents.linkExisting(timeCard, moved);
    const auto second = documents.linkExisting(timeCard, kept);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(documents.linkExisting(timeCard, kept), second);
    EXPECT_FALSE(documents.linkExisting(timeCard, QDir(folder).filePath("never.txt")));
    EXPECT_EQ(rows(), 2);

    ASSERT_TRUE(QFile::remove(moved));
    const auto listed = Documents::TimeCardDocuments(cnn(), timeCard);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].fileName, "contract.pdf");
    EXPECT_TRUE(listed[0].exists);
    EXPECT_EQ(listed[1].fileName, "old.txt");
    EXPECT_FALSE(listed[1].exists);
    EXPECT_FALSE(listed[1].modified.isValid());
}

} // namespace
