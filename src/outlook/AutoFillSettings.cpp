#include "outlook/AutoFillSettings.h"

#include "platform/registry/Registry.h"
#include "platform/registry/RegistryPaths.h"

namespace quorvale {

namespace {

const char *keyPath(TemplateKind kind)
{
    switch (kind) {
    case TemplateKind::Appointments:
        return RegistryPaths::AutoFillAppointments;
    case TemplateKind::Journal:
        return RegistryPaths::AutoFillJournal;
    case TemplateKind::Notes:
        return RegistryPaths::AutoFillNotes;
    case TemplateKind::Tasks:
        return RegistryPaths::AutoFillTasks;
    }
    return RegistryPaths::AutoFillJournal;
}

} // namespace

QString templateKindName(TemplateKind kind)
{
    switch (kind) {
    case TemplateKind::Appointments:
        return QStringLiteral("Appointments");
    case TemplateKind::Journal:
        return QStringLiteral("Journal");
    case TemplateKind::Notes:
        return QStringLiteral("Notes");
    case TemplateKind::Tasks:
        return QStringLiteral("Tasks");
    }
    return {};
}

bool hasSubject(TemplateKind kind)
{
    return kind != TemplateKind::Notes;
}

std::span<const qint16> AutoFillTemplates::codes(TemplateKind kind) const
{
    return const_cast<AutoFillTemplates *>(this)->codes(kind);
}

std::span<qint16> AutoFillTemplates::codes(TemplateKind kind)
{
    switch (kind) {
    case TemplateKind::Appointments:
        return appointments;
    case TemplateKind::Journal:
        return journal;
    case TemplateKind::Notes:
        return notes;
    case TemplateKind::Tasks:
        return tasks;
    }
    return {};
}

AutoFillTemplates readAutoFillTemplates(Registry &registry)
{
    AutoFillTemplates templates;
    for (TemplateKind kind : AllTemplateKinds) {
        const RegistryKey key = registry.openSubKey(QString::fromLatin1(keyPath(kind)));
        std::span<qint16> codes = templates.codes(kind);
        for (std::size_t i = 0; i < codes.size(); ++i)
            codes[i] = key.readInt(QString::number(i), codes[i]);
    }
    return templates;
}

void writeAutoFillTemplates(Registry &registry, const AutoFillTemplates &templates)
{
    Registry::Batch batch(registry);
    for (TemplateKind kind : AllTemplateKinds) {
        RegistryKey key = registry.openSubKey(QString::fromLatin1(keyPath(kind)));
        const std::span<const qint16> codes = templates.codes(kind);
        for (std::size_t i = 0; i < codes.size(); ++i)
            key.writeText(QString::number(i), QString::number(codes[i]));
    }
    batch.commit();
}

} // namespace quorvale
