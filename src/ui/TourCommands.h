#pragma once

#include "timecards/CommandSet.h"
#include "ui/TourWindow.h"

#include <QMetaObject>
#include <QPointer>

class QWidget;

namespace quorvale {

class Prompts;
class Registry;
struct RegSettings;

// The tour of the main window: from the Help menu, offered once at the first
// start, and afterwards one of its pages at each start while the person wants
// start-up tips. One tour at a time: asking again turns the open one.
class TourCommands : public CommandSet {
public:
    TourCommands(QWidget &mainWindow, Registry &registry, RegSettings &settings, Prompts &prompts);
    ~TourCommands() override;
    TourCommands(const TourCommands &) = delete;
    TourCommands &operator=(const TourCommands &) = delete;

    bool handles(int toolId) const override;
    void run(int toolId) override;

    // Once the main window shows: the first start's offer of the tour, or the
    // start's tip. Throws QvError when the settings file cannot be written.
    void atStart();

    // The tour at that page: opened, or the open one turned to it and raised.
    void openTour(int page);
    // The tour on the screen now, or null.
    TourWindow *tour() const { return m_tour; }

private:
    void startupTipsChosen(bool on);

    QWidget &m_mainWindow;
    Registry &m_registry;
    RegSettings &m_settings;
    Prompts &m_prompts;
    QPointer<TourWindow> m_tour;
    QMetaObject::Connection m_tipsChoice;
};

} // namespace quorvale
