#include "TimeStampFilter.h"

#include "timecards/TimeStamp.h"

#include <QKeyEvent>
#include <QPlainTextEdit>

namespace quorvale {

TimeStampFilter::TimeStampFilter(const Clock &clock, QPlainTextEdit *field)
    : QObject(field), m_clock(clock), m_field(field)
{
    field->installEventFilter(this);
}

bool TimeStampFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_field && event->type() == QEvent::KeyPress && !m_field->isReadOnly()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (const auto stamp = InsertTimeStamp(key->key(), key->modifiers(), m_clock)) {
            m_field->textCursor().insertText(*stamp);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quorvale
