// Sending a message from its editor through a stand-in for sendmail, without
// a transport, and with one that refuses; and the inspector the program's
// Item::Display reaches, modal and non-modal.

#include "platform/pim/Items.h"
#include "platform/pim/JournalItem.h"
#include "platform/pim/MailItem.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/TaskItem.h"
#include "testsupport/ExternalTool.h"
#include "testsupport/MailSink.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"
#include "ui/ItemEditorDialog.h"
#include "ui/ItemInspector.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quorvale;
using namespace quorvale::pim;

namespace {

class ItemEditorSendTest : public ::testing::Test {
protected:
    test::TempDir dir;
    Namespace ns{dir.filePath(QStringLiteral("Items"))};
    test::ScriptedPrompts prompts;
    Folder outbox = ns.GetDefaultFolder(DefaultFolder::Outbox);
    Folder sent = ns.GetDefaultFolder(DefaultFolder::SentMail);
    QString received = dir.filePath(QStringLiteral("received.eml"));

    MailTransport script(const QByteArray &body)
    {
        const QString path = dir.filePath(QStringLiteral("sendmail.sh"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + body);
        file.close();
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                            QFileDevice::ExeOwner);
        return MailTransport(QStringLiteral("\"%1\" -t -oi").arg(path));
    }

    std::unique_ptr<MailItem> draft()
    {
        auto mail = std::make_unique<MailItem>(ns.GetDefaultFolder(DefaultFolder::Inbox));
        mail->setSubject(QStringLiteral("Invoice 17"));
        mail->Save();
        return mail;
    }

    // Opens the message, addresses it and presses Alt+S.
    std::unique_ptr<ItemEditorDialog> sendFromEditor(MailItem &mail, MailTransport transport)
    {
        auto dialog = std::make_unique<ItemEditorDialog>(
            mail, ItemEditorContext{prompts, &ns, std::move(transport)});
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        // Access keys reach only the active window.
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        QWidget *to = dialog->control(QStringLiteral("To"))->input();
        QTest::keyClicks(to, QStringLiteral("client@example.org"));
        QTest::keyClick(to, Qt::Key_S, Qt::AltModifier);
        // An access key clicks its button in an animation, from the event loop.
        EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->sendResult().has_value(); }));
        return dialog;
    }
};

TEST_F(ItemEditorSendTest, SentMessageIsFiledInSentItems)
{
    auto mail = draft();
    auto dialog = sendFromEditor(*mail, script("cat > \"" + received.toUtf8() + "\"\n"));

    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    ASSERT_TRUE(dialog->sendResult());
    EXPECT_EQ(dialog->sendResult()->status, SendStatus::Sent);
    QFile file(received);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray message = file.readAll();
    EXPECT_TRUE(message.contains("Subject: Invoice 17"));
    EXPECT_TRUE(message.contains("client@example.org"));
    EXPECT_EQ(Items(sent).Count(), 1);
    EXPECT_EQ(Items(outbox).Count(), 0);
    EXPECT_TRUE(prompts.messages().isEmpty());
}

TEST_F(ItemEditorSendTest, WithoutTransportTheMessageWaitsInTheOutbox)
{
    auto mail = draft();
    auto dialog = sendFromEditor(*mail, MailTransport());

    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const QString waits = QStringLiteral("The message waits in the Outbox until it can be sent.");
    EXPECT_EQ(dialog->statusText(), waits);
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(prompts.messages().front().text, waits);
    EXPECT_EQ(Items(outbox).Count(), 1);
    EXPECT_EQ(Items(sent).Count(), 0);
}

TEST_F(ItemEditorSendTest, RefusedMessageStaysOpenOnItsOutboxCopy)
{
    auto mail = draft();
    auto dialog = sendFromEditor(*mail, script("echo 'relay refused' >&2\nexit 1\n"));

    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->statusText().contains(QStringLiteral("relay refused")));
    EXPECT_EQ(dialog->item().parent().entryId(), outbox.entryId());
    // What the person edits now is the queued message.
    QLineEdit *subject =
        qobject_cast<QLineEdit *>(dialog->control(QStringLiteral("Subject"))->input());
    subject->selectAll();
    QTest::keyClicks(subject, QStringLiteral("Invoice 17 (corrected)"));
    dialog->saveAndClose();
    auto queued =
        Items(outbox).Find(QStringLiteral("Subject"), QStringLiteral("Invoice 17 (corrected)"));
    EXPECT_TRUE(queued);
    EXPECT_EQ(Items(outbox).Count(), 1);
}

TEST_F(ItemEditorSendTest, InspectorModalEditsTheCallersItem)
{
    ItemInspector inspector(prompts, &ns);
    JournalItem entry(ns.GetDefaultFolder(DefaultFolder::Journal));
    entry.setSubject(QStringLiteral("New from a TimeCard"));
    QTimer::singleShot(0, [] {
        auto *editor = qobject_cast<ItemEditorDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        editor->saveAndClose();
    });
    EXPECT_TRUE(entry.Display(&inspector, true));
    EXPECT_TRUE(entry.Saved());
}

TEST_F(ItemEditorSendTest, InspectorNonModalOwnsItsCopy)
{
    ItemInspector inspector(prompts, &ns);
    QString entryId;
    {
        JournalItem entry(ns.GetDefaultFolder(DefaultFolder::Journal));
        entry.setSubject(QStringLiteral("Before"));
        entry.Save();
        entryId = entry.EntryID();
        EXPECT_TRUE(inspector.display(entry, false));
    } // the caller's item is gone; the editor must not need it
    ASSERT_EQ(inspector.openEditors().size(), 1);
    QPointer<ItemEditorDialog> editor = inspector.openEditors().front();
    auto *subject = qobject_cast<QLineEdit *>(editor->control(QStringLiteral("Subject"))->input());
    subject->selectAll();
    QTest::keyClicks(subject, QStringLiteral("After"));
    QTest::mouseClick(editor->saveButton(), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(editor.isNull());
    EXPECT_EQ(ns.GetItemFromID(entryId, QString())->Subject(), QStringLiteral("After"));
}

TEST_F(ItemEditorSendTest, AnUnsentMessageSavedFromSentItemsIsKeptInDrafts)
{
    // As an earlier version left a message saved without sending.
    MailItem left(sent);
    left.setSubject(QStringLiteral("Quote"));
    left.setTo(QStringLiteral("client@example.org"));
    left.Save();
    ItemEditorDialog dialog(left, ItemEditorContext{prompts, &ns});
    auto *subject = qobject_cast<QLineEdit *>(dialog.control(QStringLiteral("Subject"))->input());
    subject->selectAll();
    QTest::keyClicks(subject, QStringLiteral("Quote, revised"));
    dialog.saveAndClose();

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Items(sent).Count(), 0) << "an unsent message stayed in Sent Items";
    const Folder drafts = ns.GetDefaultFolder(DefaultFolder::Drafts);
    auto draft = Items(drafts).Find(QStringLiteral("Subject"), QStringLiteral("Quote, revised"));
    ASSERT_TRUE(draft);
    EXPECT_FALSE(static_cast<MailItem &>(*draft).Sent());
    EXPECT_EQ(dialog.item().parent().entryId(), drafts.entryId());
}

TEST_F(ItemEditorSendTest, ATaskRequestIsMailedToItsAssigneeAsACalendarRequest)
{
    QV_NEED_TOOL("python3");
    test::MailSink sink(dir.filePath(QStringLiteral("sink")));
    ASSERT_TRUE(sink.isListening());
    TaskItem task(ns.GetDefaultFolder(DefaultFolder::Tasks));
    task.setSubject(QStringLiteral("Check the figures"));
    task.Assign();
    MailTransport transport(sink.command());
    transport.setSender({QStringLiteral("Pat Morgan"), QStringLiteral("pat@example.org")});
    int sentCalls = 0;
    ItemEditorDialog dialog(task, ItemEditorContext{prompts, &ns, transport, [&] { ++sentCalls; }});
    ASSERT_NE(dialog.sendButton(), nullptr) << "a task request cannot be sent";
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClicks(dialog.control(QStringLiteral("To"))->input(),
                     QStringLiteral("Bea Client <bea@example.org>"));
    QTest::mouseClick(dialog.sendButton(), Qt::LeftButton);

    ASSERT_TRUE(dialog.sendResult());
    EXPECT_EQ(dialog.sendResult()->status, SendStatus::Sent) << dialog.statusText().toStdString();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(sentCalls, 1) << "the Outbox was not asked to go after a send";
    EXPECT_TRUE(task.Saved());
    EXPECT_EQ(task.Owner(), u"Pat Morgan");

    const std::optional<test::ReceivedMail> received = sink.waitFor(1);
    ASSERT_TRUE(received);
    EXPECT_EQ(received->envelopeFrom, u"pat@example.org");
    EXPECT_EQ(received->envelopeTo, QStringList{"bea@example.org"});
    const QJsonObject seen = test::checkMessage(received->file);
    EXPECT_EQ(test::strings(seen.value(QStringLiteral("problems"))), QStringList());
    const QJsonObject calendar = seen.value(QStringLiteral("calendar")).toObject();
    EXPECT_EQ(calendar.value(QStringLiteral("method")).toString(), u"REQUEST");
    EXPECT_TRUE(calendar.value(QStringLiteral("text"))
                    .toString()
                    .contains(QStringLiteral("SUMMARY:Check the figures")));
    EXPECT_EQ(Items(outbox).Count(), 0);
    EXPECT_EQ(Items(sent).Count(), 1);
}

TEST_F(ItemEditorSendTest, ATaskRequestToANameWithoutAnAddressIsNotSent)
{
    TaskItem task(ns.GetDefaultFolder(DefaultFolder::Tasks));
    task.setSubject(QStringLiteral("Call back"));
    task.Assign();
    ItemEditorDialog dialog(task, ItemEditorContext{prompts, &ns});
    QTest::keyClicks(dialog.control(QStringLiteral("To"))->input(), QStringLiteral("bea"));
    dialog.send();

    EXPECT_FALSE(dialog.sendResult());
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_TRUE(prompts.messages()[0].text.contains(QStringLiteral("\"bea\"")))
        << prompts.messages()[0].text.toStdString();
    EXPECT_EQ(Items(outbox).Count(), 0);
}

} // namespace
