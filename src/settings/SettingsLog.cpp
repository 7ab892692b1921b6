#include "settings/SettingsLog.h"

Q_LOGGING_CATEGORY(lcSettings, "quorvale.settings")
