#pragma once

#include "platform/pim/IcalItem.h"

namespace quorvale::pim {

// A journal entry (VJOURNAL): DTSTART and the time worked as DURATION
// ("PT1H30M"), the form every calendar reader knows, though RFC 5545 lists it
// for events and tasks only; X-QUORVALE-DURATION holds it too, for readers of
// older entries. End is always Start + Duration, as in Outlook: setting End
// changes the Duration, setting Duration or Start moves the End.
class JournalItem : public IcalItem {
public:
    explicit JournalItem(Folder folder);

    QDateTime Start() const { return m_start; }
    void setStart(const QDateTime &start);
    // Invalid without a Start.
    QDateTime End() const;
    // An End before the Start is ignored (returns false), like one without a Start.
    bool setEnd(const QDateTime &end);
    // Whole minutes.
    int Duration() const { return m_duration; }
    void setDuration(int minutes);

    // The entry type: "Task", "Phone call", ... (X-QUORVALE-ENTRYTYPE).
    QString Type() const { return m_type; }
    void setType(const QString &type);

    QVariant property(const QString &name) const override;
    bool setProperty(const QString &name, const QVariant &value) override;

protected:
    void readKind(const IcalDocument &document) override;
    void writeKind(IcalDocument &document) override;

private:
    QDateTime m_start;
    int m_duration = 0;
    QString m_type;
};

// The minutes of an iCalendar duration text ("PT1H30M"), nullopt when it is
// none; and the text of a number of minutes.
std::optional<int> durationMinutes(const QString &text);
QString durationText(int minutes);

} // namespace quorvale::pim
