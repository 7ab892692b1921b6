#include "GuardedApplication.h"

#include <QDialog>
#include <QProgressDialog>

namespace quorvale {

void GuardedApplication::pointerForDialog(QObject *receiver, QEvent::Type type)
{
    auto *dialog = qobject_cast<QDialog *>(receiver);
    // A progress window belongs to the work it shows: the busy pointer stays.
    if (!dialog || qobject_cast<QProgressDialog *>(dialog))
        return;
    if (type == QEvent::Show) {
        const QCursor *pointer = overrideCursor();
        if (!pointer || pointer->shape() != Qt::WaitCursor || m_arrowed.contains(dialog))
            return;
        setOverrideCursor(Qt::ArrowCursor);
        m_arrowed.insert(dialog);
        connect(dialog, &QObject::destroyed, this, [this, dialog] {
            if (m_arrowed.remove(dialog))
                restoreOverrideCursor();
        });
    } else if (m_arrowed.remove(dialog)) {
        restoreOverrideCursor();
    }
}

bool GuardedApplication::notify(QObject *receiver, QEvent *event)
{
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
        pointerForDialog(receiver, event->type());
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
