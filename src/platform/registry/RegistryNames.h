#pragma once

#include <QString>
#include <QStringList>

// How the program's key paths and value names map onto QSettings keys. Internal
// to the registry component.
namespace quorvale::RegistryNames {

// The QSettings name of the marker every created key holds, so that a key
// without values still exists. Escaped names never contain a bare "%k", so no
// value can be mistaken for it.
inline constexpr const char *KeyMarker = "%key";

// A registry name as one QSettings key segment: "/" would open a group and "\"
// is taken by QSettings itself, so both are escaped, and "%" to keep it
// reversible. Spaces and digits stay as they are.
inline QString escape(const QString &name)
{
    QString out;
    out.reserve(name.size());
    for (QChar c : name) {
        if (c == u'%')
            out += u"%25";
        else if (c == u'/')
            out += u"%2F";
        else if (c == u'\\')
            out += u"%5C";
        else
            out += c;
    }
    return out;
}

} // namespace quorvale::RegistryNames
