#include "outlook/OutlookSession.h"

#include "outlook/OutlookMessages.h"
#include "outlook/OutlookVersion.h"
#include "platform/core/QvError.h"
#include "platform/pim/Namespace.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryPaths.h"
#include "support/ErrorHandler.h"
#include "support/Prompts.h"
#include "support/Trace.h"

#include <QDir>
#include <QLoggingCategory>
#include <QVariantList>
#include <QVariantMap>

namespace quorvale {

namespace {

Q_LOGGING_CATEGORY(lcOutlook, "quorvale.outlook")

const QString ProgramSource = QStringLiteral("Quorvale");

std::size_t indexOf(FolderSlot slot)
{
    return static_cast<std::size_t>(slot);
}

QVariantMap pickerEntry(const pim::Folder &folder, const QString &storeName)
{
    return {
        {QStringLiteral("entryId"), folder.entryId()},
        {QStringLiteral("storeId"), folder.storeId()},
        {QStringLiteral("name"), folder.name()},
        {QStringLiteral("defaultItemType"), static_cast<int>(folder.defaultItemType())},
        {QStringLiteral("path"), folder.path()},
        {QStringLiteral("storeName"), storeName},
    };
}

} // namespace

OutlookSession::OutlookSession(QString storeRoot, Registry &registry, Prompts &prompts)
    : m_root(std::move(storeRoot)), m_registry(registry), m_prompts(prompts)
{
}

namespace {

// The folder cache's summaries between runs, beside the store's own metadata
// in its root: vdir tools read only the collection directories below it.
QString summaryFile(const pim::Namespace &ns)
{
    return QDir(ns.root()).filePath(QStringLiteral(".quorvale-summaries"));
}

} // namespace

OutlookSession::~OutlookSession()
{
    // A run's item files need not be parsed again by the next one.
    if (m_namespace && m_namespace->isReachable())
        m_folderCache.save(summaryFile(*m_namespace));
}

bool OutlookSession::CreateOutlookInstance()
{
    TraceScope trace(u"modSettings: CreateOutlookInstance");
    m_namespace.reset();
    clearFolders();
    try {
        m_namespace = std::make_unique<pim::Namespace>(m_root);
    } catch (const QvError &error) {
        qCWarning(lcOutlook).noquote() << "item store not opened:" << error.description();
    }
    if (!m_namespace || !m_namespace->isReachable()) {
        m_namespace.reset();
        m_prompts.messageBox(OutlookMessages::missingOutlookTitle(),
                             OutlookMessages::missingOutlookText(), PromptButtons::Ok,
                             PromptIcon::Critical);
        m_ended = true;
        return false;
    }
    // On the first connection only: a reconnect keeps what this run read.
    if (!m_summariesLoaded) {
        m_summariesLoaded = true;
        m_folderCache.load(summaryFile(*m_namespace));
    }
    return true;
}

bool OutlookSession::SetFolderObjects(const FolderIds &ids)
{
    m_ids = ids;
    for (const FolderSlot slot : FolderSlotsInOrder)
        m_defaulted[indexOf(slot)] = ids[slot].isEmpty();
    return SetFolderObjects();
}

bool OutlookSession::SetFolderObjects()
{
    TraceScope trace(u"modSettings: SetFolderObjects");
    if (!m_namespace)
        return false;
    for (const FolderSlot slot : FolderSlotsInOrder) {
        const FolderId id = m_defaulted[indexOf(slot)] ? FolderId() : m_ids[slot];
        if (id.isEmpty()) {
            if (slot == FolderSlot::SecondContacts) {
                m_folders[indexOf(slot)].reset();
                continue;
            }
            const pim::Folder folder =
                m_namespace->GetDefaultFolder(defaultFolderFor(folderKindOf(slot)));
            m_ids[slot] = {folder.entryId(), folder.storeId()};
            m_folders[indexOf(slot)] = folder;
            continue;
        }
        if (!resolve(slot, id))
            return false;
    }
    return true;
}

std::optional<pim::Folder> OutlookSession::SetFolderObject(FolderKind kind, const QString &entryId,
                                                           const QString &storeId)
{
    TraceScope trace(u"modSettings: SetFolderObject");
    return resolve(folderSlotOf(kind), {entryId, storeId});
}

std::optional<pim::Folder> OutlookSession::resolve(FolderSlot slot, const FolderId &id)
{
    const FolderKind kind = folderKindOf(slot);
    std::optional<pim::Folder> folder = nameSpace().findFolder(id.entryId, id.storeId);
    if (!folder) {
        qCInfo(lcOutlook) << "stored folder not found:" << folderDisplayName(kind) << id.entryId;
        folder = GetFolder(kind);
        if (!folder)
            return std::nullopt;
        // The second contacts folder has no value of its own, and writing it
        // under "Contacts" would replace the first one's choice.
        if (slot != FolderSlot::SecondContacts)
            writeFolderIds(kind, *folder);
        m_ids[slot] = {folder->entryId(), folder->storeId()};
        m_defaulted[indexOf(slot)] = false;
    }
    m_folders[indexOf(slot)] = folder;
    return folder;
}

void OutlookSession::writeFolderIds(FolderKind kind, const pim::Folder &folder)
{
    RegistryKey key = m_registry.openSubKey(QLatin1String(RegistryPaths::SettingsFolders));
    const QString name = folderDisplayName(kind);
    key.writeText(name + QStringLiteral(" EntryID"), folder.entryId());
    key.writeText(name + QStringLiteral(" StoreID"), folder.storeId());
}

std::optional<pim::Folder> OutlookSession::GetFolder(FolderKind kind)
{
    TraceScope trace(u"modSettings: GetFolder");
    m_prompts.messageBox(OutlookMessages::missingFolderTitle(kind),
                         OutlookMessages::missingFolderText(kind), PromptButtons::Ok,
                         PromptIcon::Warning);
    std::optional<pim::Folder> folder = GetOLFolder(kind);
    while (!folder) {
        const PromptResult answer = m_prompts.messageBox(
            OutlookMessages::missingSettingTitle(kind), OutlookMessages::missingSettingText(),
            PromptButtons::YesNo, PromptIcon::Question);
        if (answer != PromptResult::Yes) {
            m_ended = true;
            return std::nullopt;
        }
        // Through the type check again: a second pick is no more trusted than
        // the first.
        folder = GetOLFolder(kind);
    }
    return folder;
}

std::optional<pim::Folder> OutlookSession::GetOLFolder(FolderKind kind)
{
    TraceScope trace(u"modSettings: GetOLFolder");
    pim::Namespace &ns = nameSpace();
    QVariantList folders;
    for (const pim::Store *store : ns.stores())
        for (const pim::Folder &folder : store->folders())
            folders.append(pickerEntry(folder, store->name()));
    QVariantMap values{{QStringLiteral("folders"), folders},
                       {QStringLiteral("kind"), static_cast<int>(kind)}};
    if (!m_prompts.showDialog(QLatin1String(DialogName::FolderPicker), values))
        return std::nullopt;

    // The picked folder is opened again by its ids: the list may be older than
    // the directory it names.
    std::optional<pim::Folder> folder =
        ns.findFolder(values.value(QStringLiteral("entryId")).toString(),
                      values.value(QStringLiteral("storeId")).toString());
    if (!folder) {
        qCWarning(lcOutlook) << "picked folder no longer exists";
        return std::nullopt;
    }
    if (folder->defaultItemType() != expectedItemType(kind)) {
        m_prompts.messageBox(OutlookMessages::invalidFolderTypeTitle(),
                             OutlookMessages::invalidFolderTypeText(kind), PromptButtons::Ok,
                             PromptIcon::Critical);
        return std::nullopt;
    }
    return folder;
}

void OutlookSession::CheckOLVersion()
{
    TraceScope trace(u"modSettings: CheckOLVersion");
    QString text = m_versionText;
    if (text.isEmpty())
        text = m_namespace ? m_namespace->version() : QLatin1String(pim::Namespace::VersionText);
    m_versionCode = versionCodeFor(text);
    if (m_versionCode.toInt() < 10)
        ParseOLCategories();
}

void OutlookSession::ParseOLCategories()
{
    TraceScope trace(u"modSettings: ParseOLCategories");
    QString masterList;
    try {
        if (m_namespace)
            masterList = m_namespace->categoryMasterList();
    } catch (const QvError &error) {
        qCWarning(lcOutlook).noquote() << "category list not read:" << error.description();
    }
    m_categories = parseCategoryMasterList(masterList);
}

const QStringList &OutlookSession::categoryList()
{
    if (m_categories.isEmpty())
        ParseOLCategories();
    return m_categories;
}

bool OutlookSession::isReachable() const
{
    return m_namespace && m_namespace->isReachable();
}

bool OutlookSession::EnsureOutlook()
{
    if (isReachable())
        return true;
    TraceScope trace(u"modSettings: EnsureOutlook");
    bool connected = false;
    try {
        connected = CreateOutlookInstance() && SetFolderObjects();
    } catch (const QvError &error) {
        qCWarning(lcOutlook).noquote() << "reconnecting failed:" << error.description();
    }
    if (connected)
        return true;
    reportInstanceError();
    return false;
}

void OutlookSession::reportInstanceError()
{
    if (!m_errorHandler)
        throw QvError(ErrorNumber::OutlookInstance, OutlookMessages::unableToCreateInstance(),
                      ProgramSource);
    // The handler would try to reconnect first; that has just failed, so it
    // must go straight to the report.
    m_reporting = true;
    try {
        m_errorHandler->handle(ErrorNumber::OutlookInstance,
                               OutlookMessages::unableToCreateInstance(), ProgramSource);
    } catch (...) {
        m_reporting = false;
        throw;
    }
    m_reporting = false;
}

void OutlookSession::connectErrorHandler(ErrorHandler &handler)
{
    m_errorHandler = &handler;
    handler.storeReachable = [this] { return m_reporting || isReachable(); };
    handler.reconnectStore = [this] {
        return !m_reporting && CreateOutlookInstance() && SetFolderObjects();
    };
}

pim::Namespace &OutlookSession::nameSpace() const
{
    if (!m_namespace)
        throw QvError(ErrorNumber::OutlookInstance, OutlookMessages::unableToCreateInstance(),
                      ProgramSource);
    return *m_namespace;
}

const std::optional<pim::Folder> &OutlookSession::folder(FolderSlot slot) const
{
    return m_folders[indexOf(slot)];
}

void OutlookSession::clearFolders()
{
    for (auto &folder : m_folders)
        folder.reset();
}

} // namespace quorvale
