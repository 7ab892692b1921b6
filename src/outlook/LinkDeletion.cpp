#include "LinkDeletion.h"

#include "outlook/JournalProcessing.h"
#include "outlook/LinkedItems.h"
#include "outlook/OutlookSession.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"
#include "platform/pim/AppointmentItem.h"
#include "platform/pim/Namespace.h"
#include "support/Prompts.h"

#include <QDir>
#include <QFile>

namespace quorvale {

namespace {

constexpr long PathFileAccessError = 75;

// A file already gone counts as deleted; one that stays must not pass for
// deleted.
void removeFile(const QString &path)
{
    QFile file(path);
    if (!file.exists() || file.remove())
        return;
    throw QvError(PathFileAccessError,
                  QStringLiteral("The file '%1' could not be deleted: %2")
                      .arg(QDir::toNativeSeparators(path), file.errorString()),
                  QStringLiteral("Quorvale"));
}

} // namespace

qint64 timeSpentAfterRemoving(qint64 spentSeconds, int appointmentMinutes)
{
    const qint64 removed = qint64(appointmentMinutes) * 60;
    if (spentSeconds < removed || spentSeconds - removed < 60)
        return 0;
    return spentSeconds - removed;
}

LinkDeleter::LinkDeleter(OutlookSession &session, db::Connection &cnnLink, Prompts &prompts)
    : m_session(session), m_cnn(cnnLink), m_prompts(prompts)
{
}

QString LinkDeleter::storeIdFor(const SelectedLink &link) const
{
    if (link.kind == LinkListKind::Messages)
        return link.storeId;
    return linkFolderStoreId(m_session, link.kind);
}

std::optional<int> LinkDeleter::timeDetailMinutes(const QString &entryId)
{
    const auto minutes = runWithStore(m_session, [&]() -> std::optional<int> {
        const std::unique_ptr<pim::Item> item = m_session.nameSpace().itemFromId(
            entryId, storeIdFor({LinkListKind::TimeDetail, entryId, {}, {}, {}}));
        if (const auto *appointment = dynamic_cast<const pim::AppointmentItem *>(item.get()))
            return appointment->Duration();
        return std::nullopt;
    });
    return minutes ? *minutes : std::nullopt;
}

bool LinkDeleter::deleteLink(qint64 timeCardId, const SelectedLink &link, LinkDeleteOption option)
{
    const bool withItem = option == LinkDeleteOption::ItemAndLink;
    bool deleteFile = false;
    if (withItem && link.kind == LinkListKind::Documents) {
        const PromptResult answer = m_prompts.messageBox(
            QStringLiteral("Confirm Delete"),
            QStringLiteral("Are you sure you want to delete the file named '%1'? ")
                .arg(link.fileName),
            PromptButtons::YesNoCancel, PromptIcon::Question);
        if (answer == PromptResult::Cancel)
            return false;
        deleteFile = answer == PromptResult::Yes;
    }
    const QString table = linkListTable(link.kind);
    const QString key = linkListKeyColumn(link.kind);
    {
        db::Transaction transaction(m_cnn);
        if (isChargeLinkKind(link.kind) && !withItem)
            m_cnn.execute(
                QStringLiteral("UPDATE %1 SET TimeCardID = NULL WHERE TimeCardID = ? AND %2 = ?")
                    .arg(table, key),
                {timeCardId, link.eid});
        else
            m_cnn.execute(
                QStringLiteral("DELETE FROM %1 WHERE TimeCardID = ? AND %2 = ?").arg(table, key),
                {timeCardId, link.eid});
        transaction.commit();
    }
    // The row is gone before the item, so no link ever names a deleted item.
    if (deleteFile)
        removeFile(QDir(link.filePath).filePath(link.fileName));
    else if (withItem && isItemLinkKind(link.kind))
        deleteItem(link);
    return true;
}

void LinkDeleter::deleteItem(const SelectedLink &link)
{
    runWithStore(m_session, [&] {
        if (auto item = m_session.nameSpace().itemFromId(link.eid.toString(), storeIdFor(link)))
            item->Delete();
        return true;
    });
}

} // namespace quorvale
