// Hostile text typed and pasted into every field of the real main window, and
// the list windows driven with an empty list and a list of one: what is typed
// is what is stored or it is refused in words, nothing reaches the common
// error handler and the statements around the text stay as they were.

#include "MainWindowFixture.h"
#include "platform/db/Connection.h"
#include "platform/registry/Registry.h"
#include "testsupport/ProgramFiles.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"
#include "ui/ActivityMaintenanceDialog.h"
#include "ui/ContactMaintenanceDialog.h"
#include "ui/frmAutoFill.h"
#include "ui/frmAutoTasks.h"
#include "ui/frmTimeCard.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSqlRecord>
#include <QTabWidget>
#include <QTest>
#include <algorithm>

using namespace quorvale;

namespace {

QStringList hostileTexts()
{
    return {QStringLiteral("O'Neil \"quoted\" 100% done; DROP TABLE tblTimeCards; --"),
            QStringLiteral("_%[*]?#"), QStringLiteral("Straße 日本 😀🎉"),
            QStringLiteral("Long text ").repeated(1000)};
}

// Short plain text is typed key by key; the rest is pasted, as people bring it.
void enter(QWidget *field, const QString &text)
{
    field->setFocus();
    // Ctrl+A is the window's new-appointment key, so the field selects for itself.
    if (auto *line = qobject_cast<QLineEdit *>(field))
        line->selectAll();
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(field))
        plain->selectAll();
    const bool typable = text.size() < 100 && std::all_of(text.begin(), text.end(), [](QChar c) {
                             return c.unicode() < 128;
                         });
    if (typable) {
        QTest::keyClicks(field, text);
    } else {
        QApplication::clipboard()->setText(text);
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    }
}

QString shownText(QWidget *field)
{
    if (auto *line = qobject_cast<QLineEdit *>(field))
        return line->text();
    return qobject_cast<QPlainTextEdit *>(field)->toPlainText();
}

class BadInputMainWindow : public test::MainWindowFixture {
protected:
    void SetUp() override
    {
        makeDemo();
        ASSERT_NO_FATAL_FAILURE(open());
        window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    }
    void TearDown() override { close(); }

    int timeCardRows()
    {
        return cnn().scalar(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards")).toInt();
    }
    bool reportWritten() const
    {
        const QDir reports(tmp.filePath(QStringLiteral("reports")));
        return reports.exists() && !reports.entryList(QDir::Files).isEmpty();
    }
    // The editable text fields of the TimeCard's pages, each with the page it is on.
    QList<QPair<QWidget *, int>> textFields()
    {
        auto *pages = window().findChild<QTabWidget *>(QStringLiteral("TimeCardFields"));
        EXPECT_NE(pages, nullptr);
        QList<QPair<QWidget *, int>> fields;
        if (!pages)
            return fields;
        for (int page = 0; page < pages->count(); ++page) {
            for (QWidget *w : pages->widget(page)->findChildren<QWidget *>()) {
                // The date, time and list boxes' own editors are not text fields.
                if (qobject_cast<QAbstractSpinBox *>(w->parentWidget()) ||
                    qobject_cast<QComboBox *>(w->parentWidget()))
                    continue;
                const auto *line = qobject_cast<QLineEdit *>(w);
                const auto *plain = qobject_cast<QPlainTextEdit *>(w);
                if ((line && line->isEnabled() && !line->isReadOnly()) ||
                    (plain && plain->isEnabled() && !plain->isReadOnly()))
                    fields.append({w, page});
            }
        }
        return fields;
    }
};

// What a field does with text it cannot hold as written.
enum class Takes { Exactly, MaskedDigits, NumberOrNothing, DurationOrRefusal };

struct FieldRule {
    const char *column;
    Takes takes;
};

FieldRule ruleFor(const QString &name)
{
    static const QHash<QString, FieldRule> rules{
        {QStringLiteral("txtDescription"), {"Description", Takes::Exactly}},
        {QStringLiteral("txtCategory"), {"Category", Takes::Exactly}},
        {QStringLiteral("txtJobOrder"), {"JobOrder", Takes::MaskedDigits}},
        {QStringLiteral("txtRate"), {"Rate", Takes::NumberOrNothing}},
        {QStringLiteral("txtFlatFee"), {"FlatRate", Takes::NumberOrNothing}},
        {QStringLiteral("txtRealization"), {"Realization", Takes::NumberOrNothing}},
        {QStringLiteral("txtTimeSpent"), {"Quantity", Takes::DurationOrRefusal}},
        {QStringLiteral("txtTimeEstimated"), {"TimeEstimated", Takes::DurationOrRefusal}},
    };
    return rules.value(name, FieldRule{nullptr, Takes::Exactly});
}

} // namespace

TEST_F(BadInputMainWindow, EveryTextFieldStoresHostileTextAsTypedOrRefusesItInWords)
{
    auto *pages = window().findChild<QTabWidget *>(QStringLiteral("TimeCardFields"));
    ASSERT_NE(pages, nullptr);
    const QVariant id = current();
    ASSERT_TRUE(id.isValid());
    const int rows = timeCardRows();
    const auto fields = textFields();
    QStringList names;
    for (const auto &entry : fields)
        names << entry.first->objectName();
    names.sort();
    EXPECT_EQ(names,
              QStringList({"txtCategory", "txtDescription", "txtFlatFee", "txtJobOrder", "txtRate",
                           "txtRealization", "txtTimeEstimated", "txtTimeSpent"}));

    for (const auto &[field, page] : fields) {
        const QString name = field->objectName();
        const FieldRule rule = ruleFor(name);
        ASSERT_NE(rule.column, nullptr) << "no rule for the field " << name.toStdString();
        for (const QString &text : hostileTexts()) {
            SCOPED_TRACE(name.toStdString() + " <- " + text.left(40).toStdString());
            const QVariant before = stored(id, rule.column);
            const auto told = prompts.messages().size();
            pages->setCurrentIndex(page);
            const QString shownBefore = shownText(field);
            enter(field, text);
            const QString typed = shownText(field);
            QTest::keyClick(field, Qt::Key_Tab);
            // A duration is read once the focus has moved on.
            QCoreApplication::processEvents();
            if (rule.takes == Takes::DurationOrRefusal) {
                ASSERT_EQ(prompts.messages().size(), told + 1);
                EXPECT_EQ(prompts.messages().last().icon, PromptIcon::Warning);
                EXPECT_EQ(field->hasFocus(), true) << "left to be mended";
                // Mended back to what it held, the TimeCard can be left.
                qobject_cast<QLineEdit *>(field)->selectAll();
                QTest::keyClicks(field, shownBefore);
                QTest::keyClick(field, Qt::Key_Tab);
                QCoreApplication::processEvents();
                EXPECT_EQ(prompts.messages().size(), told + 1);
            } else {
                EXPECT_EQ(prompts.messages().size(), told)
                    << prompts.messages().last().text.toStdString();
            }

            // Away and back: the row is written and read again.
            press(Qt::Key_F7);
            ASSERT_NE(current(), id);
            press(Qt::Key_F6);
            ASSERT_EQ(current(), id);
            pages->setCurrentIndex(page);

            const QVariant after = stored(id, rule.column);
            switch (rule.takes) {
            case Takes::Exactly:
                EXPECT_EQ(after.toString(), text);
                EXPECT_EQ(shownText(field), text);
                break;
            case Takes::MaskedDigits:
                // The mask lets only its digits in; what it shows is what is kept.
                EXPECT_EQ(shownText(field), typed);
                for (QChar c : after.toString())
                    EXPECT_TRUE(c.isDigit() || c == u'-' || c == u' ')
                        << after.toString().toStdString();
                break;
            case Takes::NumberOrNothing:
            case Takes::DurationOrRefusal:
                EXPECT_EQ(after, before);
                EXPECT_NE(shownText(field), text);
                break;
            }
            EXPECT_EQ(timeCardRows(), rows);
            EXPECT_EQ(endedWith, 0);
            EXPECT_FALSE(reportWritten());
        }
    }
}

// The AutoTasks list, empty and then of one: every button with nothing chosen
// leaves the list alone, and what is handed back to be stored is what it shows.
TEST(BadInputLists, AutoTasksFromEmptyToOneAndBack)
{
    QList<AutoTask> stored;
    int changes = 0;
    int created = 0;
    frmAutoTasks window(
        {},
        [&](const QList<AutoTask> &tasks) {
            stored = tasks;
            ++changes;
        },
        [&](const AutoTask &) { ++created; });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const auto button = [&window](const QString &text) {
        for (QPushButton *b : window.findChildren<QPushButton *>())
            if (b->text() == text)
                return b;
        ADD_FAILURE() << text.toStdString();
        return static_cast<QPushButton *>(nullptr);
    };
    ASSERT_EQ(window.list()->count(), 0);
    for (const char *name : {"&New", "&Save", "&Delete", "C&reate Task"})
        QTest::mouseClick(button(name), Qt::LeftButton);
    EXPECT_EQ(window.list()->count(), 0);
    EXPECT_EQ(changes, 0) << "an entry without a subject is not kept";
    EXPECT_EQ(created, 0);

    for (const QString &text : hostileTexts()) {
        SCOPED_TRACE(text.left(40).toStdString());
        QTest::mouseClick(button("&New"), Qt::LeftButton);
        enter(window.subject(), text);
        QTest::mouseClick(button("&Save"), Qt::LeftButton);
        ASSERT_EQ(window.list()->count(), 1);
        ASSERT_EQ(stored.size(), 1);
        EXPECT_EQ(stored[0].subject, text.trimmed());
        EXPECT_EQ(window.list()->item(0)->text(), stored[0].subject);
        QTest::mouseClick(button("C&reate Task"), Qt::LeftButton);
        EXPECT_EQ(created, 1);
        created = 0;

        // Nothing chosen: Delete is no use and takes nothing away.
        window.list()->setCurrentRow(-1);
        QTest::mouseClick(button("&Delete"), Qt::LeftButton);
        EXPECT_EQ(window.list()->count(), 1);
        window.list()->setCurrentRow(0);
        QTest::mouseClick(button("&Delete"), Qt::LeftButton);
        EXPECT_EQ(window.list()->count(), 0);
        EXPECT_TRUE(stored.isEmpty());
        EXPECT_FALSE(button("&Delete")->isEnabled());
    }
}

namespace {

// Clicks the button of a message box by its role.
std::function<void(QMessageBox &)> answerWith(QMessageBox::StandardButton which,
                                              QStringList *texts = nullptr)
{
    return [which, texts](QMessageBox &box) {
        if (texts)
            *texts << box.text();
        box.button(which)->click();
    };
}

} // namespace

// The contact list from empty to one hostile name and back to empty.
TEST(BadInputLists, ContactMaintenanceFromEmptyToOneAndBack)
{
    test::ProgramFiles files;
    db::Connection cnn;
    cnn.open(files.programConnectString());
    const auto count = [&files] {
        return files.scalar(files.dataFile(), "SELECT COUNT(*) FROM tblContacts").toInt();
    };
    const int before = count();
    ContactMaintenanceDialog dialog(cnn, Terms{}, nullptr);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_EQ(dialog.list()->count(), before);
    QStringList told;
    {
        test::ModalScript script;
        // An empty entry saved is refused in words.
        script.then<QMessageBox>(answerWith(QMessageBox::Ok, &told));
        QTest::mouseClick(dialog.newButton(), Qt::LeftButton);
        if (dialog.deleteButton()->isEnabled())
            QTest::mouseClick(dialog.deleteButton(), Qt::LeftButton);
        QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
    }
    EXPECT_EQ(told.size(), 1);
    EXPECT_EQ(count(), before);
    EXPECT_EQ(dialog.list()->count(), before);

    for (const QString &text : hostileTexts()) {
        SCOPED_TRACE(text.left(40).toStdString());
        QTest::mouseClick(dialog.newButton(), Qt::LeftButton);
        enter(dialog.nameEdit(), text);
        const QString typed = dialog.nameEdit()->text();
        told.clear();
        {
            test::ModalScript script;
            if (typed != text) // a length limit refuses it in words
                script.then<QMessageBox>(answerWith(QMessageBox::Ok, &told));
            QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
        }
        if (typed != text) {
            EXPECT_EQ(count(), before);
            continue;
        }
        ASSERT_EQ(count(), before + 1);
        ASSERT_EQ(dialog.list()->count(), before + 1);
        const QString saved = files
                                  .scalar(files.dataFile(), "SELECT ContactName FROM tblContacts "
                                                            "ORDER BY ContactID DESC LIMIT 1")
                                  .toString();
        EXPECT_EQ(saved, text);
        EXPECT_EQ(dialog.list()->currentItem()->text(), saved);
        {
            test::ModalScript script;
            script.then<QMessageBox>(answerWith(QMessageBox::Yes));
            QTest::mouseClick(dialog.deleteButton(), Qt::LeftButton);
        }
        EXPECT_EQ(count(), before);
        EXPECT_EQ(dialog.list()->count(), before);
    }
}

// Templates with no field at all and with a single field: Apply and OK keep
// what the lists show, slot for slot, and the previews stay empty rather than
// failing.
TEST(BadInputLists, AutoFillTemplatesWithNoFieldOrOneAreAppliedAsShown)
{
    test::TempDir dir;
    const QString iniPath = dir.filePath("settings.ini");
    Registry registry(iniPath);
    test::ScriptedPrompts prompts;
    AutoFillTemplates none;
    for (TemplateKind kind : {TemplateKind::Journal, TemplateKind::Tasks,
                              TemplateKind::Appointments, TemplateKind::Notes})
        std::ranges::fill(none.codes(kind), qint16(0));
    AutoFillTemplates one = none;
    one.tasks[0] = 2;

    for (const AutoFillTemplates &templates : {none, one}) {
        frmAutoFill dialog(templates, FieldTerms{}, registry, prompts);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        for (int tab = 0; tab < dialog.tabs()->count(); ++tab) {
            dialog.tabs()->setCurrentIndex(tab);
            for (int slot = 0; slot < frmAutoFill::SlotCount; ++slot) {
                if (dialog.slotList(slot)->isVisible()) {
                    EXPECT_EQ(dialog.slotList(slot)->currentData().value<qint16>(),
                              templates.codes(dialog.currentKind())[std::size_t(slot)]);
                }
            }
        }
        QTest::mouseClick(dialog.applyButton(), Qt::LeftButton);
        QTest::mouseClick(dialog.findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.appliedTemplates(), templates);
        Registry fresh(iniPath);
        EXPECT_EQ(fresh.openSubKey("Settings\\AutoFill\\Tasks").readText("0"),
                  QString::number(templates.tasks[0]));
        EXPECT_EQ(fresh.openSubKey("Settings\\AutoFill\\Notes").readText("5"), "0");
    }
    EXPECT_TRUE(prompts.messages().isEmpty());
}

// An activity list from empty to one hostile name and back, Delete and Save
// with nothing chosen on the way.
TEST(BadInputLists, ActivityMaintenanceFromEmptyToOneAndBack)
{
    test::ProgramFiles files;
    files.addContact("Acme");
    db::Connection cnn;
    cnn.open(files.programConnectString());
    const auto count = [&files] {
        return files.scalar(files.dataFile(), "SELECT COUNT(*) FROM tblMainActivities").toInt();
    };
    ActivityMaintenanceDialog dialog(cnn, ActivityLevel::Activity1, Terms{});
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_EQ(dialog.list()->count(), 0);
    EXPECT_FALSE(dialog.deleteButton()->isEnabled());
    QStringList told;
    {
        test::ModalScript script;
        script.then<QMessageBox>(answerWith(QMessageBox::Ok, &told));
        QTest::mouseClick(dialog.newButton(), Qt::LeftButton);
        QTest::mouseClick(dialog.deleteButton(), Qt::LeftButton);
        QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
    }
    EXPECT_EQ(told.size(), 1) << "an empty activity is refused in words";
    EXPECT_EQ(count(), 0);

    for (const QString &text : hostileTexts()) {
        SCOPED_TRACE(text.left(40).toStdString());
        QTest::mouseClick(dialog.newButton(), Qt::LeftButton);
        enter(dialog.nameEdit(), text);
        enter(dialog.descriptionEdit(), text);
        QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
        ASSERT_EQ(count(), 1);
        ASSERT_EQ(dialog.list()->count(), 1);
        QSqlQuery q(cnn.database());
        ASSERT_TRUE(q.exec("SELECT * FROM tblMainActivities") && q.next());
        const QSqlRecord row = q.record();
        QStringList texts;
        for (int i = 0; i < row.count(); ++i)
            texts << row.value(i).toString();
        EXPECT_GE(texts.count(text), 2) << "name and description as typed";
        EXPECT_TRUE(dialog.list()->item(0)->text().contains(text));
        {
            test::ModalScript script;
            script.then<QMessageBox>(answerWith(QMessageBox::Yes));
            QTest::mouseClick(dialog.deleteButton(), Qt::LeftButton);
        }
        EXPECT_EQ(count(), 0);
        EXPECT_EQ(dialog.list()->count(), 0);
    }
}
