#pragma once

#include "platform/pim/IcalItem.h"

namespace quorvale::pim {

// A task (VTODO).
//
// Status, numbered as Outlook does (0 not started, 1 in progress, 2 complete,
// 3 waiting on someone else, 4 deferred), is STATUS plus X-QUORVALE-TASKSTATUS
// for the finer states. STATUS decides when another client changed it (a task
// completed in todoman reads as complete whatever our field says). Deferred is
// written NEEDS-ACTION: the task is still to be done, and CANCELLED would hide
// it from other clients' lists; a CANCELLED task from elsewhere reads as
// deferred. Completing sets COMPLETED and PERCENT-COMPLETE 100.
//
// Importance 0 low, 1 normal, 2 high is PRIORITY 9, 5, 1. The reminder is the
// first VALARM with an absolute trigger. Recipients of an assigned task are
// ATTENDEEs whose PARTSTAT follows DelegationState (0 none, 1 unknown,
// 2 accepted, 3 declined; also in X-QUORVALE-DELEGATIONSTATE); the owner is the
// ORGANIZER.
class TaskItem : public IcalItem {
public:
    explicit TaskItem(Folder folder);

    QDateTime DueDate() const { return m_due; }
    void setDueDate(const QDateTime &due);
    QDateTime StartDate() const { return m_startDate; }
    void setStartDate(const QDateTime &start);

    int Status() const { return m_status; }
    void setStatus(int status);
    bool Complete() const { return m_status == 2; }
    void setComplete(bool complete);
    void MarkComplete() { setStatus(2); }
    QDateTime DateCompleted() const { return m_completed; }
    int PercentComplete() const { return m_percent; }

    int Importance() const { return m_importance; }
    void setImportance(int importance);

    bool ReminderSet() const { return m_reminderSet; }
    void setReminderSet(bool set);
    QDateTime ReminderTime() const { return m_reminderTime; }
    void setReminderTime(const QDateTime &time);

    // Makes the task an assigned one (DelegationState 1 until answered).
    void Assign();
    int DelegationState() const { return m_delegation; }
    void setDelegationState(int state);
    const QList<CalendarAddress> &Recipients() const { return m_recipients; }
    void addRecipient(const QString &name, const QString &address = QString());
    void clearRecipients();
    QString Owner() const;
    void setOwner(const QString &name, const QString &address = QString());

    int ActualWork() const { return m_actualWork; }
    void setActualWork(int minutes);
    int TotalWork() const { return m_totalWork; }
    void setTotalWork(int minutes);
    // The contacts as text, for stores older than Links.
    QString Contacts() const { return m_contacts; }
    void setContacts(const QString &contacts);

    QVariant property(const QString &name) const override;
    bool setProperty(const QString &name, const QVariant &value) override;

protected:
    void readKind(const IcalDocument &document) override;
    void writeKind(IcalDocument &document) override;

private:
    QDateTime m_due;
    bool m_dueIsDate = false;
    QDateTime m_startDate;
    bool m_startIsDate = false;
    int m_status = 0;
    QDateTime m_completed;
    int m_percent = 0;
    int m_importance = 1;
    bool m_reminderSet = false;
    QDateTime m_reminderTime;
    int m_delegation = 0;
    QList<CalendarAddress> m_recipients;
    std::optional<CalendarAddress> m_owner;
    int m_actualWork = 0;
    int m_totalWork = 0;
    QString m_contacts;
};

} // namespace quorvale::pim
