#pragma once

#include <QString>
#include <QtGlobal>
#include <array>
#include <span>

namespace quorvale {

class Registry;

// The item kinds that are filled from a template; the values are the kind codes
// the callers pass (journal entries 11, tasks 13, appointments 9, notes 12).
enum class TemplateKind : int {
    Appointments = 9,
    Journal = 11,
    Notes = 12,
    Tasks = 13,
};

// The kinds in the order the AutoFill dialog shows them.
inline constexpr TemplateKind AllTemplateKinds[] = {
    TemplateKind::Appointments,
    TemplateKind::Tasks,
    TemplateKind::Journal,
    TemplateKind::Notes,
};

// Slots 0..5 are body lines, 6..9 subject parts; notes have no subject.
inline constexpr int BodySlotCount = 6;
inline constexpr int SubjectSlotCount = 4;
inline constexpr int FirstSubjectSlot = BodySlotCount;

// The key name below Settings\AutoFill, which is also the tab's caption.
QString templateKindName(TemplateKind kind);
bool hasSubject(TemplateKind kind);

// Each kind's field codes, value "0" first. Laid out like the settings module's
// AutoFillCodes, so the start-up values copy across member by member; the
// defaults are those a settings file without AutoFill values reads as.
struct AutoFillTemplates {
    std::array<qint16, 10> journal{11, 2, 3, 6, 8, 11, 2, 0, 0, 0};
    std::array<qint16, 10> tasks{10, 2, 3, 6, 8, 10, 2, 0, 0, 0};
    std::array<qint16, 10> appointments{12, 2, 3, 6, 8, 12, 2, 0, 0, 0};
    std::array<qint16, 6> notes{13, 2, 3, 6, 8, 13};

    std::span<const qint16> codes(TemplateKind kind) const;
    std::span<qint16> codes(TemplateKind kind);

    bool operator==(const AutoFillTemplates &) const = default;
};

// Reads the four keys; a missing or malformed value keeps the default of its slot.
AutoFillTemplates readAutoFillTemplates(Registry &registry);

// Writes every slot of the four kinds as text holding the code ("0".."9",
// "0".."5" for notes) in one file write. Throws QvError when the file cannot
// be written; then nothing of it is kept in memory by the caller.
void writeAutoFillTemplates(Registry &registry, const AutoFillTemplates &templates);

} // namespace quorvale
