#pragma once

#include <QApplication>

namespace quorvale {

// Shows a pointer for as long as it lives. Commands run under the busy pointer;
// a dialog they open must show the normal one while it waits for the person.
class PointerScope {
public:
    explicit PointerScope(Qt::CursorShape shape) { QApplication::setOverrideCursor(shape); }
    ~PointerScope() { QApplication::restoreOverrideCursor(); }
    PointerScope(const PointerScope &) = delete;
    PointerScope &operator=(const PointerScope &) = delete;
};

} // namespace quorvale
