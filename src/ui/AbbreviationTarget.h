#pragma once

#include <QObject>
#include <QPointer>

class QPlainTextEdit;
class QWidget;

namespace quorvale {

// Which note field an abbreviation goes into: the time segment field when it,
// rather than the description, was the one the person typed in last; else the
// description. Choosing from the drop-down list or a menu takes the focus away
// from both, so the decision rests on the last of the two that had it.
class AbbreviationTarget : public QObject {
    Q_OBJECT

public:
    AbbreviationTarget(QPlainTextEdit *description, QPlainTextEdit *timeSegment,
                       QObject *parent = nullptr);

    QPlainTextEdit *target() const;

private:
    void focusChanged(QWidget *now);

    QPointer<QPlainTextEdit> m_description;
    QPointer<QPlainTextEdit> m_timeSegment;
    bool m_segmentLast = false;
};

} // namespace quorvale
