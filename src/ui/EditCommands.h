#pragma once

#include "timecards/CommandSet.h"

class QWidget;

namespace quorvale {

// Cut, Copy and Paste from the Edit menu act on the field that has the focus,
// as its own keys would.
class EditCommands : public CommandSet {
public:
    explicit EditCommands(QWidget &window) : m_window(window) {}

    bool handles(int toolId) const override;
    void run(int toolId) override;

private:
    QWidget &m_window;
};

} // namespace quorvale
