#pragma once

#include "data/SortOrders.h"
#include "filters/MassEdit.h"
#include "timecards/ContactPicker.h"

#include <QDialog>
#include <QStringList>
#include <exception>
#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimeEdit;

namespace quorvale {

class Prompts;

// What the dialog offers and what Apply runs.
struct MassEditSetup {
    Terms terms;
    bool contactInUse = true;
    bool activity1InUse = true;
    bool activity2InUse = true;
    std::vector<MassEditEntry> activities1;
    std::vector<MassEditEntry> activities2;
    QStringList billStatuses;
    QStringList rateSources;
    QStringList entryTypes;
    std::function<std::optional<PickedContact>()> pickContact;
    // Asks and writes; the dialog's label and bar show the progress meanwhile.
    std::function<MassEdit::Outcome(const MassEditRequest &request)> apply;
};

// `frmMassEdit`: one value for chosen fields of every TimeCard shown. Only the
// fields the person set take part. Accepted once applied; rejected on Cancel or
// when the person answers No to the question, or when the edit fails: the
// run-time error is then kept for the caller to throw on.
class frmMassEdit : public QDialog {
public:
    frmMassEdit(MassEditSetup setup, Prompts &prompts, QWidget *parent = nullptr);

    // The fields as set; nullopt (after telling why) when the time estimated
    // is no duration.
    std::optional<MassEditRequest> request();

    void cmdApply_Click();
    void cmdCancel_Click() { reject(); }

    void setProgressLabel(const QString &text);
    void setProgress(int done, int total);
    std::exception_ptr failure() const { return m_failure; }

private:
    void build();
    // Keeps the error being handled and closes the dialog.
    void fail();

    MassEditSetup m_setup;
    Prompts &m_prompts;
    std::optional<qint32> m_contactId;
    QLineEdit *m_contact = nullptr;
    QComboBox *m_activity1 = nullptr;
    QComboBox *m_activity2 = nullptr;
    QComboBox *m_billStatus = nullptr;
    QComboBox *m_rateSource = nullptr;
    QComboBox *m_rateLevel = nullptr;
    QComboBox *m_entryType = nullptr;
    QLineEdit *m_category = nullptr;
    QLineEdit *m_timeEstimated = nullptr;
    QDateEdit *m_startDate = nullptr;
    QDateEdit *m_endDate = nullptr;
    QTimeEdit *m_startTime = nullptr;
    QTimeEdit *m_endTime = nullptr;
    bool m_startDateSet = false;
    bool m_endDateSet = false;
    bool m_startTimeSet = false;
    bool m_endTimeSet = false;
    QLabel *m_progressLabel = nullptr;
    QProgressBar *m_progress = nullptr;
    QPushButton *m_apply = nullptr;
    QPushButton *m_cancel = nullptr;
    std::exception_ptr m_failure;
};

} // namespace quorvale
