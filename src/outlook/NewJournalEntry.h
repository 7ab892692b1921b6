#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace quorvale {

class OutlookSession;

namespace pim {
class JournalItem;
}

// What a new TimeCard's journal entry starts from: the person's defaults.
struct NewEntryDefaults {
    QString entryType; // "Default Entry Type"
    QString category;  // "Default Category"
    QString userName;
};

// The journal-dependent fields the main window shows beside a TimeCard (its
// one-row "Journal Entry" list) and the EntryID it stores in JournalEntryID.
struct JournalEntryFields {
    QString entryId;
    QString subject;
    QDateTime start;
    int duration = 0; // minutes
};

JournalEntryFields journalEntryFields(const pim::JournalItem &entry);

// Adds the journal entry of a new TimeCard to the Journal folder ("New
// Quorvale TimeCard", starting `now`, the default type and category, "Quorvale
// Staff") and saves it. Nothing when the store cannot be reached: the
// connection has then reported 10321, and the TimeCard is made without one
// (its entry is made when the TimeCard is next left changed).
// Item-store write failures come out as QvError.
std::optional<JournalEntryFields>
NewJournalEntry(OutlookSession &session, const NewEntryDefaults &defaults, const QDateTime &now);

} // namespace quorvale
