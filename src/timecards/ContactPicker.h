#pragma once

#include <QString>
#include <QtGlobal>
#include <atomic>
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
//
// A big firm's list takes longer to read than a window may take to open, above
// all from a database server: the picker opens on the first screenfuls of the
// list, and the whole list, read elsewhere (readAll), replaces them when it
// comes (takeAll). The first rows are the head of the whole list in the same
// order, so what matches among them is the head of what matches in the whole.
class ContactPicker {
public:
    // How many contacts the picker opens with: several screenfuls.
    static constexpr int FirstRows = 200;

    // Reads the first FirstRows active contacts by account, then name; complete()
    // tells whether that was all of them. Throws QvError when the statement fails.
    explicit ContactPicker(db::Connection &cnnLink);
    // The statement the whole list is read with.
    static QString listSql();
    // Every active contact in the list's order. A set `stop` ends the read early
    // with what it has; whoever set it wants none of it.
    static std::vector<PickerContactRow> readAll(db::Connection &cnn,
                                                 const std::atomic<bool> *stop = nullptr);

    const std::vector<PickerContactRow> &contacts() const { return m_rows; }
    // Whether contacts() is the whole list.
    bool complete() const { return m_complete; }
    // The whole list in place of the first rows; what was typed last narrows it
    // again.
    void takeAll(std::vector<PickerContactRow> rows);

    // Narrows the list to the typed text (surrounding blanks ignored; empty
    // shows every contact) and returns the indexes into contacts(), in list
    // order. Typing on from the last filter only searches what that one kept.
    const std::vector<int> &filter(const QString &typed);
    const std::vector<int> &matches() const { return m_matches; }

    // The contact at a position of matches(), as the picker returns it.
    PickedContact picked(int matchIndex) const;

private:
    void matchWithin(const std::vector<int> &candidates, const QString &needle);
    void matchAll(const QString &needle);

    std::vector<PickerContactRow> m_rows;
    bool m_complete = false;
    // Names and accounts case-folded for matching, made at the first search
    // rather than at every opening.
    std::vector<QString> m_foldedNames;
    std::vector<QString> m_foldedAccounts;
    std::vector<int> m_matches;
    QString m_lastNeedle;
};

} // namespace quorvale
