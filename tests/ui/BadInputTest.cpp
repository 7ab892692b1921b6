// Hostile text typed and pasted into every field of the real main window, and
// the list windows driven with an empty list and a list of one: what is typed
// is what is stored or it is refused in words, nothing reaches the common
// error handler and the statements around the text stay as they were.

#include "MainWindowFixture.h"
#include "platform/db/Connection.h"
#include "testsupport/ProgramFiles.h"
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
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTest>

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
