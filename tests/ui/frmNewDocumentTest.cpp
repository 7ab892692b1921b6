#include "ui/frmNewDocument.h"

#include "outlook/DocumentOpening.h"
#include "outlook/Documents.h"
#include "platform/db/Connection.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

void clickOk(frmNewDocument &dialog)
{
    dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
}

} // namespace

TEST(frmNewDocument, WithoutATimeCardOnlyAnUnlinkedFileIsOffered)
{
    NewDocumentChoice initial;
    initial.directory = "/tmp";
    frmNewDocument dialog(" New Document", initial, false, {});
    EXPECT_FALSE(dialog.sourceButton(DocumentSource::NewLinked)->isEnabled());
    EXPECT_FALSE(dialog.sourceButton(DocumentSource::ExistingFile)->isEnabled());
    EXPECT_TRUE(dialog.sourceButton(DocumentSource::NewUnlinked)->isChecked());
    EXPECT_EQ(dialog.fileFrame()->title(), "Select Directory and Enter Name of New File");
    EXPECT_EQ(dialog.documentTypes()->objectName(), "cbDocType");
    EXPECT_EQ(dialog.documentTypes()->count(), 4);
    EXPECT_EQ(dialog.documentTypes()->itemText(2), "Access Database");
    // Every field is reachable by its label's access key and named for a screen reader.
    for (QLabel *label : dialog.findChildren<QLabel *>())
        EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
}

// The dialog over the real document links: a refused name keeps it open with
// what was typed, a good one makes the file and the link and closes it.
TEST(frmNewDocument, OkCreatesTheLinkedDocumentOrStaysOpenForAnotherName)
{
    test::TempDir tmp;
    admin::InitOptions init;
    init.location.programDir = tmp.filePath("program");
    init.location.dataDir = tmp.filePath("data");
    init.userName = "Ann";
    init.demo = true;
    Registry setup(tmp.filePath("setup.ini"));
    admin::initialise(init, setup);
    db::Connection cnn;
    cnn.open("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + tmp.filePath("data/QVData.db"));
    const qint64 timeCard = cnn.scalar("SELECT MIN(TimeCardID) FROM tblTimeCards").toLongLong();
    const QString folder = tmp.filePath("docs");
    ASSERT_TRUE(QDir().mkpath(folder));

    test::ScriptedPrompts prompts;
    Documents documents(cnn, prompts);
    NewDocumentChoice initial;
    initial.directory = folder;
    frmNewDocument dialog(" New Document", initial, true, [&](const NewDocumentChoice &c) {
        NewDocumentRequest r{c.type, c.directory, c.fileName, {}};
        if (c.source == DocumentSource::NewLinked)
            r.timeCardId = timeCard;
        return documents.createNew(r).created();
    });
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_TRUE(dialog.sourceButton(DocumentSource::NewLinked)->isChecked());
    EXPECT_EQ(dialog.fileFrame()->title(), "Select Directory and Enter Name of New Linked File");

    dialog.documentTypes()->setCurrentIndex(1);
    QTest::keyClicks(dialog.fileName(), "../Budget");
    clickOk(dialog);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.fileName()->text(), "../Budget");
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(prompts.messages()[0].title, "Invalid File Name");

    dialog.fileName()->clear();
    QTest::keyClicks(dialog.fileName(), "Budget");
    clickOk(dialog);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(QFileInfo::exists(QDir(folder).filePath("Budget.ods")));
    const auto listed = Documents::TimeCardDocuments(cnn, timeCard);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].fileName, "Budget.ods");

    // Choosing a file from disk leaves type and name to that file.
    dialog.sourceButton(DocumentSource::ExistingFile)->click();
    EXPECT_FALSE(dialog.fileName()->isEnabled());
    EXPECT_FALSE(dialog.documentTypes()->isEnabled());
}

// A link whose file or folder went away is told in the desktop's words before
// any program is asked.
TEST(OpenUserDoc, MissingFilesAndFoldersAreToldNotOpened)
{
    test::TempDir tmp;
    test::ScriptedPrompts prompts;
    bool askedForProgram = false;
    const DocumentShell desktop{[](const QString &p) { return shell::openPath(p); },
                                [&](const QString &) { return askedForProgram = true; }};
    EXPECT_FALSE(OpenUserDoc(tmp.filePath("gone.odt"), desktop, prompts));
    EXPECT_FALSE(OpenUserDoc(tmp.filePath("gone/gone.odt"), desktop, prompts));
    ASSERT_EQ(prompts.messages().size(), 2);
    EXPECT_EQ(prompts.messages()[0].title, "Error Opening Document");
    EXPECT_EQ(prompts.messages()[0].text, "File not found");
    EXPECT_EQ(prompts.messages()[1].text, "Path not found");
    EXPECT_FALSE(askedForProgram);
}
