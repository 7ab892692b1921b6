#pragma once

#include <QString>

namespace quorvale {

// The one trace string of the process: the latest procedure entries first, each
// as "module: ProcedureX:" and a line break, so that an error report shows the
// road to the failure. On every entry the earlier trace is cut to its newest
// MaxCarried characters (whole entries), so the string never grows past one
// location plus that, and the oldest calls are the ones that fall away.
//
// Not thread-safe: the program runs on one thread.
class Trace {
public:
    static constexpr qsizetype MaxCarried = 1000;

    // Prepends location + "X:\n" to the trace.
    static void enter(QStringView location);
    static const QString &text();
    static void clear();
};

// Records a procedure entry for the length of a scope:
//     TraceScope trace(u"modSettings: OpenDB");
// The trace is a history, not a stack, so leaving the scope removes nothing; the
// scope keeps its location for the error handler's use.
class TraceScope {
public:
    explicit TraceScope(QStringView location) : m_location(location) { Trace::enter(location); }
    QStringView location() const { return m_location; }

private:
    QStringView m_location;
};

} // namespace quorvale
