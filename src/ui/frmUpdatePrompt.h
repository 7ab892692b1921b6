#pragma once

#include <QDialog>
#include <QVariantMap>

class QCheckBox;

namespace quorvale {

// " Modify Outlook Fields?": whether the subject and the body of the items
// linked to a TimeCard are to be rewritten for a change of its contact or
// activities. OK hands the two ticks back; Cancel abandons the change.
class frmUpdatePrompt : public QDialog {
    Q_OBJECT

public:
    // values: the ticks to start with (ModifySubjectKey, ModifyBodyKey).
    explicit frmUpdatePrompt(const QVariantMap &values, QWidget *parent = nullptr);

    QCheckBox *subjectOption() const { return m_subject; }
    QCheckBox *bodyOption() const { return m_body; }

    // Opens the prompt modally; on OK puts the ticks into values and returns true.
    static bool UpdatePromptDialog(QVariantMap &values, QWidget *parent = nullptr);

private:
    QCheckBox *m_subject;
    QCheckBox *m_body;
};

} // namespace quorvale
