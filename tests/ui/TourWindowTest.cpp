// The tour on the real main window over the demo database: each page frames a
// part of the window that is really there, its pages turn from the keyboard,
// the first start offers it once, and the start-up tips go on from the page
// the settings file names.

#include "ui/TourWindow.h"

#include "MainWindowFixture.h"
#include "timecards/CommandTable.h"
#include "ui/TourCommands.h"
#include "ui/TourPages.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QToolBar>
#include <algorithm>

// Rectangles readable in failure messages.
inline void PrintTo(const QRect &r, std::ostream *os)
{
    *os << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << "x" << r.height() << ')';
}

using namespace quorvale;

namespace {

std::string text(const QRect &r)
{
    return ::testing::PrintToString(r);
}

const QString Offered = QStringLiteral("Tutorial Offered");

int pageCount()
{
    return static_cast<int>(mainWindowTourPages().size());
}

int pageOf(const QString &target)
{
    const QList<TourPage> &pages = mainWindowTourPages();
    for (int i = 0; i < pages.size(); ++i)
        if (pages.at(i).target == target)
            return i;
    ADD_FAILURE() << "no page shows " << target.toStdString();
    return 0;
}

// A key sequence as the pages spell it, with the letters the window underlines.
bool hasMnemonic(const QString &text, QChar letter)
{
    return text.contains(QLatin1Char('&') + letter, Qt::CaseInsensitive);
}

class TourWindowTest : public test::MainWindowFixture {
protected:
    void SetUp() override { makeDemo(); }
    void TearDown() override
    {
        commands = nullptr;
        if (host)
            close();
    }

    // A start as the window makes it: the program, and once its window is
    // drawn, what the tour's commands do at every start.
    void start()
    {
        commands = nullptr;
        ASSERT_NO_FATAL_FAILURE(open());
        commands = &host->tourCommands();
        QCoreApplication::processEvents();
    }
    void restart()
    {
        commands = nullptr;
        close();
        ASSERT_NO_FATAL_FAILURE(start());
    }

    RegistryKey settingsKey() { return registry->openSubKey(QStringLiteral("Settings")); }
    // What the settings file holds, read afresh.
    int storedValue(const QString &name)
    {
        return Registry(settingsFile).openSubKey(QStringLiteral("Settings")).readInt(name, -1);
    }

    // In front for the keys: the window system may still be bringing the
    // main window forward from its start.
    void activate(QWidget &w)
    {
        QCoreApplication::processEvents();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        QCoreApplication::processEvents();
        ASSERT_TRUE(w.isActiveWindow());
    }
    TourWindow &openTour(int page)
    {
        commands->openTour(page);
        TourWindow *tour = commands->tour();
        EXPECT_NE(tour, nullptr);
        activate(*tour);
        return *tour;
    }
    void key(TourWindow &tour, Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *focused = QApplication::focusWidget();
        QTest::keyClick(focused && focused->window() == &tour ? focused : &tour, k, modifiers);
        // A button's letter presses it for a moment before it clicks; the
        // last click may close the tour.
        QList<QPointer<QAbstractButton>> buttons;
        for (QAbstractButton *b : tour.findChildren<QAbstractButton *>())
            buttons << b;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return std::none_of(
                    buttons.cbegin(), buttons.cend(),
                    [](const QPointer<QAbstractButton> &b) { return b && b->isDown(); });
            },
            2000));
        QCoreApplication::processEvents();
    }

    // Where the window shows a target, found as a person would point at it:
    // the widget itself, a tool's button on a tool bar, a menu on the menu bar.
    struct Shown {
        QWidget *widget = nullptr;
        QRect rect; // in the window
    };
    Shown shown(const QString &name)
    {
        const auto inWindow = [this](QWidget *w, const QRect &r) {
            return Shown{w, QRect(w->mapTo(&window(), r.topLeft()), r.size())};
        };
        if (auto *widget = window().findChild<QWidget *>(name))
            return inWindow(widget, widget->rect());
        for (QToolBar *bar : window().findChildren<QToolBar *>())
            for (QAction *action : bar->actions())
                if (QWidget *button = bar->widgetForAction(action);
                    action->objectName() == name && button && button->isVisible())
                    return inWindow(button, button->rect());
        QMenuBar *bar = window().menuBar();
        for (QAction *action : bar->actions())
            if (action->objectName() == name)
                return inWindow(bar, bar->actionGeometry(action));
        return {};
    }
    QList<QWidget *> shownFrames()
    {
        QList<QWidget *> shown;
        for (QWidget *w : window().findChildren<QWidget *>(QStringLiteral("TourHighlight")))
            if (w->isVisible())
                shown << w;
        return shown;
    }

    TourCommands *commands = nullptr;
};

TEST_F(TourWindowTest, EveryPageFramesItsTargetOnTheWindow)
{
    ASSERT_NO_FATAL_FAILURE(start());
    TourWindow &tour = openTour(0);
    ASSERT_EQ(tour.pageCount(), pageCount());
    EXPECT_GE(pageCount(), 6);
    EXPECT_LE(pageCount(), 8);
    for (int i = 0; i < pageCount(); ++i) {
        const TourPage &page = mainWindowTourPages().at(i);
        SCOPED_TRACE(page.target.toStdString());
        tour.showPage(i);
        QCoreApplication::processEvents();
        EXPECT_EQ(tour.findChild<QLabel *>(QStringLiteral("lblTourStep"))->text(),
                  QStringLiteral("Step %1 of %2").arg(i + 1).arg(pageCount()));
        EXPECT_EQ(tour.findChild<QLabel *>(QStringLiteral("lblTourTitle"))->text(), page.title);

        const Shown target = shown(page.target);
        ASSERT_NE(target.widget, nullptr)
            << "the window does not show " << page.target.toStdString();
        EXPECT_TRUE(target.widget->isVisible());
        EXPECT_EQ(tour.highlightedWidget(), target.widget);
        EXPECT_TRUE(window().rect().contains(target.rect)) << text(target.rect);
        EXPECT_EQ(tour.highlightedRect(), target.rect);
        // One frame at a time, around the target and above the window's children.
        const QList<QWidget *> frames = shownFrames();
        ASSERT_EQ(frames.size(), 1);
        EXPECT_EQ(frames.front(), tour.highlight());
        EXPECT_TRUE(frames.front()->geometry().contains(target.rect))
            << text(frames.front()->geometry());
        QWidget *topmost = nullptr;
        for (QObject *child : window().children())
            if (auto *w = qobject_cast<QWidget *>(child); w && !w->isWindow())
                topmost = w;
        EXPECT_EQ(topmost, frames.front());
    }
}

TEST_F(TourWindowTest, EveryKeyAPageNamesIsOneTheWindowAnswersTo)
{
    ASSERT_NO_FATAL_FAILURE(start());
    QList<QKeySequence> shortcuts;
    for (const QAction *action : window().findChildren<QAction *>())
        if (!action->shortcut().isEmpty())
            shortcuts << action->shortcut();
    // Alt and a letter: a menu on the menu bar, a tab, or a field's label.
    QStringList underlined;
    for (const QAction *menu : window().menuBar()->actions())
        underlined << menu->text();
    const auto &tabs = window().fields();
    for (int i = 0; i < tabs.count(); ++i)
        underlined << tabs.tabText(i);
    for (const QLabel *label : window().findChildren<QLabel *>())
        if (label->buddy())
            underlined << label->text();

    static const QRegularExpression keys(
        QStringLiteral(R"(\b(?:Ctrl\+)?F\d{1,2}\b|\b(?:Ctrl|Alt)\+[A-Z]\b)"));
    int named = 0;
    for (const TourPage &page : mainWindowTourPages()) {
        SCOPED_TRACE(page.title.toStdString());
        bool pageNamesAKey = false;
        for (auto it = keys.globalMatch(page.text); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            pageNamesAKey = true;
            ++named;
            const QString sequence = m.captured();
            if (sequence.startsWith(QLatin1String("Alt+"))) {
                const QChar letter = sequence.back();
                EXPECT_TRUE(std::any_of(underlined.cbegin(), underlined.cend(),
                                        [&](const QString &t) { return hasMnemonic(t, letter); }))
                    << sequence.toStdString();
            } else {
                EXPECT_TRUE(shortcuts.contains(QKeySequence(sequence))) << sequence.toStdString();
            }
        }
        EXPECT_TRUE(pageNamesAKey);
    }
    EXPECT_GT(named, 20);
}

TEST_F(TourWindowTest, PagesTurnFromTheKeyboardAndTheFrameGoesWithTheTour)
{
    ASSERT_NO_FATAL_FAILURE(start());
    TourWindow &tour = openTour(0);
    auto *back = tour.findChild<QPushButton *>(QStringLiteral("cmdBack"));
    auto *next = tour.findChild<QPushButton *>(QStringLiteral("cmdNext"));
    EXPECT_EQ(QApplication::focusWidget(), next);
    EXPECT_FALSE(back->isEnabled());

    key(tour, Qt::Key_Return);
    EXPECT_EQ(tour.currentPage(), 1);
    EXPECT_TRUE(back->isEnabled());
    key(tour, Qt::Key_B, Qt::AltModifier);
    EXPECT_EQ(tour.currentPage(), 0);
    // Back is gone on the first page; the focus is not lost with it.
    EXPECT_FALSE(back->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), next);
    for (int i = 1; i < pageCount(); ++i)
        key(tour, Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(tour.currentPage(), pageCount() - 1);
    EXPECT_EQ(next->text(), QStringLiteral("&Finish"));
    key(tour, Qt::Key_B, Qt::AltModifier);
    EXPECT_EQ(next->text(), QStringLiteral("&Next >"));
    key(tour, Qt::Key_N, Qt::AltModifier);

    const QPointer<TourWindow> shown(&tour);
    key(tour, Qt::Key_F, Qt::AltModifier);
    EXPECT_TRUE(!shown || !shown->isVisible());
    EXPECT_TRUE(shownFrames().isEmpty());

    // Escape closes it from any page, and the tour comes back from the menu's command.
    commands->run(ToolId::Tutorial);
    TourWindow *again = commands->tour();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->currentPage(), 0);
    ASSERT_NO_FATAL_FAILURE(activate(*again));
    key(*again, Qt::Key_Return);
    key(*again, Qt::Key_Return);
    EXPECT_EQ(shownFrames().size(), 1);
    key(*again, Qt::Key_Escape);
    EXPECT_TRUE(!commands->tour() || !commands->tour()->isVisible());
    EXPECT_TRUE(shownFrames().isEmpty());
}

TEST_F(TourWindowTest, ATargetOnAnotherTabBringsItsTabForward)
{
    ASSERT_NO_FATAL_FAILURE(start());
    TimeCardFields &tabs = window().fields();
    auto *links = window().findChild<QWidget *>(QStringLiteral("LinksPanel"));
    ASSERT_NE(links, nullptr);
    for (int i = 0; i < tabs.count(); ++i)
        if (tabs.widget(i)->findChild<QWidget *>(QStringLiteral("pageBilling")))
            tabs.setCurrentIndex(i);
    ASSERT_TRUE(tabs.currentWidget()->findChild<QWidget *>(QStringLiteral("pageBilling")));
    auto *timeSpent = window().findChild<QWidget *>(QStringLiteral("txtTimeSpent"));
    ASSERT_FALSE(timeSpent->isVisible());

    TourWindow &tour = openTour(pageOf(QStringLiteral("txtTimeSpent")));
    EXPECT_TRUE(timeSpent->isVisible());
    EXPECT_TRUE(tabs.currentWidget()->isAncestorOf(timeSpent));
    EXPECT_EQ(tour.highlightedWidget(), timeSpent);

    tour.showPage(pageOf(QStringLiteral("LinksPanel")));
    QCoreApplication::processEvents();
    EXPECT_EQ(tabs.currentWidget(), links);
    EXPECT_FALSE(timeSpent->isVisible());
    ASSERT_NE(tour.highlight(), nullptr);
    EXPECT_TRUE(tour.highlight()->geometry().contains(
        QRect(links->mapTo(&window(), QPoint()), links->size())));
}

TEST_F(TourWindowTest, AToolBehindTheToolBarsEdgeIsFramedWhereItWaits)
{
    ASSERT_NO_FATAL_FAILURE(start());
    auto *bar = window().findChild<QToolBar *>(QStringLiteral("MainToolbar"));
    QWidget *contact = bar->widgetForAction(tool("tbSelectContact"));
    ASSERT_NE(contact, nullptr);
    window().resize(contact->geometry().left() + 40, window().height());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !contact->isVisible(); }));

    TourWindow &tour = openTour(pageOf(QStringLiteral("tbSelectContact")));
    // The button that opens the rest of the tool bar: on it, at its far end.
    QWidget *framed = tour.highlightedWidget();
    ASSERT_NE(framed, nullptr);
    EXPECT_EQ(framed->parentWidget(), bar);
    EXPECT_TRUE(framed->isVisible());
    for (QAction *action : bar->actions()) {
        if (QWidget *button = bar->widgetForAction(action); button && button->isVisible()) {
            EXPECT_LT(button->geometry().right(), framed->geometry().left());
        }
    }
    ASSERT_NE(tour.highlight(), nullptr);
    EXPECT_TRUE(tour.highlight()->isVisible());
    EXPECT_TRUE(tour.highlight()->geometry().contains(tour.highlightedRect()));

    // Room again: the frame follows the tool back to its own button.
    window().resize(800, window().height());
    ASSERT_TRUE(QTest::qWaitFor([&] { return contact->isVisible(); }));
    tour.showPage(tour.currentPage());
    EXPECT_EQ(tour.highlightedWidget(), contact);
}

TEST_F(TourWindowTest, TheFirstStartOffersTheTourOnce)
{
    ASSERT_NO_FATAL_FAILURE(start());
    settingsKey().writeInt(Offered, 0);
    prompts.answer(PromptResult::Yes);
    commands->atStart();
    ASSERT_EQ(prompts.messages().size(), 1);
    const auto &offer = prompts.messages().front();
    EXPECT_EQ(offer.title, QStringLiteral(" Take Quorvale Tutorial?"));
    EXPECT_EQ(
        offer.text,
        QStringLiteral("Would you like to take to take a short Quorvale  \r\ntutorial?\r\n\r\n"
                       "Click Yes to take the tutorial.  Click No to begin using  \r\n"
                       "Quorvale.\r\n\r\nThe tutorial can always be run from the Help menu."));
    EXPECT_EQ(offer.buttons, PromptButtons::YesNo);
    EXPECT_EQ(offer.icon, PromptIcon::Question);
    ASSERT_NE(commands->tour(), nullptr);
    EXPECT_TRUE(commands->tour()->isVisible());
    EXPECT_EQ(commands->tour()->currentPage(), 0);
    EXPECT_EQ(storedValue(Offered), 1);

    ASSERT_NO_FATAL_FAILURE(restart());
    commands->atStart();
    EXPECT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(commands->tour(), nullptr);

    // A No is the answer once and for all, too.
    settingsKey().writeInt(Offered, 0);
    prompts.answer(PromptResult::No);
    commands->atStart();
    EXPECT_EQ(prompts.messages().size(), 2);
    EXPECT_EQ(commands->tour(), nullptr);
    EXPECT_EQ(storedValue(Offered), 1);
}

TEST_F(TourWindowTest, StartupTipsGoOnFromTheStoredPageAndTheBoxKeepsTheChoice)
{
    ASSERT_NO_FATAL_FAILURE(start());
    settingsKey().writeInt(Offered, 1);
    // Tips off: a start shows nothing.
    commands->atStart();
    EXPECT_EQ(commands->tour(), nullptr);

    settingsKey().writeInt(QStringLiteral("Startup Tips"), 1);
    settingsKey().writeInt(QStringLiteral("Startup Tip Number"),
                           static_cast<qint16>(2 * pageCount() - 1));
    ASSERT_NO_FATAL_FAILURE(restart());
    ASSERT_TRUE(startUp->settings().settings.startupTips);
    ASSERT_NE(commands->tour(), nullptr);
    EXPECT_EQ(commands->tour()->currentPage(), pageCount() - 1);
    EXPECT_EQ(storedValue(QStringLiteral("Startup Tip Number")), 0);
    EXPECT_EQ(startUp->settings().settings.startupTipNumber, 0);
    EXPECT_TRUE(prompts.messages().isEmpty());

    ASSERT_NO_FATAL_FAILURE(restart());
    TourWindow *tour = commands->tour();
    ASSERT_NE(tour, nullptr);
    EXPECT_EQ(tour->currentPage(), 0);
    EXPECT_EQ(storedValue(QStringLiteral("Startup Tip Number")), 1);
    QCheckBox &box = tour->startupTipsBox();
    EXPECT_TRUE(box.isChecked());

    // The choice is written the moment it is made.
    ASSERT_NO_FATAL_FAILURE(activate(*tour));
    key(*tour, Qt::Key_S, Qt::AltModifier);
    EXPECT_FALSE(box.isChecked());
    EXPECT_EQ(storedValue(QStringLiteral("Startup Tips")), 0);
    EXPECT_FALSE(startUp->settings().settings.startupTips);
    key(*tour, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(storedValue(QStringLiteral("Startup Tips")), 1);
    EXPECT_TRUE(startUp->settings().settings.startupTips);
    key(*tour, Qt::Key_S, Qt::AltModifier);

    ASSERT_NO_FATAL_FAILURE(restart());
    EXPECT_FALSE(startUp->settings().settings.startupTips);
    commands->atStart();
    EXPECT_EQ(commands->tour(), nullptr);
    // From the menu the box shows the choice as it stands.
    commands->run(ToolId::Tutorial);
    ASSERT_NE(commands->tour(), nullptr);
    EXPECT_FALSE(commands->tour()->startupTipsBox().isChecked());
}

} // namespace
