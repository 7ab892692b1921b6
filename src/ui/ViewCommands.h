#pragma once

#include "timecards/CommandSet.h"

#include <QtGlobal>
#include <functional>
#include <optional>

namespace quorvale {

class MainCommands;
class Prompts;
class TimeCardEditor;
class WorkingSet;
class frmTimeCard;

namespace db {
class Connection;
}

// What the window shows besides the TimeCard: the time detail field and the
// active-task list (both toggled and remembered at closing), the links summary
// and the TimeCard list.
class ViewCommands : public CommandSet {
public:
    struct Shown {
        bool timeDetail = true;
        bool activeTaskList = true;
    };

    ViewCommands(frmTimeCard &window, TimeCardEditor &editor, MainCommands &commands,
                 WorkingSet &workingSet, db::Connection &cnnLink, Shown shown);

    bool handles(int toolId) const override;
    void run(int toolId) override;

    const Shown &shown() const { return m_shown; }
    // Shows the fields as toggled and checks their tools.
    void apply();
    // Opens the TimeCard list; tests answer it through chooser instead of a window.
    void setChooser(std::function<std::optional<qint64>(qint64 current)> chooser)
    {
        m_chooser = std::move(chooser);
    }

private:
    void showTimeCardList();
    void showLinks();

    frmTimeCard &m_window;
    TimeCardEditor &m_editor;
    MainCommands &m_commands;
    WorkingSet &m_workingSet;
    db::Connection &m_cnnLink;
    Shown m_shown;
    std::function<std::optional<qint64>(qint64)> m_chooser;
};

} // namespace quorvale
