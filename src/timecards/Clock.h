#pragma once

#include <QDateTime>

namespace quorvale {

// Where "now" comes from, so that a test can stand time still or move it on.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

// The computer's local date and time.
class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// A clock that shows what it was set to until it is set or advanced again.
class FixedClock final : public Clock {
public:
    explicit FixedClock(QDateTime at) : m_at(std::move(at)) {}
    QDateTime now() const override { return m_at; }
    void set(QDateTime at) { m_at = std::move(at); }
    void advance(qint64 seconds) { m_at = m_at.addSecs(seconds); }

private:
    QDateTime m_at;
};

} // namespace quorvale
