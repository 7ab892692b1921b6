#pragma once

#include <QObject>

class QPlainTextEdit;

namespace quorvale {

class Clock;

// Ctrl+1 .. Ctrl+6 in a note field put a time stamp at its caret. Owned by the
// field, so it goes when the field does.
class TimeStampFilter : public QObject {
    Q_OBJECT

public:
    TimeStampFilter(const Clock &clock, QPlainTextEdit *field);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const Clock &m_clock;
    QPlainTextEdit *m_field;
};

} // namespace quorvale
