// The real Add/Subtract Time dialog, offscreen: amount buttons, the typed amount,
// the warning that keeps it open, and Cancel.

#include "ui/frmTimeAdd.h"

#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace quorvale;
using quorvale::test::ScriptedPrompts;

namespace {

QPushButton *buttonNamed(QWidget &dialog, const QString &text)
{
    for (auto *button : dialog.findChildren<QPushButton *>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

AdjustTimeInput spent(AdjustDirection direction, const char *current)
{
    return {AdjustTarget::TimeSpent, direction, QString::fromLatin1(current),
            QStringLiteral("6 minutes")};
}

} // namespace

TEST(frmTimeAdd, AmountButtonAddsOnOk)
{
    ScriptedPrompts prompts;
    frmTimeAdd dialog(spent(AdjustDirection::Add, "0010000"), prompts);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.windowTitle(), QLatin1String(" Add/Subtract Time"));
    EXPECT_EQ(dialog.findChild<QGroupBox *>()->title(), QLatin1String("Time Adjustment"));

    QAbstractButton *twelve = dialog.amountButtons()->button(1);
    EXPECT_EQ(twelve->text(), QLatin1String("&12 minutes"));
    EXPECT_EQ(twelve->toolTip(), QLatin1String("Click to add or subtract 12 minutes."));
    QTest::mouseClick(twelve, Qt::LeftButton);
    QTest::mouseClick(buttonNamed(dialog, QStringLiteral("&Add")), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.adjustedValue(), QVariant(QStringLiteral("0011200")));
}

TEST(frmTimeAdd, TypedAmountReplacesTheButtonAndTooMuchWarns)
{
    ScriptedPrompts prompts;
    frmTimeAdd dialog(spent(AdjustDirection::Subtract, "0000500"), prompts);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    QTest::mouseClick(dialog.amountButtons()->button(0), Qt::LeftButton);
    // The label's access key reaches the typed amount.
    QTest::keyClick(&dialog, Qt::Key_T, Qt::AltModifier);
    ASSERT_TRUE(dialog.typedAmount()->hasFocus());
    QTest::keyClicks(dialog.typedAmount(), QStringLiteral("0000600"));
    EXPECT_EQ(dialog.amountButtons()->checkedButton(), nullptr);

    QTest::keyClick(&dialog, Qt::Key_Return);
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(prompts.messages()[0].text, QLatin1String("Result would be negative.  Try again."));
    EXPECT_TRUE(dialog.isVisible());

    dialog.typedAmount()->selectAll();
    QTest::keyClicks(dialog.typedAmount(), QStringLiteral("0000430"));
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.adjustedValue(), QVariant(QStringLiteral("0000030")));
}

TEST(frmTimeAdd, TypedTimeIsReadAsPeopleWriteItAndGarbageIsKeptForMending)
{
    ScriptedPrompts prompts;
    frmTimeAdd dialog(spent(AdjustDirection::Add, "0010000"), prompts);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.typedAmount()->setFocus();
    QTest::keyClicks(dialog.typedAmount(), QStringLiteral("1:3x"));
    QTest::keyClick(&dialog, Qt::Key_Return);
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_TRUE(prompts.messages()[0].text.startsWith(QStringLiteral("\"1:3x\" is not a time.")))
        << prompts.messages()[0].text.toStdString();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.typedAmount()->text(), QStringLiteral("1:3x"));

    QTest::keyClick(dialog.typedAmount(), Qt::Key_Backspace);
    QTest::keyClicks(dialog.typedAmount(), QStringLiteral("0"));
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.adjustedValue(), QVariant(QStringLiteral("0023000")));
}

TEST(frmTimeAdd, CancelLeavesNoResultAndValuesRoundTrip)
{
    ScriptedPrompts prompts;
    AdjustTimeInput detail{AdjustTarget::TimeDetail, AdjustDirection::Add, 30, QString()};
    frmTimeAdd dialog(fromDialogValues(toDialogValues(detail)), prompts);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    // The note about the TimeCard's own fields is left out for time detail.
    EXPECT_EQ(dialog.findChildren<QLabel *>().size(), 2);
    QTest::mouseClick(dialog.amountButtons()->button(4), Qt::LeftButton);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.adjustedValue().isValid());
}
