#pragma once

#include "timecards/TimeAdjust.h"

#include <QDialog>

class QButtonGroup;
class QLineEdit;

namespace quorvale {

class Prompts;

// The Add/Subtract Time dialog: amount buttons, a typed amount and OK/Cancel,
// over TimeAdjust. Values in, the adjusted value out.
class frmTimeAdd : public QDialog {
    Q_OBJECT

public:
    frmTimeAdd(const AdjustTimeInput &input, Prompts &prompts, QWidget *parent = nullptr);

    // The adjusted value once the dialog was accepted (see TimeAdjust::result); result() stays
    // QDialog's code.
    QVariant adjustedValue() const { return m_logic.result(); }

    QButtonGroup *amountButtons() const { return m_amounts; }
    QLineEdit *typedAmount() const { return m_typed; }

    // Opens the dialog modally on the values of toDialogValues; on OK puts the
    // result under AdjustTimeResultKey and returns true.
    static bool AdjustTimeDialog(QVariantMap &values, Prompts &prompts, QWidget *parent = nullptr);

public Q_SLOTS:
    void accept() override;

private:
    TimeAdjust m_logic;
    QButtonGroup *m_amounts = nullptr;
    QLineEdit *m_typed = nullptr;
};

} // namespace quorvale
