// The real AutoFill dialog, offscreen, over a real settings file.

#include "ui/frmAutoFill.h"

#include "platform/registry/Registry.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

class frmAutoFillTest : public ::testing::Test {
protected:
    test::TempDir dir;
    QString iniPath = dir.filePath("settings.ini");
    Registry registry{iniPath};
    test::ScriptedPrompts prompts;
    AutoFillTemplates templates;
    FieldTerms terms;

    QString stored(const char *kind, int slot)
    {
        Registry fresh(iniPath);
        return fresh.openSubKey(QStringLiteral("Settings\\AutoFill\\") + kind)
            .readText(QString::number(slot));
    }
    static qint16 shownCode(const QComboBox *list) { return list->currentData().value<qint16>(); }
    // Picks an entry the way a person does: focus and a key.
    static void choose(QComboBox *list, qint16 code)
    {
        list->setFocus();
        const int target = list->findData(QVariant::fromValue(code));
        ASSERT_GE(target, 0);
        while (list->currentIndex() != target)
            QTest::keyClick(list, list->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
    }
};

TEST_F(frmAutoFillTest, ShowsEachKindsCodesAndOkWritesTheEdits)
{
    templates.tasks = {1, 0, 0, 0, 0, 0, 1, 0, 0, 0};
    frmAutoFill dialog(templates, terms, registry, prompts);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.windowTitle(), " AutoFill");
    QTabBar *tabs = dialog.tabs();
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->tabText(0), "Appointments");
    EXPECT_EQ(tabs->tabText(3), "Notes");
    EXPECT_EQ(shownCode(dialog.slotList(0)), 12);

    for (int slot = 0; slot < frmAutoFill::SlotCount; ++slot) {
        const auto labels = dialog.findChildren<QLabel *>();
        EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [&](QLabel *label) {
            return label->buddy() == dialog.slotList(slot);
        })) << slot;
    }

    tabs->setCurrentIndex(3);
    EXPECT_TRUE(dialog.slotList(5)->isVisible());
    EXPECT_FALSE(dialog.slotList(6)->isVisible());
    EXPECT_FALSE(dialog.subjectPreview()->isVisible());

    tabs->setCurrentIndex(1);
    EXPECT_EQ(dialog.currentKind(), TemplateKind::Tasks);
    EXPECT_EQ(dialog.subjectPreview()->text(), "Pat Morgan: ");
    choose(dialog.slotList(7), FieldCode::Category);
    EXPECT_EQ(dialog.subjectPreview()->text(), "Pat Morgan: Business: ");
    choose(dialog.slotList(1), FieldCode::Line2);
    EXPECT_EQ(dialog.bodyPreview()->toPlainText(),
              "User: Pat Morgan\n" + QString(109, u'*') + "\n");

    // The edit survives a visit to another tab.
    tabs->setCurrentIndex(2);
    tabs->setCurrentIndex(1);
    EXPECT_EQ(shownCode(dialog.slotList(7)), FieldCode::Category);

    QTest::mouseClick(dialog.findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.wasApplied());
    EXPECT_EQ(dialog.appliedTemplates().tasks,
              (std::array<qint16, 10>{1, 99, 0, 0, 0, 0, 1, 7, 0, 0}));
    EXPECT_EQ(stored("Tasks", 7), "7");
    EXPECT_EQ(stored("Tasks", 1), "99");
    EXPECT_EQ(stored("Journal", 0), "11");
    EXPECT_EQ(stored("Notes", 5), "13");
}

TEST_F(frmAutoFillTest, CancelWritesNothingAndOptionalFieldsFollowTheTerms)
{
    terms.activity2InUse = false;
    frmAutoFill dialog(templates, terms, registry, prompts);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.slotList(0)->findData(QVariant::fromValue(FieldCode::Activity2)), -1);
    EXPECT_EQ(dialog.slotList(6)->findData(QVariant::fromValue(FieldCode::Line1)), -1);
    EXPECT_GE(dialog.slotList(0)->findData(QVariant::fromValue(FieldCode::Line1)), 0);

    choose(dialog.slotList(6), FieldCode::UserName);
    EXPECT_EQ(dialog.workingCopy().appointments[6], FieldCode::UserName);
    QTest::mouseClick(dialog.findChild<QPushButton *>("cmdCancel"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.wasApplied());
    EXPECT_EQ(dialog.appliedTemplates(), templates);
    EXPECT_EQ(stored("Appointments", 6), "");
}

} // namespace
