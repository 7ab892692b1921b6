#include "qvadmin/AdminLog.h"

Q_LOGGING_CATEGORY(lcAdmin, "quorvale.admin")
