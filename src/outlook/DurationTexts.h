#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace quorvale {

// The duration texts the person's item defaults hold ("Today", "2 days",
// "1 week", "1 month", "30 minutes", "3 hours", "0.5 days", "None"), as
// minutes. "None" and texts the table does not know give nothing: a reminder
// is then left off, a date unset.
std::optional<int> durationTextMinutes(const QString &text);

// The moment that many minutes from `now`; nothing for "None".
std::optional<QDateTime> dateFromNow(const QString &text, const QDateTime &now);

// "Not Started" 0 .. "Deferred" 4; Not Started for anything else.
int taskStatusCode(const QString &text);
// The text of a task Status code; the code as text when it is out of range.
QString taskStatusText(int code);
// "Low" 0, "Normal" 1, "High" 2; Normal for anything else.
int importanceCode(const QString &text);
// The text of an Importance code; the code as text when it is out of range.
QString importanceText(int code);
// The item defaults keep "None" for no category.
QString categoryText(const QString &defaultCategory);

} // namespace quorvale
