#pragma once

#include "timecards/TimeCardDelete.h"

#include <QDialog>
#include <QVariantMap>
#include <array>
#include <optional>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace quorvale {

// The delete dialog: per kind of link its count and the choice between
// deleting only the link or the related items too, the journal entry, and a
// progress bar while the delete runs. Values in (deleteDialogValues plus an
// optional DeleteRunner), choices out.
class frmDeleteTimeCard : public QDialog {
    Q_OBJECT

public:
    explicit frmDeleteTimeCard(const QVariantMap &values, QWidget *parent = nullptr);

    DeleteChoices choices() const;
    // The runner's outcome once "Delete Now" ran it; nullopt without a runner.
    const std::optional<DeleteOutcome> &outcome() const { return m_outcome; }

    QLabel *countLabel(LinkKind kind) const { return m_counts[slot(kind)]; }
    QRadioButton *linkOnlyOption(LinkKind kind) const { return m_linkOnly[slot(kind)]; }
    QRadioButton *deleteItemsOption(LinkKind kind) const { return m_deleteItems[slot(kind)]; }
    QCheckBox *journalEntryOption() const { return m_journal; }
    QPushButton *selectAllButton() const { return m_selectAll; }
    QPushButton *deleteNowButton() const { return m_deleteNow; }
    QPushButton *cancelButton() const { return m_cancel; }
    QProgressBar *progressBar() const { return m_progress; }

    // Opens the dialog modally; on "Delete Now" puts the choices (and, when it
    // ran the delete, its outcome) into values and returns true.
    static bool DeleteTimeCardDialog(QVariantMap &values, QWidget *parent = nullptr);

public Q_SLOTS:
    void selectAll();
    void deleteNow();

private:
    static std::size_t slot(LinkKind kind) { return static_cast<std::size_t>(kind); }

    std::array<QLabel *, LinkKindCount> m_counts{};
    std::array<QRadioButton *, LinkKindCount> m_linkOnly{};
    std::array<QRadioButton *, LinkKindCount> m_deleteItems{};
    QCheckBox *m_journal = nullptr;
    QPushButton *m_selectAll = nullptr;
    QPushButton *m_deleteNow = nullptr;
    QPushButton *m_cancel = nullptr;
    QProgressBar *m_progress = nullptr;
    DeleteRunner m_runner;
    std::optional<DeleteOutcome> m_outcome;
};

} // namespace quorvale
