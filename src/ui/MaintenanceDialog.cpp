#include "ui/MaintenanceDialog.h"

#include "platform/core/QvError.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace quorvale {

MaintenanceDialog::MaintenanceDialog(QWidget *parent)
    : QDialog(parent), m_list(new QListWidget(this)), m_form(new QFormLayout),
      m_new(new QPushButton(tr("Ne&w"), this)), m_save(new QPushButton(tr("&Save"), this)),
      m_delete(new QPushButton(tr("&Delete"), this)), m_close(new QPushButton(tr("&Close"), this)),
      m_status(new QLabel(this))
{
    for (std::size_t i = 0; i < m_rates.size(); ++i)
        m_rates[i] = new QLineEdit(this);
    m_new->setAutoDefault(false);
    m_delete->setAutoDefault(false);
    m_close->setAutoDefault(false);
    // Enter in a field saves it.
    m_save->setDefault(true);
    m_status->setAccessibleName(tr("Status"));
    connect(m_list, &QListWidget::currentRowChanged, this, &MaintenanceDialog::rowChanged);
    connect(m_new, &QPushButton::clicked, this, &MaintenanceDialog::newEntry);
    connect(m_save, &QPushButton::clicked, this, &MaintenanceDialog::save);
    connect(m_delete, &QPushButton::clicked, this, &MaintenanceDialog::deleteEntry);
    connect(m_close, &QPushButton::clicked, this, &MaintenanceDialog::reject);
}

void MaintenanceDialog::finishLayout()
{
    auto *listLabel = new QLabel(tr("&List:"), this);
    listLabel->setBuddy(m_list);
    auto *left = new QVBoxLayout;
    left->addWidget(listLabel);
    left->addWidget(m_list, 1);

    auto *ratesBox = new QGroupBox(tr("Rates"), this);
    auto *ratesGrid = new QGridLayout(ratesBox);
    for (int level = 1; level <= 6; ++level) {
        QLineEdit *edit = rateEdit(level);
        auto *label = new QLabel(tr("Rate &%1:").arg(level), ratesBox);
        label->setBuddy(edit);
        edit->setAccessibleName(tr("Rate %1").arg(level));
        watch(edit);
        // Three levels a column, read down each column.
        const int row = (level - 1) % 3;
        const int column = (level - 1) / 3 * 2;
        ratesGrid->addWidget(label, row, column);
        ratesGrid->addWidget(edit, row, column + 1);
    }

    auto *right = new QVBoxLayout;
    right->addLayout(m_form);
    right->addWidget(ratesBox);
    right->addWidget(m_status);
    right->addStretch(1);

    auto *body = new QHBoxLayout;
    body->addLayout(left, 1);
    body->addLayout(right, 2);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_new);
    buttons->addWidget(m_save);
    buttons->addWidget(m_delete);
    buttons->addStretch(1);
    buttons->addWidget(m_close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);

    // The fields were made after the buttons: put the tab order back in
    // reading order.
    QList<QWidget *> order{m_list};
    for (int row = 0; row < m_form->rowCount(); ++row) {
        if (QLayoutItem *field = m_form->itemAt(row, QFormLayout::FieldRole);
            field && field->widget())
            order << field->widget();
    }
    // Column by column, as the grid is read.
    for (QLineEdit *edit : m_rates)
        order << edit;
    order << m_new << m_save << m_delete << m_close;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    reload(std::nullopt);
}

void MaintenanceDialog::watch(QLineEdit *edit)
{
    connect(edit, &QLineEdit::textEdited, this, &MaintenanceDialog::markDirty);
}

void MaintenanceDialog::markDirty()
{
    m_dirty = true;
    m_status->clear();
}

std::optional<RateSet> MaintenanceDialog::rates(QString &problem) const
{
    RateSet rates{};
    for (int level = 1; level <= 6; ++level) {
        const std::optional<Money> rate = parseRateText(rateEdit(level)->text());
        if (!rate) {
            problem = tr("Rate %1 must be an amount of 0 or more.").arg(level);
            rateEdit(level)->setFocus();
            return std::nullopt;
        }
        rates[level - 1] = *rate;
    }
    return rates;
}

void MaintenanceDialog::showRates(const RateSet &rates)
{
    for (int level = 1; level <= 6; ++level)
        rateEdit(level)->setText(moneyEditText(rates[level - 1]));
}

QString MaintenanceDialog::statusText() const
{
    return m_status->text();
}

void MaintenanceDialog::showStatus(const QString &text)
{
    m_status->setText(text);
}

void MaintenanceDialog::setEditing(int index)
{
    m_index = index;
    showEntry(index);
    m_dirty = false;
    m_delete->setEnabled(index >= 0);
}

void MaintenanceDialog::reload(std::optional<qint32> selectId)
{
    const QStringList texts = loadEntries();
    int select = texts.isEmpty() ? -1 : 0;
    if (selectId) {
        for (int i = 0; i < texts.size(); ++i) {
            if (entryId(i) == selectId)
                select = i;
        }
    }
    {
        const QSignalBlocker blocker(m_list);
        m_list->clear();
        m_list->addItems(texts);
        m_list->setCurrentRow(select);
    }
    setEditing(select);
}

void MaintenanceDialog::rowChanged(int row)
{
    if (row == m_index)
        return;
    const std::optional<qint32> target = row >= 0 ? entryId(row) : std::nullopt;
    if (!settleEdits()) {
        const QSignalBlocker blocker(m_list);
        m_list->setCurrentRow(m_index);
        return;
    }
    // Saving may have reloaded and reordered the list.
    int index = -1;
    for (int i = 0; i < m_list->count(); ++i) {
        if (target && entryId(i) == target)
            index = i;
    }
    {
        const QSignalBlocker blocker(m_list);
        m_list->setCurrentRow(index);
    }
    setEditing(index);
}

bool MaintenanceDialog::settleEdits()
{
    if (!m_dirty)
        return true;
    const QString name = m_index >= 0 ? entryName(m_index) : tr("the new entry");
    const auto answer =
        QMessageBox::question(this, windowTitle(), tr("Save the changes to %1?").arg(name),
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes)
        return save();
    if (answer == QMessageBox::No) {
        m_dirty = false;
        return true;
    }
    return false;
}

void MaintenanceDialog::newEntry()
{
    if (!settleEdits())
        return;
    {
        const QSignalBlocker blocker(m_list);
        m_list->setCurrentRow(-1);
    }
    setEditing(-1);
    showStatus(tr("New entry."));
    if (QLayoutItem *first = m_form->itemAt(0, QFormLayout::FieldRole); first && first->widget())
        first->widget()->setFocus();
}

bool MaintenanceDialog::save()
{
    std::optional<qint32> id;
    try {
        id = saveEntry(m_index);
    } catch (const QvError &error) {
        QMessageBox::warning(this, windowTitle(), error.description());
        return false;
    }
    if (!id)
        return false;
    reload(id);
    showStatus(tr("Saved."));
    return true;
}

void MaintenanceDialog::deleteEntry()
{
    if (m_index < 0) {
        // Nothing stored yet: dropping the fields is all there is to do.
        reload(std::nullopt);
        return;
    }
    const QString name = entryName(m_index);
    const std::optional<qint32> id = entryId(m_index);
    if (!id)
        return;
    if (QMessageBox::question(this, windowTitle(), tr("Delete %1?").arg(name),
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    try {
        const RemoveOutcome outcome = removeEntry(*id);
        if (outcome == RemoveOutcome::Deactivated) {
            reload(id);
            showStatus(tr("%1 is in use and was made inactive.").arg(name));
        } else {
            reload(std::nullopt);
            showStatus(tr("%1 was deleted.").arg(name));
        }
    } catch (const QvError &error) {
        QMessageBox::warning(this, windowTitle(), error.description());
    }
}

void MaintenanceDialog::reject()
{
    if (settleEdits())
        QDialog::reject();
}

} // namespace quorvale
