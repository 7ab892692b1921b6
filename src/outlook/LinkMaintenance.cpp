#include "outlook/LinkMaintenance.h"

#include "outlook/FolderSlot.h"
#include "outlook/LinkRelocation.h"
#include "outlook/OutlookSession.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"
#include "platform/pim/ContactItem.h"
#include "platform/pim/IcalItem.h"
#include "platform/pim/JournalItem.h"
#include "platform/pim/MailItem.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/NoteItem.h"
#include "support/Prompts.h"
#include "support/Trace.h"
#include "support/UpdatePrompt.h"

#include <QLoggingCategory>
#include <QSqlQuery>
#include <QVariantMap>

namespace quorvale {

namespace {

Q_LOGGING_CATEGORY(lcLinks, "quorvale.outlook.links")

// The link tables in the order their items are rewritten, with the folder
// whose store holds them and the template their texts come from.
struct LinkTable {
    const char *table;
    std::optional<FolderSlot> slot; // nullopt: messages, found in any store
    std::optional<TemplateKind> kind;
    bool userProperties;
    pim::ItemType type;
};

const LinkTable LinkTables[] = {
    {"tblMessages", std::nullopt, std::nullopt, true, pim::ItemType::Mail},
    {"tblNotes", FolderSlot::Notes, TemplateKind::Notes, false, pim::ItemType::Note},
    {"tblScheduledAppointments", FolderSlot::ScheduledAppointments, TemplateKind::Appointments,
     true, pim::ItemType::Appointment},
    {"tblTasks", FolderSlot::Tasks, TemplateKind::Tasks, true, pim::ItemType::Task},
    {"tblTimedAppointments", FolderSlot::TimeCardAppointments, TemplateKind::Appointments, true,
     pim::ItemType::Appointment},
};

QStringList entryIds(db::Connection &cnn, const char *table, qint64 timeCardId)
{
    // The table name comes from the fixed list above, never from outside.
    QSqlQuery query = cnn.prepare(
        QStringLiteral("SELECT EntryID FROM %1 WHERE TimeCardID = ?").arg(QLatin1String(table)));
    cnn.run(query, {timeCardId});
    QStringList ids;
    while (query.next())
        if (!query.value(0).toString().isEmpty())
            ids.append(query.value(0).toString());
    return ids;
}

// The journal entry is read where its EntryID says: the TimeCard's row is
// open in the editor, and the journal processing finds a renamed entry and
// stores its new EntryID where the editor learns of it.
std::unique_ptr<pim::Item> plainRead(OutlookSession &session, const QString &entryId,
                                     const QString &storeId)
{
    try {
        return session.nameSpace().itemFromId(entryId, storeId);
    } catch (const QvError &error) {
        qCInfo(lcLinks).noquote() << "journal entry" << entryId
                                  << "skipped:" << error.description();
        return nullptr;
    }
}

// A file a sync tool renamed is found again, and its new EntryID stored.
std::unique_ptr<pim::Item> readItem(OutlookSession &session, db::Connection &cnnLink,
                                    const QString &entryId, const QString &storeId,
                                    pim::ItemType type, qint64 timeCardId)
{
    try {
        return findLinkedItem(session, cnnLink, entryId, storeId, type, timeCardId).item;
    } catch (const QvError &error) {
        // Unreadable or removed items are left alone: the link outlives them.
        qCInfo(lcLinks).noquote() << "linked item" << entryId << "skipped:" << error.description();
        return nullptr;
    }
}

QString storeOf(const OutlookSession &session, std::optional<FolderSlot> slot)
{
    if (!slot)
        return QString();
    const std::optional<pim::Folder> &folder = session.folder(*slot);
    return folder ? folder->storeId() : QString();
}

// Before version 8 items carried no links to contacts.
bool hasLinks(const QString &versionCode)
{
    return versionCode.isEmpty() || versionCode.toInt() >= 8;
}

} // namespace

std::optional<LinkField> linkFieldNamed(const QString &column)
{
    for (const LinkField field :
         {LinkField::ContactID, LinkField::Activity1ID, LinkField::Activity2ID})
        if (column.compare(linkFieldColumn(field), Qt::CaseInsensitive) == 0)
            return field;
    return std::nullopt;
}

QString linkFieldColumn(LinkField field)
{
    switch (field) {
    case LinkField::ContactID:
        return QStringLiteral("ContactID");
    case LinkField::Activity1ID:
        return QStringLiteral("Activity1ID");
    case LinkField::Activity2ID:
        break;
    }
    return QStringLiteral("Activity2ID");
}

LinkMaintenance::LinkMaintenance(OutlookSession &session, db::Connection &cnnLink, Prompts &prompts,
                                 LinkMaintenanceOptions options, LinkMaintenanceHooks hooks)
    : m_session(session), m_cnnLink(cnnLink), m_prompts(prompts), m_options(std::move(options)),
      m_hooks(std::move(hooks))
{
}

std::optional<LinkRewrite> LinkMaintenance::ask()
{
    QVariantMap values{{QLatin1String(ModifySubjectKey), m_rewrite.subject},
                       {QLatin1String(ModifyBodyKey), m_rewrite.body}};
    if (!m_prompts.showDialog(QLatin1String(UpdatePromptDialogName), values))
        return std::nullopt;
    m_rewrite.subject = values.value(QLatin1String(ModifySubjectKey)).toBool();
    m_rewrite.body = values.value(QLatin1String(ModifyBodyKey)).toBool();
    return m_rewrite;
}

bool LinkMaintenance::UpdateLinks(const QString &fieldName, const QVariant &value,
                                  qint64 timeCardId, bool noPrompt)
{
    TraceScope trace(u"modProcessLinks: UpdateLinks");
    const std::optional<LinkField> field = linkFieldNamed(fieldName);
    if (!field)
        throw QvError(ErrorNumber::InvalidCharacter,
                      QStringLiteral("%1 is no field linked items follow.").arg(fieldName),
                      QStringLiteral("Quorvale"));
    if (!m_session.EnsureOutlook())
        return false;
    if (!noPrompt) {
        if (!ask())
            return false;
    } else if (m_hooks.status) {
        m_hooks.status(QStringLiteral("Updating linked items..."));
    }
    const std::optional<ItemVariables> linked =
        m_hooks.card ? m_hooks.card(timeCardId) : std::nullopt;
    // The charges go first: a store failure must not leave them behind the TimeCard.
    updateCharges(*field, value, timeCardId);
    if (linked)
        updateItems(*field, value, *linked, timeCardId);
    return true;
}

void LinkMaintenance::updateCharges(LinkField field, const QVariant &value, qint64 timeCardId)
{
    if (!m_options.expensesInUse && !m_options.fixedChargesInUse)
        return;
    const QString column = linkFieldColumn(field);
    const QVariant id = value.isNull() || value.toInt() == 0 ? QVariant() : QVariant(value.toInt());
    // Invoiced charges follow as well: they must keep naming the TimeCard's contact.
    db::Transaction transaction(m_cnnLink);
    if (m_options.expensesInUse)
        m_cnnLink.execute(
            QStringLiteral("UPDATE tblExpenses SET %1 = ? WHERE TimeCardID = ?").arg(column),
            {id, timeCardId});
    if (m_options.fixedChargesInUse)
        m_cnnLink.execute(
            QStringLiteral("UPDATE tblFixedCharges SET %1 = ? WHERE TimeCardID = ?").arg(column),
            {id, timeCardId});
    transaction.commit();
}

void LinkMaintenance::updateItems(LinkField field, const QVariant &value,
                                  const ItemVariables &linked, qint64 timeCardId)
{
    const bool contactChanged = field == LinkField::ContactID && m_options.contactInUse;
    // The items name the contact the TimeCard has now, as stored.
    const QString contactEntryId =
        contactChanged ? m_cnnLink
                             .scalar(QStringLiteral("SELECT ContactEntryID FROM tblContacts WHERE "
                                                    "ContactID = ?"),
                                     {value.isNull() ? QVariant(0) : value})
                             .toString()
                       : linked.contactEntryId;
    std::unique_ptr<pim::ContactItem> contact = contactItemFor(m_session, contactEntryId);
    TemplateContext context = m_hooks.templates ? m_hooks.templates() : TemplateContext{};
    // A time-detail note waits for the next new item, not for rewritten ones.
    context.pending = nullptr;

    QList<QStringList> ids;
    int total = 1;
    for (const LinkTable &table : LinkTables) {
        ids.append(entryIds(m_cnnLink, table.table, timeCardId));
        total += static_cast<int>(ids.last().size());
    }
    int done = 0;
    const auto advance = [&] {
        if (m_hooks.progress)
            m_hooks.progress(done, total);
    };
    advance();

    const auto relink = [&](pim::IcalItem &item) {
        if (!contactChanged || !hasLinks(m_session.versionCode()))
            return;
        if (contact)
            setContactFields(item, *contact, m_session.versionCode());
        else
            item.setLinks({});
    };
    const auto texts = [&](pim::Item &item, TemplateKind kind, bool subject) {
        if (subject && m_rewrite.subject)
            item.setSubject(FormatSubject(kind, linked, contact.get(), context));
        if (m_rewrite.body)
            item.setBody(FormatBody(kind, linked, contact.get(), context));
    };
    const auto properties = [&](pim::Item &item) {
        WriteUserProperties(item, linked, m_options.terms);
        item.Save();
    };

    const std::optional<pim::Folder> &journal = m_session.folder(FolderSlot::Journal);
    if (!linked.journalEntryId.isEmpty() && journal) {
        std::unique_ptr<pim::Item> item =
            plainRead(m_session, linked.journalEntryId, journal->storeId());
        if (auto *entry = dynamic_cast<pim::JournalItem *>(item.get())) {
            relink(*entry);
            texts(*entry, TemplateKind::Journal, true);
            properties(*entry);
        }
    }
    ++done;
    advance();

    for (std::size_t t = 0; t < std::size(LinkTables); ++t) {
        const LinkTable &table = LinkTables[t];
        const QString storeId = storeOf(m_session, table.slot);
        for (const QString &entryId : ids.at(static_cast<qsizetype>(t))) {
            std::unique_ptr<pim::Item> item =
                readItem(m_session, m_cnnLink, entryId, storeId, table.type, timeCardId);
            if (auto *message = dynamic_cast<pim::MailItem *>(item.get())) {
                // A message's subject and body are what was sent: never rewritten.
                if (contactChanged && hasLinks(m_session.versionCode())) {
                    if (contact)
                        setContactLink(*message, *contact, m_session.versionCode());
                    else
                        message->setLinks({});
                }
                properties(*message);
            } else if (auto *ical = dynamic_cast<pim::IcalItem *>(item.get()); ical && table.kind) {
                relink(*ical);
                texts(*ical, *table.kind, !dynamic_cast<pim::NoteItem *>(ical));
                if (table.userProperties)
                    properties(*ical);
                else
                    ical->Save();
            }
            ++done;
            advance();
        }
    }
}

} // namespace quorvale
