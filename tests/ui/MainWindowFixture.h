#pragma once

// Driving the real main window as a person does: keys on the window, the modal
// windows its commands open answered as they show, and the item files the
// commands leave on disk read back as another calendar program reads them.

#include "DemoProgramFixture.h"
#include "outlook/FolderSlot.h"
#include "outlook/OutlookSession.h"
#include "platform/pim/Folder.h"
#include "ui/MainWindowHost.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QPointer>
#include <QProgressDialog>
#include <QSet>
#include <QSqlQuery>
#include <QTest>
#include <QTimeZone>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <libical/ical.h>
#include <optional>

namespace quorvale::test {

// The demo program's main window, shown; keys go to it as the active window.
class MainWindowFixture : public DemoProgramFixture {
protected:
    void open()
    {
        ASSERT_NO_FATAL_FAILURE(startProgram());
        host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host->window()));
    }
    // Closes as a person who keeps their work: changes are saved.
    void close()
    {
        prompts.answerAlways(QStringLiteral("Save Changes"), PromptResult::Yes);
        host->window().close();
        host.reset();
        startUp.reset();
    }

    frmTimeCard &window() { return host->window(); }
    template <class W> W *field(const char *name)
    {
        auto *w = window().findChild<W *>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QAction *tool(const char *name) { return window().tool(QLatin1String(name)); }
    QVariant current() { return host->commands().currentTimeCardId(); }
    // The column of the TimeCard's row as the database file holds it.
    QVariant stored(const QVariant &id, const char *column)
    {
        QSqlQuery q(startUp->store().cnnLink().database());
        q.prepare(QStringLiteral("SELECT %1 FROM tblTimeCards WHERE TimeCardID = ?")
                      .arg(QLatin1String(column)));
        q.addBindValue(id);
        return q.exec() && q.next() ? q.value(0) : QVariant();
    }
    // A key as the person presses it: the window is back in front after a
    // dialog, so its shortcuts reach it.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
        QWidget *target = QApplication::focusWidget();
        QTest::keyClick(target ? target : &window(), key, modifiers);
    }
};

// The demo program's main window, shown before each test and closed after it.
class ShownDemoWindow : public MainWindowFixture {
protected:
    void SetUp() override
    {
        makeDemo();
        ASSERT_NO_FATAL_FAILURE(open());
    }
    void TearDown() override
    {
        if (host)
            close();
    }

    QString folder(FolderSlot slot) { return startUp->outlook().folder(slot)->path(); }
};

// Answers the modal windows a command opens, in the order they open: each step
// runs inside the window's own event loop once it shows. A window the step left
// open, or one no step was written for, is closed unasked so that the test goes on.
class ModalScript : public QObject {
public:
    ModalScript() { qApp->installEventFilter(this); }
    ~ModalScript() override
    {
        qApp->removeEventFilter(this);
        EXPECT_TRUE(m_steps.empty()) << m_steps.size() << " windows never opened";
    }
    ModalScript(const ModalScript &) = delete;
    ModalScript &operator=(const ModalScript &) = delete;

    template <class W> ModalScript &then(std::function<void(W &)> step)
    {
        m_steps.push_back([step = std::move(step)](QWidget &shown) {
            auto *window = dynamic_cast<W *>(&shown);
            if (!window) {
                ADD_FAILURE() << "unexpected window " << shown.windowTitle().toStdString();
                return;
            }
            step(*window);
        });
        return *this;
    }
    // The titles of the windows that opened, in order.
    const QStringList &seen() const { return m_seen; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *widget = qobject_cast<QWidget *>(watched);
        // A long read's progress window is no question: it closes by itself.
        if (event->type() == QEvent::Show && widget && widget->isWindow() && widget->isModal() &&
            !qobject_cast<QProgressDialog *>(widget)) {
            QPointer<QWidget> shown(widget);
            QMetaObject::invokeMethod(
                this, [this, shown] { answer(shown); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void answer(const QPointer<QWidget> &shown)
    {
        if (!shown || !shown->isVisible())
            return;
        m_seen << shown->windowTitle();
        // The person's keys go to the window in front.
        shown->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(shown.data())) << m_seen.last().toStdString();
        if (m_steps.empty()) {
            ADD_FAILURE() << "no step for window " << shown->windowTitle().toStdString();
        } else {
            auto step = std::move(m_steps.front());
            m_steps.pop_front();
            step(*shown);
        }
        // Cancelled without its own questions: a step that failed must not hang the test.
        if (shown && shown->isVisible()) {
            if (auto *dialog = qobject_cast<QDialog *>(shown.data()))
                dialog->done(QDialog::Rejected);
            else
                shown->hide();
        }
    }

    std::deque<std::function<void(QWidget &)>> m_steps;
    QStringList m_seen;
};

// The item files of a folder on disk.
inline QSet<QString> itemFiles(const QString &folder)
{
    const QStringList names = QDir(folder).entryList(QDir::Files);
    QSet<QString> files;
    for (const QString &name : names)
        files.insert(QDir(folder).filePath(name));
    return files;
}

// The one file that appeared in a folder since `before`; empty when none or several did.
inline QString newItemFile(const QString &folder, const QSet<QString> &before)
{
    const QSet<QString> added = itemFiles(folder) - before;
    EXPECT_EQ(added.size(), 1) << folder.toStdString();
    return added.size() == 1 ? *added.begin() : QString();
}

// An iCalendar item file as libical reads it: its first event, to-do or
// journal entry, with the texts unescaped (X- properties under their names)
// and the times in local time.
struct IcsItem {
    icalcomponent_kind kind = ICAL_NO_COMPONENT;
    QHash<QString, QString> texts;
    QDateTime start;
    QDateTime end;

    QString text(const char *name) const { return texts.value(QLatin1String(name)); }
};

inline QDateTime icsLocalTime(icaltimetype t)
{
    if (icaltime_is_null_time(t))
        return {};
    const QDateTime wall(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second));
    if (icaltime_is_utc(t))
        return QDateTime(wall.date(), wall.time(), QTimeZone::utc()).toLocalTime();
    return wall; // the program writes in the local zone
}

inline std::optional<IcsItem> readIcs(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray content = file.readAll();
    icalcomponent *calendar = icalparser_parse_string(content.constData());
    if (!calendar)
        return std::nullopt;
    IcsItem item;
    icalcomponent *component = nullptr;
    for (icalcomponent_kind kind :
         {ICAL_VEVENT_COMPONENT, ICAL_VTODO_COMPONENT, ICAL_VJOURNAL_COMPONENT}) {
        if ((component = icalcomponent_get_first_component(calendar, kind))) {
            item.kind = kind;
            break;
        }
    }
    if (component) {
        for (icalproperty *p = icalcomponent_get_first_property(component, ICAL_ANY_PROPERTY); p;
             p = icalcomponent_get_next_property(component, ICAL_ANY_PROPERTY)) {
            const icalvalue *value = icalproperty_get_value(p);
            const char *text = icalproperty_isa(p) == ICAL_X_PROPERTY ? icalproperty_get_x(p)
                               : value && icalvalue_isa(value) == ICAL_TEXT_VALUE
                                   ? icalvalue_get_text(value)
                                   : icalproperty_get_value_as_string(p);
            const QString name = QString::fromUtf8(icalproperty_get_property_name(p));
            if (!item.texts.contains(name)) // CATEGORIES may come several times
                item.texts.insert(name, QString::fromUtf8(text ? text : ""));
        }
        item.start = icsLocalTime(icalcomponent_get_dtstart(component));
        if (item.kind == ICAL_VEVENT_COMPONENT)
            item.end = icsLocalTime(icalcomponent_get_dtend(component));
    }
    icalcomponent_free(calendar);
    if (!component)
        return std::nullopt;
    return item;
}

} // namespace quorvale::test
