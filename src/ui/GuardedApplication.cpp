#include "GuardedApplication.h"

namespace quorvale {

bool GuardedApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        if (!m_handler)
            throw;
        m_handler(error);
        return true;
    }
}

} // namespace quorvale
