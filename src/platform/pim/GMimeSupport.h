#pragma once

#include <QByteArray>
#include <QString>
#include <gmime/gmime.h>
#include <memory>

// GMime and GLib objects are reference counted C objects; these wrappers give
// each reference exactly one owner so that no early return or exception leaks
// one or releases it twice.
namespace quorvale::pim::gmime {

struct ObjectUnref {
    void operator()(gpointer object) const
    {
        if (object)
            g_object_unref(object);
    }
};
struct GFree {
    void operator()(gpointer memory) const { g_free(memory); }
};
struct DateTimeUnref {
    void operator()(GDateTime *date) const
    {
        if (date)
            g_date_time_unref(date);
    }
};

// Owns one reference of a GObject.
template <typename T> using Ref = std::unique_ptr<T, ObjectUnref>;
// A string GLib allocated for the caller.
using CString = std::unique_ptr<char, GFree>;
using DateTime = std::unique_ptr<GDateTime, DateTimeUnref>;

// Takes over a reference the caller was given (a *_new function's result).
template <typename T> Ref<T> adopt(T *object)
{
    return Ref<T>(object);
}
// Adds a reference to an object someone else owns (a getter's result).
template <typename T> Ref<T> share(T *object)
{
    if (object)
        g_object_ref(object);
    return Ref<T>(object);
}

// g_mime_init exactly once per process, whichever thread comes first.
void ensureInitialized();

// Text GLib handed over, as QString (empty for null) and freed.
QString takeString(char *utf8);
QString fromUtf8(const char *utf8);

// Parses a whole message held in memory; nullptr when GMime finds none.
Ref<GMimeMessage> parseMessage(const QByteArray &bytes);
// The object written out as a MIME entity, with LF line ends as Maildir keeps them.
QByteArray toBytes(GMimeObject *object);

} // namespace quorvale::pim::gmime
