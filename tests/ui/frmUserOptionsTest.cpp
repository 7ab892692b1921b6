// The user options dialog offscreen: what it shows, what it hands back, and
// that it stays open on options that cannot work.

#include "ui/frmUserOptions.h"

#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace quorvale;

TEST(frmUserOptions, EditsComeBackAndBadOnesKeepTheDialogOpen)
{
    test::TempDir tmp;
    test::ScriptedPrompts prompts;
    UserOptions start;
    start.defaultFileDirectory = tmp.path();
    frmUserOptions::Context context;
    context.entryTypes = {QStringLiteral("Task"), QStringLiteral("Phone call")};
    context.billingStatuses = {QStringLiteral("Billable"), QStringLiteral("Hold")};
    context.rateSources = {QStringLiteral("Staff Rates")};
    context.fixedFolders = {FolderSlot::Journal};
    int asked = 0;
    context.chooseFolder = [&](FolderSlot slot) -> std::optional<std::pair<FolderId, QString>> {
        ++asked;
        EXPECT_EQ(slot, FolderSlot::Tasks);
        return std::make_pair(FolderId{QStringLiteral("t1"), QStringLiteral("s1")},
                              QStringLiteral("Work tasks"));
    };
    frmUserOptions dialog(start, context, prompts);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_EQ(dialog.pages()->count(), 4);

    // Every field has a name a screen reader can say.
    for (QWidget *w : dialog.findChildren<QWidget *>()) {
        // A combo's or a spin box's own line edit is part of it, not a field.
        const bool field =
            qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractSpinBox *>(w) ||
            (qobject_cast<QLineEdit *>(w) && !qobject_cast<QComboBox *>(w->parentWidget()) &&
             !qobject_cast<QAbstractSpinBox *>(w->parentWidget()));
        if (field) {
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className();
        }
    }

    QList<QPushButton *> choose;
    for (QPushButton *b : dialog.findChildren<QPushButton *>())
        if (b->accessibleName().startsWith(QStringLiteral("Choose the ")) &&
            b->accessibleName().endsWith(QStringLiteral(" folder")))
            choose << b;
    ASSERT_EQ(choose.size(), 5);
    EXPECT_FALSE(choose[0]->isEnabled()); // the journal folder is the administrator's
    choose[1]->click();
    EXPECT_EQ(asked, 1);

    for (QCheckBox *box : dialog.findChildren<QCheckBox *>())
        if (box->text().contains(QStringLiteral("description")))
            box->setChecked(true);
    for (QComboBox *box : dialog.findChildren<QComboBox *>())
        if (box->accessibleName() == QStringLiteral("Default entry type"))
            box->setCurrentText(QStringLiteral("Phone call"));
    auto *idle = dialog.findChild<QSpinBox *>(QStringLiteral("spnIdleMinutes"));
    ASSERT_NE(idle, nullptr);
    EXPECT_EQ(idle->value(), 10) << "asked after ten minutes unless set otherwise";
    idle->setValue(0);
    EXPECT_EQ(idle->text(), QStringLiteral("Never"));
    const UserOptions edited = dialog.options();
    EXPECT_EQ(edited.idleMinutes, 0);
    EXPECT_TRUE(edited.validation.noDescription);
    EXPECT_EQ(edited.journal.entryType, QStringLiteral("Phone call"));
    EXPECT_EQ(edited.folders[FolderSlot::Tasks].entryId, QStringLiteral("t1"));

    for (QLineEdit *edit : dialog.findChildren<QLineEdit *>())
        if (edit->accessibleName() == QStringLiteral("Default file directory"))
            edit->setText(tmp.filePath(QStringLiteral("nowhere")));
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(prompts.messages().last().title, QStringLiteral(" User Options"));
}

TEST(frmUserOptions, TheMailAddressHasItsLabelAndOneThatIsNoneIsRefusedByName)
{
    test::TempDir tmp;
    test::ScriptedPrompts prompts;
    UserOptions start;
    start.defaultFileDirectory = tmp.path();
    start.emailAddress = QStringLiteral("ann@example.org");
    frmUserOptions dialog(start, frmUserOptions::Context{}, prompts);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    auto *address = dialog.findChild<QLineEdit *>(QStringLiteral("txtEmailAddress"));
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(address->text(), start.emailAddress);
    const QLabel *label = nullptr;
    for (QLabel *l : dialog.findChildren<QLabel *>())
        if (l->buddy() == address)
            label = l;
    ASSERT_NE(label, nullptr) << "the address field has no label";
    EXPECT_EQ(label->text(), QStringLiteral("E-mail &address:"));
    EXPECT_EQ(address->accessibleName(), QStringLiteral("E-mail address"));
    EXPECT_NE(dialog.findChild<QLineEdit *>(QStringLiteral("txtMailCommand")), nullptr);

    address->setText(QStringLiteral("ann at example.org"));
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_TRUE(prompts.messages()[0].text.contains(QStringLiteral("\"ann at example.org\"")))
        << prompts.messages()[0].text.toStdString();

    address->setText(QStringLiteral("Ann Lee <ann@example.org>"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.options().emailAddress, QStringLiteral("Ann Lee <ann@example.org>"));
}
