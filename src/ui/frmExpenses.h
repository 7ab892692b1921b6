#pragma once

#include "charges/ChargeCodes.h"
#include "charges/ChargeKind.h"
#include "charges/ChargeRecord.h"
#include "charges/ChargeStore.h"
#include "charges/ChargeValidation.h"
#include "filters/QuickFilter.h"
#include "ui/TimeCardFields.h"

#include <QDialog>
#include <QLocale>
#include <exception>
#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QToolBar;
class QToolButton;

namespace quorvale {

class QuickFilterControls;

namespace db {
class Connection;
}
class Prompts;

// The main window's current TimeCard, which a linked charge takes its contact,
// activities and job order from.
struct LinkedTimeCard {
    qint64 timeCardId = 0;
    qint32 contactId = 0;
    qint32 activity1Id = 0;
    qint32 activity2Id = 0;
    QString jobOrder;
};

// What the charge window takes from the running program.
struct ChargeWindowContext {
    ChargeScope scope; // with timeCardId: only that TimeCard's rows
    ChargeRules rules;
    bool realizationInUse = false;
    QString jobOrderMask;
    QuickFilterType quickFilterType = QuickFilterType::Contact;
    PickListSource pickLists;
    std::optional<LinkedTimeCard> timeCard; // linked windows
    QLocale locale;
};

// The dialog modes.

// `frmExpenses`: adds, edits or manages expenses or fixed charges. A thin layer
// over ChargeRecord (what the fields show) and ChargeStore (the rows of modes 1
// and 2); adding (mode 0) writes through ProcessSave.
class frmExpenses : public QDialog {
    Q_OBJECT

public:
    // Opens the rows; throws QvError when the codes or rows cannot be read.
    frmExpenses(db::Connection &cnnLink, ChargeWindowContext context, Prompts &prompts,
                ChargeMode mode, bool standalone, ChargeKind kind, qint64 itemId = 0,
                QWidget *parent = nullptr);
    ~frmExpenses() override;

    // `ItemDialog`: the window, modally; in mode 2 without rows the person is
    // told so and nothing opens. A failure to read or store rows closes the
    // window and is thrown on (QvError) for the common error handler.
    static void ItemDialog(db::Connection &cnnLink, const ChargeWindowContext &context,
                           Prompts &prompts, ChargeMode mode, bool standalone, bool isExpense,
                           qint64 itemId, QWidget *parent = nullptr);

    // Modes 1 and 2: no row to show.
    bool hasNoRows() const;

    const ChargeRecord &record() const { return m_record; }
    ChargeStore *store() const { return m_store.get(); }
    int errorCode() const { return m_errorCode; }
    // The run-time error that closed the window, if one did.
    std::exception_ptr failure() const { return m_failure; }

    QLineEdit *contactField() const { return m_contact; }
    QToolButton *selectContactButton() const { return m_selectContact; }
    QToolButton *clearContactButton() const { return m_clearContact; }
    QComboBox *activity1List() const { return m_activity1; }
    QComboBox *activity2List() const { return m_activity2; }
    QLineEdit *jobOrderField() const { return m_jobOrder; }
    QComboBox *typeList() const { return m_type; }
    QDateEdit *startDateField() const { return m_startDate; }
    QDateEdit *endDateField() const { return m_endDate; }
    QLineEdit *descriptionField() const { return m_description; }
    QLineEdit *purposeField() const { return m_purpose; }
    QLineEdit *locationField() const { return m_location; }
    QLineEdit *participantsField() const { return m_participants; }
    QPushButton *browseButton() const { return m_browse; }
    QLineEdit *quantityField() const { return m_quantity; }
    QLineEdit *rateField() const { return m_rate; }
    QLineEdit *amountField() const { return m_amount; }
    QComboBox *billStatusList() const { return m_billStatus; }
    QPushButton *saveExitButton() const { return m_saveExit; }
    QPushButton *closeButton() const { return m_close; }
    QPushButton *saveAddButton() const { return m_saveAdd; }
    QToolBar *toolBar() const { return m_toolBar; }
    QAction *tool(const char *name) const;
    QComboBox *filterList() const;
    QLineEdit *contactQuickFilter() const;
    QLabel *positionPanel() const { return m_positionPanel; }
    QLabel *reimbursementPanel() const { return m_reimbursementPanel; }
    QLabel *linkPanel() const { return m_linkPanel; }

    // The manage-all tools, as the tool bar runs them.
    void runTool(const QString &name);
    // Manage all expenses: records that the user was paid back for every
    // expense still owed, after showing them and asking; the rows then show as
    // reimbursed.
    void RecordReimbursement();

protected:
    void done(int result) override;

private:
    bool isExpense() const { return m_kind == ChargeKind::Expense; }
    bool rowStandalone() const;
    QString title() const;
    void build();
    void buildToolBar(QLayout *layout);
    void connectFields();
    void fillActivities(int level, qint32 chosen);
    void showRecord();
    void showRow();
    void validate();
    void textEdited(QLineEdit *edit, const QString &text, QString ChargeRecord::*field,
                    const char *allowed);
    void quantityOrRateLeft();
    void pickContact();
    void clearContact();
    void browseParticipants();
    bool save();
    void saveAndAdd();
    void prepareNext();
    void focusError(int code);
    // What the row shows goes in before a command works on the rows; false when
    // the person chose to fix an invalid row first.
    bool settleRowFirst();
    ChargeRecord freshRow() const;
    void processQuickFilter();
    void pickFilterContact();
    void showFilterInForce();
    void tell(const QString &text);
    // Keeps the error being handled and closes the window; ItemDialog throws it on.
    void fail();

    db::Connection &m_link;
    ChargeWindowContext m_context;
    Prompts &m_prompts;
    ChargeMode m_mode;
    bool m_standalone;
    ChargeKind m_kind;
    ChargeCodes m_codes;
    std::unique_ptr<ChargeStore> m_store;
    ChargeRecord m_record;
    int m_errorCode = 0;
    bool m_loading = true;
    std::exception_ptr m_failure;

    QLineEdit *m_contact = nullptr;
    QToolButton *m_selectContact = nullptr;
    QToolButton *m_clearContact = nullptr;
    QComboBox *m_activity1 = nullptr;
    QComboBox *m_activity2 = nullptr;
    QLineEdit *m_jobOrder = nullptr;
    QComboBox *m_type = nullptr;
    QDateEdit *m_startDate = nullptr;
    QDateEdit *m_endDate = nullptr;
    QLineEdit *m_description = nullptr;
    QLineEdit *m_purpose = nullptr;
    QLineEdit *m_location = nullptr;
    QLineEdit *m_participants = nullptr;
    QPushButton *m_browse = nullptr;
    QLineEdit *m_quantity = nullptr;
    QLineEdit *m_rate = nullptr;
    QLineEdit *m_amount = nullptr;
    QComboBox *m_billStatus = nullptr;
    QPushButton *m_saveExit = nullptr;
    QPushButton *m_close = nullptr;
    QPushButton *m_saveAdd = nullptr;
    QToolBar *m_toolBar = nullptr;
    QuickFilterControls *m_quickFilter = nullptr;
    // What the list is narrowed by; the control shows it whatever was chosen.
    struct {
        qint32 id = 0;
        QString name;
    } m_filterInForce;
    QStatusBar *m_statusBar = nullptr;
    QLabel *m_positionPanel = nullptr;
    QLabel *m_reimbursementPanel = nullptr;
    QLabel *m_linkPanel = nullptr;
};

} // namespace quorvale
