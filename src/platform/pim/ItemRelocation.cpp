#include "platform/pim/ItemRelocation.h"

#include "platform/pim/Item.h"
#include "platform/pim/Namespace.h"

#include <QDir>
#include <QLoggingCategory>
#include <QSet>

namespace quorvale::pim {

namespace {

Q_LOGGING_CATEGORY(lcRelocation, "quorvale.pim.relocation")

// The UIDs a gone file may have held: what the cache last read from it, and
// the name's stem (the program names its files "<UID>.ics", and so do many
// other clients).
QSet<QString> uidsOf(const FolderCache &cache, const std::optional<Folder> &home,
                     const QString &fileName)
{
    QSet<QString> uids;
    if (home)
        if (const std::optional<ItemSummary> was = cache.remembered(*home, fileName))
            if (!was->uid.isEmpty())
                uids.insert(was->uid);
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? fileName.left(dot) : fileName;
    if (!stem.isEmpty())
        uids.insert(stem);
    return uids;
}

bool sameValue(const QVariant &a, const QVariant &b)
{
    if (!a.isValid() || !b.isValid())
        return false;
    bool aNumber = false;
    bool bNumber = false;
    const double x = a.toDouble(&aNumber);
    const double y = b.toDouble(&bNumber);
    if (aNumber && bNumber)
        return x == y;
    return a.toString() == b.toString();
}

struct Claim {
    const ItemSummary *item;
    QString path;
    bool bySelf = false;
};

// One folder's items, indexed by what claims them.
struct ReadFolder {
    Folder folder;
    std::vector<ItemSummary> items;
    QMultiHash<QString, std::size_t> byUid;
    QMultiHash<QString, std::size_t> bySelf;
};

class Search {
public:
    Search(FolderCache &cache, const ScanControl &control) : m_cache(cache), m_control(control) {}

    // Nothing when cancelled.
    std::optional<ReadFolder> read(const Folder &folder, const QString &selfProperty)
    {
        std::optional<FolderScan> scan = m_cache.scan(folder, m_control);
        if (!scan)
            return std::nullopt;
        ReadFolder read{folder, std::move(scan->items), {}, {}};
        for (std::size_t i = 0; i < read.items.size(); ++i) {
            const ItemSummary &item = read.items[i];
            if (!item.uid.isEmpty())
                read.byUid.insert(item.uid, i);
            if (!selfProperty.isEmpty()) {
                const QString self = item.userProperties.value(selfProperty).toString();
                if (!self.isEmpty())
                    read.bySelf.insert(self, i);
            }
        }
        if (!scan->skipped.isEmpty())
            qCInfo(lcRelocation).noquote()
                << QStringLiteral("looking for renamed items: %1 unreadable file(s) in %2 passed "
                                  "over: %3")
                       .arg(scan->skipped.size())
                       .arg(folder.path(), scan->skipped.join(QStringLiteral(", ")));
        return read;
    }

    static void collect(const ReadFolder &read, const QString &entryId, const QSet<QString> &uids,
                        QList<Claim> &claims)
    {
        QSet<std::size_t> taken;
        const auto add = [&](std::size_t i, bool bySelf) {
            if (taken.contains(i)) {
                for (Claim &claim : claims)
                    if (claim.item == &read.items[i])
                        claim.bySelf = claim.bySelf || bySelf;
                return;
            }
            taken.insert(i);
            claims.append({&read.items[i],
                           QDir(read.folder.path()).filePath(read.items[i].fileName), bySelf});
        };
        for (const QString &uid : uids)
            for (auto it = read.byUid.constFind(uid); it != read.byUid.cend() && it.key() == uid;
                 ++it)
                add(*it, false);
        for (auto it = read.bySelf.constFind(entryId);
             it != read.bySelf.cend() && it.key() == entryId; ++it)
            add(*it, true);
    }

    static RelocationResult choose(const QList<Claim> &claims, const RelocationRequest &request)
    {
        RelocationResult result;
        if (claims.isEmpty())
            return result;
        if (claims.size() == 1)
            return found(request, claims.first(), QStringLiteral("the only file that claims it"),
                         false);
        // Several files claim the item (a sync conflict's copy, a duplicate
        // another client made): only what the program wrote on the item may
        // pick one, never the order of the files.
        const RelocationKeys &keys = request.keys;
        QList<Claim> owned;
        if (!keys.ownerProperty.isEmpty())
            for (const Claim &claim : claims)
                if (sameValue(claim.item->userProperties.value(keys.ownerProperty),
                              keys.ownerValue))
                    owned.append(claim);
        if (owned.size() == 1)
            return found(request, owned.first(),
                         QStringLiteral("of %1 files that claim it, the only one whose %2 is %3")
                             .arg(claims.size())
                             .arg(keys.ownerProperty, keys.ownerValue.toString()));
        const QList<Claim> &pool = owned.isEmpty() ? claims : owned;
        QList<Claim> selves;
        for (const Claim &claim : pool)
            if (claim.bySelf)
                selves.append(claim);
        if (selves.size() == 1)
            return found(request, selves.first(),
                         QStringLiteral("of %1 files that claim it, the only one whose %2 names "
                                        "the old EntryID")
                             .arg(pool.size())
                             .arg(keys.selfProperty));
        result.outcome = RelocationOutcome::Ambiguous;
        for (const Claim &claim : pool)
            result.claimants.append(claim.path);
        qCWarning(lcRelocation).noquote()
            << QStringLiteral("the item %1 is gone from its file and %2 files claim it with "
                              "nothing to tell them apart; none was taken and the link stays "
                              "as it was: %3")
                   .arg(request.entryId)
                   .arg(pool.size())
                   .arg(result.claimants.join(QStringLiteral(", ")));
        return result;
    }

private:
    // A choice among several files is a warning: someone has duplicates.
    static RelocationResult found(const RelocationRequest &request, const Claim &claim,
                                  const QString &why, bool chosen = true)
    {
        const QString text = QStringLiteral("the item %1 was found again in %2 (%3); it is now %4")
                                 .arg(request.entryId, claim.path, why, claim.item->entryId);
        if (chosen)
            qCWarning(lcRelocation).noquote() << text;
        else
            qCInfo(lcRelocation).noquote() << text;
        return {RelocationOutcome::Found, *claim.item, {}};
    }

    FolderCache &m_cache;
    const ScanControl &m_control;
};

} // namespace

RelocationScope relocationScope(const Namespace &ns, const QString &entryId, const QString &storeId,
                                ItemType type)
{
    RelocationScope scope;
    const auto parts = splitEntryId(entryId);
    if (!parts)
        return scope;
    scope.home = ns.findFolder(parts->first, storeId);
    const ItemType kind = scope.home ? scope.home->defaultItemType() : type;
    if (kind == ItemType::Mail || kind == ItemType::Contact) {
        scope.home.reset();
        return scope;
    }
    for (const Folder &folder : ns.allFolders()) {
        if (folder.defaultItemType() != kind || (!storeId.isEmpty() && folder.storeId() != storeId))
            continue;
        if (!scope.home || folder.entryId() != scope.home->entryId())
            scope.others.append(folder);
    }
    return scope;
}

std::optional<std::vector<RelocationResult>>
relocate(FolderCache &cache, const RelocationScope &scope,
         const std::vector<RelocationRequest> &requests, const ScanControl &control)
{
    std::vector<RelocationResult> results(requests.size());
    if (requests.empty() || (!scope.home && scope.others.isEmpty()))
        return results;
    // Asked before any scan: a scan forgets the files that have gone.
    std::vector<QSet<QString>> uids;
    uids.reserve(requests.size());
    for (const RelocationRequest &request : requests) {
        const auto parts = splitEntryId(request.entryId);
        uids.push_back(parts && !parts->second.contains(QLatin1String(".."))
                           ? uidsOf(cache, scope.home, parts->second)
                           : QSet<QString>{});
    }
    const QString selfProperty = requests.front().keys.selfProperty;
    Search search(cache, control);
    std::vector<QList<Claim>> claims(requests.size());
    std::vector<ReadFolder> read;
    // Never grown past this: the claims point into the folders' items.
    read.reserve(static_cast<std::size_t>(scope.others.size()) + 1);
    if (scope.home) {
        std::optional<ReadFolder> home = search.read(*scope.home, selfProperty);
        if (!home)
            return std::nullopt;
        read.push_back(std::move(*home));
        for (std::size_t r = 0; r < requests.size(); ++r)
            Search::collect(read.back(), requests[r].entryId, uids[r], claims[r]);
    }
    // The other folders only for what the home folder does not hold.
    std::vector<std::size_t> unclaimed;
    for (std::size_t r = 0; r < requests.size(); ++r)
        if (claims[r].isEmpty())
            unclaimed.push_back(r);
    if (!unclaimed.empty()) {
        const std::size_t first = read.size();
        for (const Folder &folder : scope.others) {
            std::optional<ReadFolder> other = search.read(folder, selfProperty);
            if (!other)
                return std::nullopt;
            read.push_back(std::move(*other));
        }
        for (std::size_t f = first; f < read.size(); ++f)
            for (const std::size_t r : unclaimed)
                Search::collect(read[f], requests[r].entryId, uids[r], claims[r]);
    }
    for (std::size_t r = 0; r < requests.size(); ++r) {
        results[r] = Search::choose(claims[r], requests[r]);
        if (results[r].outcome == RelocationOutcome::Missing)
            qCInfo(lcRelocation).noquote()
                << QStringLiteral("the item %1 is gone: no file in %2 folder(s) claims it")
                       .arg(requests[r].entryId)
                       .arg(read.size());
    }
    return results;
}

} // namespace quorvale::pim
