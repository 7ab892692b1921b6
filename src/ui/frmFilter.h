#pragma once

#include "data/SortOrders.h"
#include "filters/FilterCriteria.h"
#include "timecards/ContactPicker.h"
#include "timecards/PickLists.h"

#include <QDialog>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace quorvale {

// What the filter dialog offers: the fields in use with their terms, and the
// lists the main window offers for the same fields.
struct FilterDialogSetup {
    Terms terms;
    bool contactInUse = true;
    bool activity1InUse = true;
    bool activity2InUse = true;
    QString jobOrderTerm; // empty: the job-order row is hidden
    QString jobOrderMask; // QLineEdit's input-mask notation; empty for none
    QStringList billStatuses;
    QStringList rateSources;
    QStringList entryTypes;
    // The activity entries of level 1 or 2 for a contact, the empty entry first.
    std::function<std::vector<PickEntry>(int level, std::optional<qint32> contactId)> activities;
    // The contact picker; nullopt when none was chosen.
    std::function<std::optional<PickedContact>()> pickContact;
    // The master category list.
    std::function<QStringList()> categories;
};

// `frmFilter`: the criteria that narrow the main window's TimeCards. "&Apply"
// hands them back (exec() returns Accepted); "&Cancel" asks for the filter to be
// turned off and the criteria forgotten (exec() returns CancelFilter); closing
// the window otherwise leaves everything as it was (Rejected).
class frmFilter : public QDialog {
    Q_OBJECT

public:
    static constexpr int CancelFilter = 2;

    // `FilterDialog` and `Form_Activate`: lays the dialog out for the fields in
    // use and shows the saved criteria.
    frmFilter(FilterDialogSetup setup, const FilterCriteria &saved, QWidget *parent = nullptr);

    // The criteria as the controls show them.
    FilterCriteria criteria() const;

    QPushButton *applyButton() const { return m_apply; }
    QPushButton *cancelButton() const { return m_cancel; }

public Q_SLOTS:
    void cmdApply_Click();
    void Command2_Click();
    void cmdShowCategories_Click();
    void selectContact();
    void clearContact();

private:
    void build();
    void showCriteria(const FilterCriteria &saved);
    void fillActivities(std::optional<qint32> contactId, qint32 keep1, qint32 keep2);
    void changed();
    void rateEdited();

    FilterDialogSetup m_setup;
    qint32 m_contactId = 0;
    qint32 m_userId = 0;
    QLineEdit *m_contact = nullptr;
    QToolButton *m_pickContact = nullptr;
    QToolButton *m_clearContact = nullptr;
    QComboBox *m_activity1 = nullptr;
    QComboBox *m_activity2 = nullptr;
    QComboBox *m_billStatus = nullptr;
    QComboBox *m_rateSource = nullptr;
    QComboBox *m_entryType = nullptr;
    QLineEdit *m_categories = nullptr;
    QPushButton *m_showCategories = nullptr;
    QComboBox *m_rateOperator = nullptr;
    QLineEdit *m_rate = nullptr;
    QComboBox *m_startOperator = nullptr;
    QDateEdit *m_startDate = nullptr;
    QComboBox *m_endOperator = nullptr;
    QDateEdit *m_endDate = nullptr;
    QLineEdit *m_jobOrder = nullptr;
    QPushButton *m_apply = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace quorvale
