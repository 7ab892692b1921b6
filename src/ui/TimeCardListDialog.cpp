#include "TimeCardListDialog.h"

#include "timecards/RateChoices.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace quorvale {

namespace {

QStandardItem *cell(const QVariant &shown, const QVariant &sortKey = QVariant())
{
    auto *item = new QStandardItem;
    item->setData(shown, Qt::DisplayRole);
    item->setData(sortKey.isValid() ? sortKey : shown, Qt::UserRole);
    item->setEditable(false);
    return item;
}

} // namespace

TimeCardListDialog::TimeCardListDialog(const std::vector<TimeCardListRow> &rows, qint64 current,
                                       QWidget *parent)
    : QDialog(parent), m_model(new QStandardItemModel(this)),
      m_proxy(new QSortFilterProxyModel(this)), m_table(new QTableView(this)),
      m_find(new QLineEdit(this))
{
    setObjectName(QStringLiteral("frmTimeCardList"));
    setWindowTitle(QStringLiteral(" TimeCard List"));
    m_model->setHorizontalHeaderLabels({QStringLiteral("TimeCard"), QStringLiteral("Date"),
                                        QStringLiteral("Contact"), QStringLiteral("Description"),
                                        QStringLiteral("Time Spent"), QStringLiteral("Value")});
    int currentRow = 0;
    for (const TimeCardListRow &row : rows) {
        if (row.timeCardId == current)
            currentRow = m_model->rowCount();
        m_model->appendRow(
            {cell(row.timeCardId),
             cell(QLocale().toString(row.startDate, QLocale::ShortFormat), row.startDate),
             cell(row.contact), cell(row.description), cell(row.timeSpent),
             cell(currencyText(row.value), QVariant::fromValue(row.value.toStored()))});
    }
    m_proxy->setSourceModel(m_model);
    m_proxy->setSortRole(Qt::UserRole);
    m_proxy->setFilterKeyColumn(-1);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_table->setModel(m_proxy);
    m_table->setObjectName(QStringLiteral("lvTimeCards"));
    m_table->setAccessibleName(QStringLiteral("TimeCards"));
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(-1, Qt::AscendingOrder); // the working set's own order
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(false);
    m_table->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
    m_table->setTabKeyNavigation(false);
    if (m_model->rowCount() > 0)
        m_table->selectRow(currentRow);

    m_find->setObjectName(QStringLiteral("txtFind"));
    m_find->setClearButtonEnabled(true);
    auto *findLabel = new QLabel(QStringLiteral("&Find:"), this);
    findLabel->setBuddy(m_find);
    m_find->setAccessibleName(QStringLiteral("Find"));
    connect(m_find, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_proxy->setFilterFixedString(text);
        if (m_proxy->rowCount() > 0)
            m_table->selectRow(0);
    });
    connect(m_table, &QTableView::doubleClicked, this, &TimeCardListDialog::accept);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TimeCardListDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TimeCardListDialog::reject);

    auto *layout = new QVBoxLayout(this);
    auto *find = new QFormLayout;
    find->addRow(findLabel, m_find);
    layout->addLayout(find);
    layout->addWidget(m_table);
    layout->addWidget(buttons);
    setTabOrder(m_find, m_table);
    m_find->setFocus();
    resize(760, 460);
}

void TimeCardListDialog::accept()
{
    const QModelIndex index = m_table->currentIndex();
    if (!index.isValid())
        return;
    m_chosen = m_proxy->index(index.row(), 0).data(Qt::UserRole).toLongLong();
    QDialog::accept();
}

} // namespace quorvale
