#pragma once

#include "outlook/AutoFillSettings.h"
#include "outlook/FieldCodes.h"

#include <QDialog>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabBar;
class QWidget;

namespace quorvale {

class Prompts;
class Registry;

// The AutoFill dialog: the subject and body templates of the four item kinds.
// Takes the templates in use, edits a working copy across the tabs, and on
// Apply or OK writes every kind to the registry; Cancel writes nothing. The
// caller takes appliedTemplates() when wasApplied() and restores its status text.
class frmAutoFill : public QDialog {
    Q_OBJECT

public:
    static constexpr int SlotCount = 10;

    frmAutoFill(const AutoFillTemplates &templates, const FieldTerms &terms, Registry &registry,
                Prompts &prompts, QWidget *parent = nullptr);

    // What the last successful Apply wrote; the templates given in until then.
    const AutoFillTemplates &appliedTemplates() const { return m_applied; }
    bool wasApplied() const { return m_wasApplied; }
    const AutoFillTemplates &workingCopy() const { return m_working; }
    TemplateKind currentKind() const;

    QTabBar *tabs() const { return m_tabs; }
    QComboBox *slotList(int slot) const { return m_slots.at(std::size_t(slot)); }
    QLineEdit *subjectPreview() const { return m_subjectPreview; }
    QPlainTextEdit *bodyPreview() const { return m_bodyPreview; }
    QPushButton *applyButton() const { return m_apply; }

    // Opens the dialog modally; true when templates were written, and then
    // `templates` holds them.
    static bool AutoFillDialog(AutoFillTemplates &templates, const FieldTerms &terms,
                               Registry &registry, Prompts &prompts, QWidget *parent = nullptr);

public Q_SLOTS:
    void accept() override;
    // Writes the working copy; false (with a message) when the file cannot be written.
    bool ApplyChanges();

private:
    void showKind();
    void slotChosen(int slot);
    void refreshPreviews();

    AutoFillTemplates m_working;
    AutoFillTemplates m_applied;
    bool m_wasApplied = false;
    FieldTerms m_terms;
    Registry &m_registry;
    Prompts &m_prompts;

    QTabBar *m_tabs = nullptr;
    std::array<QComboBox *, SlotCount> m_slots{};
    std::array<QLabel *, SlotCount> m_slotLabels{};
    QWidget *m_subjectGroup = nullptr;
    QLineEdit *m_subjectPreview = nullptr;
    QLabel *m_subjectPreviewLabel = nullptr;
    QPlainTextEdit *m_bodyPreview = nullptr;
    QPushButton *m_apply = nullptr;
};

} // namespace quorvale
