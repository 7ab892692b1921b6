#include "ui/AbbreviationTarget.h"

#include <QApplication>
#include <QPlainTextEdit>

namespace quorvale {

AbbreviationTarget::AbbreviationTarget(QPlainTextEdit *description, QPlainTextEdit *timeSegment,
                                       QObject *parent)
    : QObject(parent), m_description(description), m_timeSegment(timeSegment)
{
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { focusChanged(now); });
}

QPlainTextEdit *AbbreviationTarget::target() const
{
    if (m_segmentLast && m_timeSegment)
        return m_timeSegment;
    return m_description;
}

void AbbreviationTarget::focusChanged(QWidget *now)
{
    // The viewport or any other inner part of a field counts as the field.
    for (QWidget *w = now; w; w = w->parentWidget()) {
        if (w == m_timeSegment) {
            m_segmentLast = true;
            return;
        }
        if (w == m_description) {
            m_segmentLast = false;
            return;
        }
    }
}

} // namespace quorvale
