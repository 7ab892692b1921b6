#pragma once

#include <QString>
#include <QVariant>
#include <vector>

namespace quorvale {

class Registry;
struct JoinChoice;

// What a program start needs to find its database and its user: the
// "Database" values for the file or the server (the server password scrambled
// as the program stores it), the set-up date, and the "License" values naming
// the user. Written by the initial set-up and by the administrator tool's init
// and join alike.
//
// Everything is worked out on construction, so a password the program could not
// store stops before a file or a table is touched.
class SetupSettings {
public:
    SetupSettings(const JoinChoice &choice, const QString &userName,
                  const QString &userEntryId = {});

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

} // namespace quorvale
