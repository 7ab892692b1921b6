#include "ui/frmUpdatePrompt.h"

#include "timecards/UpdatePrompt.h"

#include <QApplication>
#include <QCheckBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

// Answers the prompt from the keyboard once it is open.
void answerWith(const std::function<void(frmUpdatePrompt &)> &keys)
{
    QTimer::singleShot(0, [keys] {
        auto *prompt = qobject_cast<frmUpdatePrompt *>(QApplication::activeModalWidget());
        ASSERT_NE(prompt, nullptr);
        keys(*prompt);
        // A failed step must not leave the prompt waiting for ever.
        if (prompt->isVisible())
            prompt->reject();
    });
}

TEST(frmUpdatePrompt, TheTicksGoBackOnOkAndNothingOnCancel)
{
    QVariantMap values{{ModifySubjectKey, false}, {ModifyBodyKey, true}};
    answerWith([](frmUpdatePrompt &prompt) {
        EXPECT_EQ(prompt.windowTitle(), " Modify Outlook Fields?");
        // The focus starts on the subject: Space ticks it, Tab and Space untick
        // the body, Enter is OK.
        ASSERT_EQ(prompt.focusWidget(), prompt.subjectOption());
        QTest::keyClick(prompt.focusWidget(), Qt::Key_Space);
        QTest::keyClick(prompt.focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(prompt.focusWidget(), prompt.bodyOption());
        QTest::keyClick(prompt.focusWidget(), Qt::Key_Space);
        QTest::keyClick(prompt.focusWidget(), Qt::Key_Return);
    });
    ASSERT_TRUE(frmUpdatePrompt::UpdatePromptDialog(values));
    EXPECT_TRUE(values.value(ModifySubjectKey).toBool());
    EXPECT_FALSE(values.value(ModifyBodyKey).toBool());

    const QVariantMap before = values;
    answerWith([](frmUpdatePrompt &prompt) {
        QTest::keyClick(prompt.focusWidget(), Qt::Key_Space);
        QTest::keyClick(prompt.focusWidget(), Qt::Key_Escape);
    });
    EXPECT_FALSE(frmUpdatePrompt::UpdatePromptDialog(values));
    EXPECT_EQ(values, before);
}

} // namespace
