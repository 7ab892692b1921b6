#include "ContactPickerDialog.h"

#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "ui/PointerScope.h"

#include <QAbstractTableModel>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace quorvale {

// The matches of the picker as a two-column table (name, account). Only the
// rows on screen are ever asked for, so ten thousand contacts cost nothing to show.
class ContactListModel : public QAbstractTableModel {
public:
    ContactListModel(const ContactPicker &picker, QString contactTerm)
        : m_picker(picker), m_term(std::move(contactTerm))
    {
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_picker.matches().size());
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : 2;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
            return {};
        const PickerContactRow &row = m_picker.contacts().at(
            static_cast<std::size_t>(m_picker.matches().at(static_cast<std::size_t>(index.row()))));
        return index.column() == 0 ? row.name : row.account;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        return section == 0 ? m_term : QStringLiteral("Account");
    }
    void refresh()
    {
        beginResetModel();
        endResetModel();
    }

private:
    const ContactPicker &m_picker;
    QString m_term;
};

ContactPickerDialog::ContactPickerDialog(db::Connection &cnnLink, const QString &contactTerm,
                                         QWidget *parent)
    : QDialog(parent), m_picker(cnnLink)
{
    const QString term = contactTerm.isEmpty() ? QStringLiteral("Contact") : contactTerm;
    setWindowTitle(QStringLiteral("Select ") + term);
    m_model = std::make_unique<ContactListModel>(m_picker, term);

    auto *layout = new QVBoxLayout(this);
    auto *searchLabel = new QLabel(QStringLiteral("&Search:"), this);
    m_search = new QLineEdit(this);
    m_search->setAccessibleName(QStringLiteral("Search ") + term.toLower() +
                                QStringLiteral(" name or account"));
    searchLabel->setBuddy(m_search);
    layout->addWidget(searchLabel);
    layout->addWidget(m_search);

    auto *listLabel = new QLabel(QStringLiteral("&") + term + QStringLiteral("s:"), this);
    m_list = new QTableView(this);
    m_list->setModel(m_model.get());
    m_list->setAccessibleName(term + QStringLiteral("s"));
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setTabKeyNavigation(false);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    listLabel->setBuddy(m_list);
    layout->addWidget(listLabel);
    layout->addWidget(m_list, 1);

    m_count = new QLabel(this);
    m_count->setWordWrap(true);
    layout->addWidget(m_count);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &ContactPickerDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ContactPickerDialog::reject);
    connect(m_list, &QAbstractItemView::activated, this, &ContactPickerDialog::accept);
    connect(m_search, &QLineEdit::textChanged, this, &ContactPickerDialog::typed);
    m_search->installEventFilter(this);

    setTabOrder(m_search, m_list);
    setTabOrder(m_list, buttons);
    resize(480, 420);
    typed(QString());
    m_search->setFocus();
    if (!m_picker.complete())
        readTheRest(cnnLink);
}

ContactPickerDialog::~ContactPickerDialog()
{
    // The reading thread works on this window's stop flag: it stops at its next
    // row and is waited for.
    m_stopReading.store(true);
    if (m_reading)
        m_rest.waitForFinished();
    // The view must let go of the model before the model goes.
    m_list->setModel(nullptr);
}

void ContactPickerDialog::readTheRest(db::Connection &cnnLink)
{
    setCursor(Qt::BusyCursor);
    m_reading = true;
    connect(&m_rest, &QFutureWatcherBase::finished, this, &ContactPickerDialog::restArrived);
    // A connection belongs to the thread that opened it: the reading thread
    // opens its own to the same database.
    m_rest.setFuture(QtConcurrent::run([source = cnnLink.source(), stop = &m_stopReading] {
        Rest rest;
        try {
            db::Connection own;
            own.open(source);
            rest.rows = ContactPicker::readAll(own, stop);
        } catch (const QvError &e) {
            rest.failure = e.description();
        } catch (const std::exception &e) {
            rest.failure = QString::fromLocal8Bit(e.what());
        }
        return rest;
    }));
}

void ContactPickerDialog::waitForTheRest()
{
    if (!m_reading)
        return;
    if (!m_rest.isFinished()) {
        const PointerScope busy(Qt::BusyCursor);
        m_rest.waitForFinished();
    }
    restArrived();
}

void ContactPickerDialog::restArrived()
{
    // Enter may have waited for it already.
    if (!m_reading)
        return;
    m_reading = false;
    unsetCursor();
    // Taking the result leaves the future empty: nothing may wait on it after.
    Rest rest = m_rest.future().takeResult();
    if (!rest.failure.isEmpty()) {
        m_restFailure = rest.failure;
        showCount();
        return;
    }
    const std::optional<PickedContact> was = selected();
    m_picker.takeAll(std::move(rest.rows));
    m_model->refresh();
    showCount();
    if (was)
        selectContact(was->QuorvaleID);
    else
        selectRow(m_model->rowCount() > 0 ? 0 : -1);
}

void ContactPickerDialog::typed(const QString &text)
{
    m_picker.filter(text);
    m_model->refresh();
    showCount();
    selectRow(m_model->rowCount() > 0 ? 0 : -1);
}

void ContactPickerDialog::showCount()
{
    const int found = m_model->rowCount();
    const QString matches =
        found == 1 ? QStringLiteral("1 match") : QStringLiteral("%1 matches").arg(found);
    if (m_picker.complete())
        m_count->setText(matches);
    else if (m_restFailure.isEmpty())
        m_count->setText(matches + QStringLiteral(" so far; reading the rest of the list..."));
    else
        m_count->setText(QStringLiteral("%1 among the first %2; the rest of the list could not "
                                        "be read: %3")
                             .arg(matches)
                             .arg(m_picker.contacts().size())
                             .arg(m_restFailure));
}

void ContactPickerDialog::selectContact(qint32 id)
{
    const std::vector<int> &matches = m_picker.matches();
    for (std::size_t row = 0; row < matches.size(); ++row) {
        if (m_picker.contacts().at(std::size_t(matches[row])).id == id) {
            selectRow(int(row));
            return;
        }
    }
    selectRow(matches.empty() ? -1 : 0);
}

void ContactPickerDialog::selectRow(int row)
{
    if (row < 0) {
        m_list->clearSelection();
        m_list->setCurrentIndex(QModelIndex());
        return;
    }
    const QModelIndex index = m_model->index(row, 0);
    m_list->setCurrentIndex(index);
    m_list->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect |
                                                QItemSelectionModel::Rows);
    m_list->scrollTo(index);
}

bool ContactPickerDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_search && event->type() == QEvent::KeyPress) {
        // The arrows and page keys move in the list while the focus stays in the
        // search field, so typing and choosing never need the mouse.
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Down && key != Qt::Key_Up && key != Qt::Key_PageDown &&
            key != Qt::Key_PageUp)
            return QDialog::eventFilter(watched, event);
        // A person who knows the list types ahead of it: a move counts in the
        // whole list, as Enter does, never in the head that is all there is yet.
        waitForTheRest();
        const int rows = m_model->rowCount();
        const int current = m_list->currentIndex().isValid() ? m_list->currentIndex().row() : -1;
        int target = current;
        switch (key) {
        case Qt::Key_Down:
            target = current + 1;
            break;
        case Qt::Key_Up:
            target = current - 1;
            break;
        case Qt::Key_PageDown:
            target = current + 10;
            break;
        default: // Qt::Key_PageUp
            target = current - 10;
            break;
        }
        if (rows > 0)
            selectRow(std::clamp(target, 0, rows - 1));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

std::optional<PickedContact> ContactPickerDialog::selected() const
{
    const QModelIndex index = m_list->currentIndex();
    if (!index.isValid() || index.row() >= m_model->rowCount())
        return std::nullopt;
    return m_picker.picked(index.row());
}

void ContactPickerDialog::accept()
{
    // What is chosen is chosen from the whole list.
    waitForTheRest();
    m_chosen = selected();
    // Enter on an empty list chooses nothing; the person may type again.
    if (m_chosen)
        QDialog::accept();
}

std::optional<PickedContact> ContactPickerDialog::OpenItemList(QWidget *parent,
                                                               db::Connection &cnnLink,
                                                               const QString &contactTerm)
{
    ContactPickerDialog dialog(cnnLink, contactTerm, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosen();
}

} // namespace quorvale
