#pragma once

#include "outlook/ItemVariables.h"
#include "outlook/NewJournalEntry.h"
#include "outlook/OutlookSession.h"
#include "outlook/Templates.h"
#include "outlook/TimeCardSnapshot.h"
#include "outlook/UserPropertyWriter.h"
#include "platform/core/QvError.h"

#include <QString>
#include <optional>

namespace quorvale {

namespace db {
class Connection;
}

namespace pim {
class JournalItem;
}

// Runs `work` against the store. When it fails because the store went away
// during the run (a removed or unmounted root), the connection reconnects
// (EnsureOutlook) and `work` runs once more; when reconnecting fails the
// connection has reported 10321 and nothing comes back. Other failures pass
// through. `work` must take its folders from the session each time.
template <typename Work>
auto runWithStore(OutlookSession &session, Work &&work) -> std::optional<decltype(work())>
{
    if (!session.EnsureOutlook())
        return std::nullopt;
    try {
        return work();
    } catch (const QvError &) {
        if (session.isReachable())
            throw;
    }
    if (!session.EnsureOutlook())
        return std::nullopt;
    return work();
}

struct JournalOptions {
    UserPropertyTerms terms;
    // The administrator's "billing data in the journal": adds "Value",
    // "Billing Status", "Rate Source", "Hourly Rate", "Flat Fee", "Rate Level"
    // and "Realization" (a Number holding the fraction, 0.85 for 85%).
    bool billingInJournal = false;
};

// Keeps each TimeCard's journal entry in step with the TimeCard. One object
// for the whole run, made at start-up after the connection's folders are
// resolved and the database is open; make it anew when OpenDB reopens cnnLink.
class clsJournalProcessing {
public:
    enum class Outcome {
        Rewritten,
        // The entry had gone from the store (or the TimeCard had none): a new
        // one was written and tblTimeCards.JournalEntryID points at it.
        Recreated,
        // The store could not be reached (10321 has been reported), or the
        // entry's file has gone and several files claim it (logged).
        NotReached,
    };
    struct Result {
        Outcome outcome = Outcome::NotReached;
        JournalEntryFields fields; // the entry as written
    };

    clsJournalProcessing(OutlookSession &session, db::Connection &cnnLink, JournalOptions options);

    void setOptions(const JournalOptions &options) { m_options = options; }
    const JournalOptions &options() const { return m_options; }

    // Rewrites the TimeCard's journal entry from the snapshot and the texts the
    // journal templates made for it. Database and item-store failures come out
    // as QvError; a recreated entry whose EntryID could not be stored is
    // removed again, so the TimeCard keeps pointing at what exists.
    Result ProcessJournalEntry(const TimeCardSnapshot &card, const ItemTexts &texts);
    // The same with the texts from the journal templates (FormatSubject and
    // FormatBody, kind 11) over the TimeCard's contact item.
    Result ProcessJournalEntry(const TimeCardSnapshot &card, const ItemVariables &variables,
                               TemplateContext &context);

    // The journal entry's duration: whole minutes of the time spent, rounded
    // to the nearest (1 h 30 min 30 s is 91).
    static int FormatTimeSpent(Duration timeSpent);

private:
    Result process(const TimeCardSnapshot &card, ItemTextMaker makeTexts);
    Result Edit_Journal_Entry();
    Result recreate(const pim::Folder &folder);
    void fill(pim::JournalItem &entry);
    void writeJournalProperties(pim::JournalItem &entry) const;
    void storeEntryId(const QString &oldId, const QString &newId);

    OutlookSession &m_session;
    db::Connection &m_cnnLink;
    JournalOptions m_options;
    TimeCardSnapshot m_card;
    ItemTextMaker m_makeTexts;
    std::optional<ItemTexts> m_texts; // made once: the pending time-detail text is used up
};

} // namespace quorvale
