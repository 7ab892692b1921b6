// The abbreviations dialog and the main window's drop-down list, offscreen on a
// real QVLocal file: editing the list, what reaches the table, and inserting a
// stock text at the caret of a note field.

#include "ui/frmAbbreviations.h"

#include "platform/db/Connection.h"
#include "testsupport/ProgramFiles.h"
#include "testsupport/QtPrinters.h"
#include "timecards/Clock.h"
#include "ui/AbbreviationList.h"
#include "ui/AbbreviationTarget.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

QPushButton *buttonNamed(QWidget &dialog, const char *text)
{
    for (auto *button : dialog.findChildren<QPushButton *>()) {
        if (button->text() == QLatin1String(text))
            return button;
    }
    ADD_FAILURE() << "no button " << text;
    return nullptr;
}

void click(QWidget &dialog, const char *text)
{
    if (QPushButton *button = buttonNamed(dialog, text))
        QTest::mouseClick(button, Qt::LeftButton);
}

QStringList shownNames(const QListWidget &list)
{
    QStringList names;
    for (int i = 0; i < list.count(); ++i)
        names << list.item(i)->text();
    return names;
}

QStringList names(const std::vector<Abbreviation> &list)
{
    QStringList out;
    for (const Abbreviation &entry : list)
        out << entry.name;
    return out;
}

struct AbbreviationsUi : ::testing::Test {
    test::ProgramFiles files;
    db::Connection local;
    db::Connection link;
    Terms terms{QStringLiteral("Client"), QStringLiteral("Phase"), QStringLiteral("Task")};
    const std::vector<Abbreviation> seeded{
        {QStringLiteral("call"), QStringLiteral("Called client")},
        {QStringLiteral("mtg"), QStringLiteral("[DTM1]Meeting")},
        {QStringLiteral("o'neil"), QStringLiteral("Spoke to O'Neil; agreed")},
    };

    void SetUp() override
    {
        local.open(QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=") +
                   files.localFile());
        link.open(QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=") +
                  files.dataFile());
        SaveAbbreviations(local, seeded);
    }

    std::unique_ptr<frmAbbreviations> openDialog()
    {
        auto dialog = std::make_unique<frmAbbreviations>(local, files.prompts, terms);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return dialog;
    }
};

} // namespace

TEST_F(AbbreviationsUi, AddAppendsTheTypedNameAndOffersTheTextForOvertyping)
{
    auto dialog = openDialog();
    // The first field in the tab order: typing a name starts at once.
    ASSERT_TRUE(dialog->nameField()->hasFocus());
    // Capitals come out small; ; " _ and / are refused as they are typed.
    QTest::keyClicks(dialog->nameField(), QStringLiteral("Re; \"O'Neil\"_#2/x"));
    EXPECT_EQ(dialog->nameField()->text(), QLatin1String("re o'neil#2x"));
    click(*dialog, "A&dd");

    EXPECT_EQ(shownNames(*dialog->list()).last(), QLatin1String("re o'neil#2x"));
    EXPECT_EQ(dialog->list()->currentRow(), 3);
    EXPECT_TRUE(dialog->nameField()->text().isEmpty());
    EXPECT_TRUE(dialog->textField()->hasFocus());
    EXPECT_EQ(dialog->textField()->textCursor().selectedText(),
              QLatin1String("Enter text for abbreviation here."));
    QTest::keyClicks(dialog->textField(), QStringLiteral("Left a message"));
    EXPECT_EQ(dialog->entries().back().text, QLatin1String("Left a message"));

    // A name already there is chosen, not added twice; an empty one adds nothing.
    QTest::keyClicks(dialog->nameField(), QStringLiteral("mtg"));
    click(*dialog, "A&dd");
    EXPECT_EQ(dialog->list()->count(), 4);
    EXPECT_EQ(dialog->list()->currentRow(), 1);
    click(*dialog, "A&dd");
    EXPECT_EQ(dialog->list()->count(), 4);
}

TEST_F(AbbreviationsUi, TheFirstNameAddedToAnEmptyListIsChosenForItsText)
{
    // Adding grows the list: the new row must not be read from before it grew.
    SaveAbbreviations(local, {});
    auto dialog = openDialog();
    QTest::keyClicks(dialog->nameField(), QStringLiteral("lm"));
    click(*dialog, "A&dd");
    ASSERT_EQ(dialog->list()->currentRow(), 0);
    QTest::keyClicks(dialog->textField(), QStringLiteral("Left a message"));
    ASSERT_EQ(dialog->entries().size(), 1u);
    EXPECT_EQ(dialog->entries()[0].text, QLatin1String("Left a message"));
}

TEST_F(AbbreviationsUi, DeleteSelectsANeighbourAndTypingWithoutANameWarns)
{
    auto dialog = openDialog();
    dialog->list()->setCurrentRow(1);
    click(*dialog, "D&elete");
    EXPECT_EQ(shownNames(*dialog->list()),
              (QStringList{QStringLiteral("call"), QStringLiteral("o'neil")}));
    EXPECT_EQ(dialog->list()->currentRow(), 1);
    EXPECT_EQ(dialog->textField()->toPlainText(), QLatin1String("Spoke to O'Neil; agreed"));

    click(*dialog, "D&elete"); // the last: its predecessor is chosen
    EXPECT_EQ(dialog->list()->currentRow(), 0);
    click(*dialog, "D&elete");
    EXPECT_EQ(dialog->list()->count(), 0);
    EXPECT_TRUE(dialog->entries().empty());
    EXPECT_TRUE(dialog->textField()->toPlainText().isEmpty());

    dialog->textField()->setFocus();
    QTest::keyClicks(dialog->textField(), QStringLiteral("x"));
    EXPECT_TRUE(dialog->textField()->toPlainText().isEmpty());
    ASSERT_EQ(files.prompts.messages().size(), 1);
    EXPECT_EQ(files.prompts.messages()[0].title, QLatin1String("Warning"));
    EXPECT_EQ(files.prompts.messages()[0].text,
              QLatin1String("Use the \"Add\" button to add an abbreviation name before editing "
                            "the text of the abbreviation."));
}

TEST_F(AbbreviationsUi, MovingExchangesWithTheNeighbourButNotPastTheEnds)
{
    auto dialog = openDialog();
    click(*dialog, "Move &Up"); // the first, already at the top
    EXPECT_EQ(names(dialog->entries()), names(seeded));
    EXPECT_EQ(dialog->list()->currentRow(), 0);

    click(*dialog, "Move Do&wn");
    const QStringList swapped{QStringLiteral("mtg"), QStringLiteral("call"),
                              QStringLiteral("o'neil")};
    EXPECT_EQ(shownNames(*dialog->list()), swapped);
    EXPECT_EQ(names(dialog->entries()), swapped);
    EXPECT_EQ(dialog->list()->currentRow(), 1);
    EXPECT_EQ(dialog->textField()->toPlainText(), QLatin1String("Called client"));

    dialog->list()->setCurrentRow(2);
    click(*dialog, "Move Do&wn"); // the last, already at the bottom
    EXPECT_EQ(names(dialog->entries()), swapped);
    EXPECT_EQ(dialog->list()->currentRow(), 2);
}

TEST_F(AbbreviationsUi, ApplyAndOkWriteCancelDoesNot)
{
    auto dialog = openDialog();
    click(*dialog, "Move Do&wn");
    click(*dialog, "&Apply");
    EXPECT_TRUE(dialog->isVisible());
    const QStringList applied{QStringLiteral("mtg"), QStringLiteral("call"),
                              QStringLiteral("o'neil")};
    EXPECT_EQ(FillAbbreviationList(local), applied);

    click(*dialog, "D&elete");
    click(*dialog, "&Cancel");
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(FillAbbreviationList(local), applied);

    auto again = openDialog();
    click(*again, "D&elete");
    click(*again, "OK");
    EXPECT_EQ(again->result(), QDialog::Accepted);
    EXPECT_EQ(FillAbbreviationList(local),
              (QStringList{QStringLiteral("call"), QStringLiteral("o'neil")}));
    EXPECT_TRUE(files.prompts.messages().isEmpty());
}

TEST_F(AbbreviationsUi, InsertGoesToTheCaretReplacingTheSelection)
{
    FixedClock clock{QDateTime(QDate(2026, 3, 9), QTime(9, 30))};
    int asked = 0;
    AbbreviationList list(
        local, link, files.prompts, clock,
        [&] {
            ++asked;
            return TimeCardActivities{};
        },
        terms);
    EXPECT_EQ(list.accessibleName(), QLatin1String("Abbreviations"));
    list.fill();
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.currentIndex(), -1);

    QPlainTextEdit target;
    target.setPlainText(QStringLiteral("Before REPLACE after"));
    QTextCursor cursor = target.textCursor();
    cursor.setPosition(7);
    cursor.setPosition(14, QTextCursor::KeepAnchor);
    target.setTextCursor(cursor);

    EXPECT_FALSE(list.insertSelected(&target));
    ASSERT_EQ(files.prompts.messages().size(), 1);
    EXPECT_EQ(files.prompts.messages()[0].title, QLatin1String(" Abbreviations"));
    EXPECT_EQ(files.prompts.messages()[0].text,
              QLatin1String("You must first select an abbreviation from the drop down list."));
    EXPECT_EQ(target.toPlainText(), QLatin1String("Before REPLACE after"));

    list.setCurrentIndex(1);
    EXPECT_TRUE(list.insertSelected(&target));
    const QString inserted = QStringLiteral("[") +
                             QLocale().toString(QDate(2026, 3, 9), QLocale::ShortFormat) +
                             QStringLiteral("] Meeting");
    const QString expected = QStringLiteral("Before ") + inserted + QStringLiteral(" after");
    EXPECT_EQ(target.toPlainText(), expected);
    EXPECT_EQ(target.textCursor().position(), 7 + inserted.size());
    EXPECT_EQ(list.currentIndex(), -1);
    EXPECT_EQ(asked, 1);

    // A read-only field (a locked TimeCard) is left alone.
    target.setReadOnly(true);
    list.setCurrentIndex(0);
    EXPECT_FALSE(list.insertSelected(&target));
    EXPECT_EQ(target.toPlainText(), expected);
}

TEST_F(AbbreviationsUi, EditingRefillsTheList)
{
    FixedClock clock{QDateTime(QDate(2026, 3, 9), QTime(9, 30))};
    AbbreviationList list(local, link, files.prompts, clock, {}, terms);
    list.fill();
    bool sawDialog = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<frmAbbreviations *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        sawDialog = true;
        QTest::keyClicks(dialog->nameField(), QStringLiteral("new one"));
        click(*dialog, "A&dd");
        click(*dialog, "OK");
    });
    list.edit();
    EXPECT_TRUE(sawDialog);
    EXPECT_EQ(list.count(), 4);
    EXPECT_EQ(list.itemText(3), QLatin1String("new one"));
    EXPECT_EQ(list.currentIndex(), -1);
}

TEST(AbbreviationTarget, TheSegmentFieldWhenItWasTheLastOfTheTwoInUse)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *description = new QPlainTextEdit(&window);
    auto *segment = new QPlainTextEdit(&window);
    auto *other = new QPushButton(QStringLiteral("x"), &window);
    for (QWidget *w : {static_cast<QWidget *>(description), static_cast<QWidget *>(segment),
                       static_cast<QWidget *>(other)})
        layout->addWidget(w);
    AbbreviationTarget target(description, segment);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    EXPECT_EQ(target.target(), description);
    segment->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(target.target(), segment);
    other->setFocus(); // the list or a menu takes the focus
    QApplication::processEvents();
    EXPECT_EQ(target.target(), segment);
    description->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(target.target(), description);
}
