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
    next.append(QStringView(current).right(MaxCarried));
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
