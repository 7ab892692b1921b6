#include "support/Trace.h"

namespace quorvale {

namespace {

QString &traceText()
{
    static QString text;
    return text;
}

// The spare buffer the next trace is built in; swapping the two keeps both
// allocations alive, so an entry costs one copy of at most MaxCarried characters
// and no allocation once they have grown.
QString &spareText()
{
    static QString text;
    return text;
}

// The most recent part of the trace, whole entries only. (Keeping the end of the
// string instead would keep the oldest calls and drop the ones that led to an
// error.)
QStringView carried(const QString &trace)
{
    if (trace.size() <= Trace::MaxCarried)
        return trace;
    const qsizetype lastBreak = trace.lastIndexOf(u'\n', Trace::MaxCarried - 1);
    return QStringView(trace).left(lastBreak >= 0 ? lastBreak + 1 : Trace::MaxCarried);
}

} // namespace

void Trace::enter(QStringView location)
{
    static constexpr QStringView Marker = u"X:\n";
    QString &current = traceText();
    QString &next = spareText();
    next.clear();
    next.reserve(location.size() + Marker.size() + MaxCarried);
    next.append(location);
    next.append(Marker);
    next.append(carried(current));
    current.swap(next);
}

const QString &Trace::text()
{
    return traceText();
}

void Trace::clear()
{
    traceText().clear();
}

} // namespace quorvale
