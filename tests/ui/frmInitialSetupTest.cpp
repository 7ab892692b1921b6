// A second person's first start, offscreen: start-up opens the set-up window,
// the person chooses the firm's database and who they are, and start-up goes
// on in the same process; a wrong choice is told inside the window.

#include "ui/frmInitialSetup.h"

#include "platform/registry/Registry.h"
#include "platform/registry/RegistryKey.h"
#include "settings/StartUp.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/DemoProgram.h"
#include "testsupport/TempDir.h"
#include "ui/QtPrompts.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

struct InitialSetupWindow : ::testing::Test {
    void SetUp() override
    {
        test::makeDemoProgram(firstDir, tmp.filePath(QStringLiteral("first.ini")),
                              QStringLiteral("Ann"));
        errors.terminate = [this](int code) { endedWith = code; };
        setupWindow = [this](Registry &settings, const QString &dir) {
            frmInitialSetup setup(settings, dir, prompts, errors);
            window = &setup;
            QTimer::singleShot(0, [this] { drive(*window); });
            const bool done = setup.exec() == QDialog::Accepted;
            window = nullptr;
            return done;
        };
    }

    // Accepts the next message box that opens, noting its title. Asked again
    // until one is there: the window lets events run while it works.
    void acceptNextMessage()
    {
        QTimer::singleShot(10, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                messages << box->windowTitle();
                box->accept();
            } else {
                acceptNextMessage();
            }
        });
    }

    test::TempDir tmp;
    const QString firstDir = tmp.filePath(QStringLiteral("first"));
    const QString secondDir = tmp.filePath(QStringLiteral("second"));
    QtPrompts prompts;
    ErrorReport report{prompts, tmp.filePath(QStringLiteral("reports"))};
    ErrorHandler errors{report};
    int endedWith = 0;
    Registry registry{tmp.filePath(QStringLiteral("second.ini"))};
    StartUpEnvironment environment{secondDir, tmp.filePath(QStringLiteral("items")),
                                   QStringLiteral("HH:mm:ss"), 1, QString()};
    StartUp::InitialSetupWindow setupWindow;
    frmInitialSetup *window = nullptr;
    std::function<void(frmInitialSetup &)> drive;
    QStringList messages;
};

} // namespace

TEST_F(InitialSetupWindow, ASecondPersonJoinsTheFirmsDatabaseAndStartUpGoesOn)
{
    drive = [this](frmInitialSetup &w) {
        // Every field is named for a screen reader and reached by its label.
        for (QLineEdit *field : w.findChildren<QLineEdit *>()) {
            bool labelled = false;
            for (QLabel *label : w.findChildren<QLabel *>())
                labelled = labelled || label->buddy() == field;
            EXPECT_TRUE(labelled) << field->objectName().toStdString();
        }
        EXPECT_FALSE(w.okButton()->isEnabled());
        w.setChoice(JoinChoice::file(firstDir + QStringLiteral("/QVData.db")));
        EXPECT_EQ(w.kindField()->text(), QStringLiteral("Microsoft Access"));
        EXPECT_EQ(w.catalogField()->text(), QStringLiteral("N/A"));
        EXPECT_EQ(w.userField()->text(), QStringLiteral("admin"));
        const QList<QListWidgetItem *> maren =
            w.userList()->findItems(QStringLiteral("Maren Holt"), Qt::MatchExactly);
        ASSERT_EQ(maren.size(), 1);
        EXPECT_FALSE(w.okButton()->isEnabled()) << "no one chosen yet";
        w.userList()->setCurrentItem(maren.front());
        ASSERT_TRUE(w.okButton()->isEnabled());
        acceptNextMessage(); // " User Setup Complete"
        w.okButton()->click();
    };
    StartUp startUp(registry, prompts, errors, environment);
    startUp.setInitialSetup(setupWindow);
    ASSERT_TRUE(startUp.Form_Load());
    EXPECT_EQ(messages, QStringList{QStringLiteral(" User Setup Complete")});
    EXPECT_EQ(startUp.settings().license.userName, QStringLiteral("Maren Holt"));
    EXPECT_FALSE(registry.openSubKey(QStringLiteral("Database"))
                     .readText(QStringLiteral("Setup Date"))
                     .isEmpty());
    EXPECT_TRUE(QFile::exists(secondDir + QStringLiteral("/QVLocal.db")));
    EXPECT_EQ(endedWith, 0);
}

TEST_F(InitialSetupWindow, AFileThatIsNoDatabaseIsToldInTheWindowAndCancellingEnds)
{
    QFile junk(tmp.filePath(QStringLiteral("QVData.db")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("a spreadsheet, perhaps");
    junk.close();
    drive = [this](frmInitialSetup &w) {
        w.setChoice(JoinChoice::file(tmp.filePath(QStringLiteral("QVData.db"))));
        EXPECT_FALSE(w.problemLabel()->isHidden());
        EXPECT_TRUE(w.problemLabel()->text().contains(QStringLiteral("could not be opened")))
            << w.problemLabel()->text().toStdString();
        EXPECT_EQ(w.userList()->count(), 0);
        EXPECT_FALSE(w.okButton()->isEnabled());
        // The keyboard reaches the choice and the list in the page's order.
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        w.fileButton()->setFocus();
        QTest::keyClick(w.fileButton(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), w.serverButton());
        QTest::keyClick(w.serverButton(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), w.userList());
        w.reject();
    };
    StartUp startUp(registry, prompts, errors, environment);
    startUp.setInitialSetup(setupWindow);
    EXPECT_FALSE(startUp.Form_Load());
    EXPECT_TRUE(registry.openSubKey(QStringLiteral("Database"))
                    .readText(QStringLiteral("Setup Date"))
                    .isEmpty());
    EXPECT_FALSE(QFile::exists(secondDir + QStringLiteral("/QVLink.db")));
    EXPECT_EQ(QFile(tmp.filePath(QStringLiteral("QVData.db"))).size(), 22);
}
