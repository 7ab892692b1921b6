#include "outlook/JournalProcessing.h"

#include "data/TimeCardRepository.h"
#include "outlook/LinkRelocation.h"
#include "platform/core/Duration.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"
#include "platform/pim/ContactItem.h"
#include "platform/pim/Items.h"
#include "platform/pim/JournalItem.h"
#include "platform/pim/Namespace.h"
#include "support/Trace.h"

#include <QLoggingCategory>
#include <QStringList>

namespace quorvale {

namespace {

Q_LOGGING_CATEGORY(lcJournal, "quorvale.outlook.journal")

using pim::UserPropertyType;

const QString ProgramSource = QStringLiteral("Quorvale");

const QString BillingProperties[] = {
    QStringLiteral("Value"),       QStringLiteral("Billing Status"), QStringLiteral("Rate Source"),
    QStringLiteral("Hourly Rate"), QStringLiteral("Flat Fee"),       QStringLiteral("Rate Level"),
    QStringLiteral("Realization"),
};

const pim::Folder &journalFolder(const OutlookSession &session)
{
    const auto &folder = session.folder(FolderSlot::Journal);
    if (!folder)
        throw QvError(ErrorNumber::OutlookInstance,
                      QStringLiteral("The Journal folder is not resolved."), ProgramSource);
    return *folder;
}

} // namespace

clsJournalProcessing::clsJournalProcessing(OutlookSession &session, db::Connection &cnnLink,
                                           JournalOptions options)
    : m_session(session), m_cnnLink(cnnLink), m_options(std::move(options))
{
}

int clsJournalProcessing::FormatTimeSpent(Duration timeSpent)
{
    return static_cast<int>(timeSpent.roundedMinutes());
}

clsJournalProcessing::Result clsJournalProcessing::ProcessJournalEntry(const TimeCardSnapshot &card,
                                                                       const ItemTexts &texts)
{
    TraceScope trace(u"clsJournalProcessing: ProcessJournalEntry");
    m_card = card;
    m_texts = texts;
    return runWithStore(m_session, [this] { return Edit_Journal_Entry(); }).value_or(Result{});
}

clsJournalProcessing::Result
clsJournalProcessing::ProcessJournalEntry(const TimeCardSnapshot &card,
                                          const ItemVariables &variables, TemplateContext &context)
{
    return process(card, [&variables, &context](const pim::ContactItem *contact) {
        ItemTexts texts{FormatSubject(TemplateKind::Journal, variables, contact, context),
                        FormatBody(TemplateKind::Journal, variables, contact, context)};
        if (texts.subject.trimmed().isEmpty())
            texts.subject = variables.journalSubjectFallback();
        return texts;
    });
}

clsJournalProcessing::Result clsJournalProcessing::process(const TimeCardSnapshot &card,
                                                           ItemTextMaker makeTexts)
{
    TraceScope trace(u"clsJournalProcessing: ProcessJournalEntry");
    m_card = card;
    m_makeTexts = std::move(makeTexts);
    // Made once the contact item is read, and only once: a retry after a
    // reconnect must not use up the pending time-detail text twice.
    m_texts.reset();
    return runWithStore(m_session, [this] { return Edit_Journal_Entry(); }).value_or(Result{});
}

clsJournalProcessing::Result clsJournalProcessing::Edit_Journal_Entry()
{
    const pim::Folder &folder = journalFolder(m_session);
    std::unique_ptr<pim::Item> found;
    if (!m_card.journalEntryId.isEmpty()) {
        // A sync tool may have written the entry anew under another name.
        LinkedItemLookup lookup =
            findLinkedItem(m_session, m_cnnLink, m_card.journalEntryId, folder.storeId(),
                           pim::ItemType::Journal, m_card.id);
        if (lookup.state == LinkedItemState::Ambiguous)
            return Result{}; // a third copy would not help: left as it is, logged
        found = std::move(lookup.item);
    }
    auto *entry = dynamic_cast<pim::JournalItem *>(found.get());
    if (!entry)
        return recreate(folder);
    fill(*entry);
    return {Outcome::Rewritten, journalEntryFields(*entry)};
}

clsJournalProcessing::Result clsJournalProcessing::recreate(const pim::Folder &folder)
{
    qCInfo(lcJournal).noquote() << "journal entry" << m_card.journalEntryId << "of TimeCard"
                                << m_card.id << "is gone; writing it anew";
    std::unique_ptr<pim::Item> item = pim::Items(folder).Add();
    auto *entry = dynamic_cast<pim::JournalItem *>(item.get());
    if (!entry)
        throw QvError(
            ErrorNumber::Generic,
            QStringLiteral("The Journal folder %1 holds no journal entries.").arg(folder.name()),
            ProgramSource);
    fill(*entry);
    try {
        storeEntryId(m_card.journalEntryId, entry->EntryID());
    } catch (...) {
        // An entry no TimeCard points at would be written anew next time.
        try {
            entry->Delete();
        } catch (const QvError &error) {
            qCWarning(lcJournal).noquote() << "unlinked journal entry kept:" << error.description();
        }
        throw;
    }
    m_card.journalEntryId = entry->EntryID();
    return {Outcome::Recreated, journalEntryFields(*entry)};
}

void clsJournalProcessing::storeEntryId(const QString &oldId, const QString &newId)
{
    if (m_card.id == 0)
        return;
    db::Transaction transaction(m_cnnLink);
    if (!TimeCardRepository(m_cnnLink).setJournalEntryId(m_card.id, newId))
        qCWarning(lcJournal) << "TimeCard" << m_card.id << "is not stored";
    if (!oldId.isEmpty())
        m_cnnLink.execute(QStringLiteral("UPDATE tblAppointments SET JournalEntryID = ? "
                                         "WHERE JournalEntryID = ? AND TimeCardID = ?"),
                          {newId, oldId, m_card.id});
    transaction.commit();
}

void clsJournalProcessing::fill(pim::JournalItem &entry)
{
    const auto contact = contactItemFor(m_session, m_card.contactEntryId);
    if (contact)
        setContactFields(entry, *contact, m_session.versionCode());
    if (!m_texts)
        m_texts = m_makeTexts(contact.get());
    entry.setBillingInformation(m_card.contactAccount);
    entry.setCategoriesText(m_card.category);
    const QDateTime start = m_card.start();
    if (start.isValid())
        entry.setStart(start);
    const QDateTime end = m_card.end();
    if (end.isValid() && end > entry.Start())
        entry.setEnd(end);
    entry.setDuration(FormatTimeSpent(m_card.timeSpent));
    entry.setType(m_card.entryType);
    entry.setSubject(m_texts->subject);
    entry.setBody(m_texts->body);
    // QuorvaleID is the entry's own EntryID, which a new entry has only once saved.
    if (entry.EntryID().isEmpty())
        entry.Save();
    writeJournalProperties(entry);
    entry.Save();
}

void clsJournalProcessing::writeJournalProperties(pim::JournalItem &entry) const
{
    WriteUserProperties(entry, m_card, m_options.terms);
    auto &properties = entry.userProperties();
    properties.setValue(QStringLiteral("Time Estimated"), UserPropertyType::Text,
                        m_card.timeEstimatedText());
    properties.setValue(QStringLiteral("Time Spent"), UserPropertyType::Text,
                        m_card.timeSpentText());
    if (!m_options.billingInJournal) {
        // Figures from when billing was shown would go stale unseen.
        for (const QString &name : BillingProperties)
            properties.Remove(name);
        return;
    }
    const auto money = [](Money m) { return QVariant::fromValue(m); };
    properties.setValue(QStringLiteral("Value"), UserPropertyType::Currency, money(m_card.value));
    properties.setValue(QStringLiteral("Billing Status"), UserPropertyType::Text,
                        m_card.billStatus);
    properties.setValue(QStringLiteral("Rate Source"), UserPropertyType::Text, m_card.rateSource);
    properties.setValue(QStringLiteral("Hourly Rate"), UserPropertyType::Currency,
                        money(m_card.rate));
    properties.setValue(QStringLiteral("Flat Fee"), UserPropertyType::Currency,
                        money(m_card.flatRate));
    properties.setValue(QStringLiteral("Rate Level"), UserPropertyType::Number,
                        m_card.rateLevel.trimmed().toDouble());
    properties.setValue(QStringLiteral("Realization"), UserPropertyType::Number,
                        m_card.realization.toStored());
}

} // namespace quorvale
