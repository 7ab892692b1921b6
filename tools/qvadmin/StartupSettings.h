#pragma once

#include <QString>
#include <QVariant>
#include <vector>

namespace quorvale {
class Registry;
}

namespace quorvale::admin {

struct Location;

// What a first program start needs to find its database and its user: the
// "Database" values for the file or the server (the server password scrambled as
// the program stores it) and the "License" values naming the user.
//
// Everything is worked out on construction, so a password the program could not
// store stops an init before it has touched a file or a table.
class StartupSettings {
public:
    StartupSettings(const Location &location, const QString &userName);

    // One file write. The values it replaces are kept for restore().
    void write(Registry &registry, int userId);
    // Puts back what write() replaced, for a step after it that failed; a value
    // that was missing before is left empty. One file write.
    void restore(Registry &registry) const;

private:
    struct Value {
        QString key;
        QString name;
        QVariant value; // text or a 16-bit integer
    };
    struct Previous {
        QString key;
        QString name;
        QString text;
    };
    std::vector<Value> m_values;
    std::vector<Previous> m_previous;
};

} // namespace quorvale::admin
