#pragma once

#include "timecards/Rates.h"
#include "timecards/TimeCardEditor.h"

namespace quorvale {

struct AdminOptions;
struct PreparedCommands;
struct RegSettings;

// What the TimeCard logic takes from the settings start-up read: the checks and
// AutoSave for the editor, and the rate options.
EditorOptions editorOptions(const AdminOptions &options, const RegSettings &settings);
RateOptions rateOptions(const AdminOptions &options);

// Whether a level's activity list, as a new TimeCard (no contact yet) sees it,
// offers the activity: a default activity is taken only then.
bool activityListed(const PreparedCommands &commands, int level, qint32 id);

} // namespace quorvale
