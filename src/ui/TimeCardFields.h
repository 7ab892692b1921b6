#pragma once

#include "data/SortOrders.h"
#include "timecards/BillingRounding.h"
#include "timecards/PickLists.h"
#include "timecards/TimeFieldRules.h"
#include "timecards/Validation.h"

#include <QTabWidget>
#include <functional>
#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimeEdit;

namespace quorvale {

class TimeCardBinder;
class WorkingSet;

// Where the contact's name and the activity lists come from; the window knows no
// statement. Unset functions leave the fields empty.
struct PickListSource {
    bool contactInUse = true;
    bool activity1InUse = true;
    bool activity2InUse = true;
    std::function<QString(std::optional<qint32> contactId)> contactName;
    // How the contact's time is billed (as recorded when unset).
    std::function<BillingRounding(std::optional<qint32> contactId)> contactRounding;
    // The entries of level 1 or 2 for the contact, the empty entry first.
    std::function<std::vector<PickEntry>(int level, std::optional<qint32> contactId)> activities;
    // The stored name of an activity the list no longer offers.
    std::function<QString(int level, qint32 id)> activityName;
    // The item store's master category list, for the category picker.
    std::function<QStringList()> categories;
    // The active-task list of a TimeCard, "(None)" first (`FillActiveTasks`).
    std::function<std::vector<PickEntry>(qint64 timeCardId)> activeTasks;
};

// The fields of the current TimeCard on four pages: the work itself, its details,
// its dates and times, its billing. Edits go through the binder into the row;
// showCurrent() fills every field from the row again.
class TimeCardFields : public QTabWidget {
    Q_OBJECT

public:
    // The pages in the order the validation's focus moves count them.
    enum Page { WorkPage = 0, DetailsPage = 1, DatesPage = 2, BillingPage = 3 };

    TimeCardFields(WorkingSet &workingSet, const Terms &terms, QWidget *parent = nullptr);

    // Makes the fields editable through the binder (nullptr: shown only).
    // timeFormat is in Qt's notation; rateSources are the offered sources.
    void bind(TimeCardBinder *binder, const QString &timeFormat, const QStringList &rateSources);
    void setPickLists(PickListSource source);
    // Both time-of-day fields show and take this format (Qt's notation).
    void setTimeFormat(const QString &timeFormat);
    // Tools shown after the edit commands in the time fields' context menu.
    void setTimePopUp(QList<QAction *> tools) { m_timePopUp = std::move(tools); }

    void showCurrent();
    // The time spent and value again, as the timer wrote them into the row.
    void showTimerFields();
    // The page that holds the field comes forward and the field takes the focus.
    void focusField(FocusField field);
    bool timeEstimatedHasFocus() const;
    // Takes a time typed into a duration field that has not been left yet, as
    // leaving it would. False when the typed text is refused (the person has
    // been told and the field has the focus): what was to follow must wait.
    bool commitTypedTimes();

    // The note on the current run (txtTimeSegment); not a column of the row.
    QPlainTextEdit *timeSegment() const { return m_timeSegment; }
    // The chosen active task's ID (0: none), for the time detail and journal.
    qint32 activeTaskId() const;
    void setTimeSegmentShown(bool shown);
    void setActiveTaskListShown(bool shown);

Q_SIGNALS:
    // A field changed the row; the window refreshes what depends on it.
    void edited();
    // showCurrent() filled the fields: pages that follow the TimeCard refresh.
    void currentShown();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *addPage(const QString &title, const char *name);
    void buildWorkPage();
    void buildDetailsPage();
    void buildDatesPage();
    void buildBillingPage();
    void connectFields();
    void fillActivities(std::optional<qint32> contactId);
    void fillActiveTasks();
    void chooseCategories();
    void setLocked(bool locked);
    void showValue();
    // The billed time and value beside the value, when the client's time is
    // billed in steps.
    void showBilled();
    void showEnd();
    void focusWidget(QWidget *target);
    // Leaving a duration field; false when its text was refused.
    bool durationLeft(QLineEdit *edit, DurationField field);
    bool writable() const { return m_binder && !m_showing; }

    WorkingSet &m_set;
    Terms m_terms;
    PickListSource m_pick;
    TimeCardBinder *m_binder = nullptr;
    bool m_showing = false;
    bool m_leavingDuration = false;
    QList<QAction *> m_timePopUp;

    QLabel *m_id = nullptr;
    QLineEdit *m_contact = nullptr;
    QComboBox *m_activity1 = nullptr;
    QComboBox *m_activity2 = nullptr;
    QPlainTextEdit *m_description = nullptr;
    QLineEdit *m_timeEstimated = nullptr;
    QLineEdit *m_timeSpent = nullptr;
    QPlainTextEdit *m_timeSegment = nullptr;
    QComboBox *m_activeTask = nullptr;
    std::optional<qint64> m_activeTaskOf; // the TimeCard the list was filled for
    QFormLayout *m_workForm = nullptr;
    QComboBox *m_entryType = nullptr;
    QLineEdit *m_category = nullptr;
    QPushButton *m_chooseCategories = nullptr;
    QLineEdit *m_jobOrder = nullptr;
    QCheckBox *m_hidden = nullptr;
    QDateEdit *m_startDate = nullptr;
    QTimeEdit *m_startTime = nullptr;
    QDateEdit *m_endDate = nullptr;
    QTimeEdit *m_endTime = nullptr;
    QComboBox *m_billStatus = nullptr;
    QComboBox *m_rateSource = nullptr;
    QComboBox *m_rateLevel = nullptr;
    QLineEdit *m_rate = nullptr;
    QLineEdit *m_flatFee = nullptr;
    QLineEdit *m_value = nullptr;
    // What the client is billed when their time goes in steps; hidden otherwise.
    QLineEdit *m_billed = nullptr;
    BillingRounding m_rounding; // of the shown TimeCard's contact
    QLineEdit *m_realization = nullptr;
};

} // namespace quorvale
