#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

namespace quorvale {

namespace db {
class Connection;
}

// What the contact picker hands back (`OpenItemList`): the contact's ContactID
// as `QuorvaleID` and its name.
struct PickedContact {
    qint32 QuorvaleID = 0;
    QString ContactName;

    bool operator==(const PickedContact &) const = default;
};

// One active contact as the picker lists it.
struct PickerContactRow {
    qint32 id = 0;
    QString name;
    QString account;
};

// The picker's list: the active contacts of tblContacts, read once per opening
// and then filtered in memory as the person types, so a keystroke never costs a
// statement however long the list. A filter matches a contact whose name or
// account holds the typed text anywhere, without regard to case; the typed text
// is only ever compared, never put into SQL.
class ContactPicker {
public:
    // Reads the active contacts by account, then name. Throws QvError when the
    // statement fails.
    explicit ContactPicker(db::Connection &cnnLink);
    // The statement it reads them with.
    static QString listSql();

    const std::vector<PickerContactRow> &contacts() const { return m_rows; }

    // Narrows the list to the typed text (surrounding blanks ignored; empty
    // shows every contact) and returns the indexes into contacts(), in list
    // order. Typing on from the last filter only searches what that one kept.
    const std::vector<int> &filter(const QString &typed);
    const std::vector<int> &matches() const { return m_matches; }

    // The contact at a position of matches(), as the picker returns it.
    PickedContact picked(int matchIndex) const;

private:
    void matchWithin(const std::vector<int> &candidates, const QString &needle);

    std::vector<PickerContactRow> m_rows;
    std::vector<QString> m_foldedNames;
    std::vector<QString> m_foldedAccounts;
    std::vector<int> m_all;
    std::vector<int> m_matches;
    QString m_lastNeedle;
};

} // namespace quorvale
