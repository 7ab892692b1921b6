#pragma once

namespace quorvale {

// Commands the main window dispatches to by tool ID. The window asks each set
// in turn; the first that handles an ID runs it. A tool no set handles stays
// disabled, so nothing on the menus promises what the program cannot do yet.
class CommandSet {
public:
    virtual ~CommandSet() = default;
    virtual bool handles(int toolId) const = 0;
    virtual void run(int toolId) = 0;
};

} // namespace quorvale
