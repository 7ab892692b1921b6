#include "outlook/NewJournalEntry.h"

#include "outlook/OutlookSession.h"
#include "platform/core/QvError.h"
#include "platform/pim/Items.h"
#include "platform/pim/JournalItem.h"

namespace quorvale {

JournalEntryFields journalEntryFields(const pim::JournalItem &entry)
{
    return {entry.EntryID(), entry.Subject(), entry.Start(), entry.Duration()};
}

std::optional<JournalEntryFields>
NewJournalEntry(OutlookSession &session, const NewEntryDefaults &defaults, const QDateTime &now)
{
    if (!session.EnsureOutlook())
        return std::nullopt;
    const auto &folder = session.folder(FolderSlot::Journal);
    if (!folder)
        throw QvError(ErrorNumber::OutlookInstance,
                      QStringLiteral("The Journal folder is not resolved."),
                      QStringLiteral("Quorvale"));
    std::unique_ptr<pim::Item> item = pim::Items(*folder).Add();
    auto *entry = dynamic_cast<pim::JournalItem *>(item.get());
    if (!entry)
        throw QvError(
            ErrorNumber::Generic,
            QStringLiteral("The Journal folder %1 holds no journal entries.").arg(folder->name()),
            QStringLiteral("Quorvale"));
    entry->setSubject(QStringLiteral("New Quorvale TimeCard"));
    entry->setStart(now);
    entry->setType(defaults.entryType);
    entry->setCategoriesText(defaults.category);
    entry->userProperties().setValue(QStringLiteral("Quorvale Staff"), pim::UserPropertyType::Text,
                                     defaults.userName);
    entry->Save();
    return journalEntryFields(*entry);
}

} // namespace quorvale
