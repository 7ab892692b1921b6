#include "ui/FolderViewWindow.h"

#include "outlook/OutlookViews.h"
#include "platform/core/QvError.h"
#include "platform/pim/Items.h"
#include "support/Prompts.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace quorvale {

namespace {

constexpr int SortRole = Qt::UserRole + 1;

QString displayText(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.metaType().id()) {
    case QMetaType::QDateTime:
        return QLocale().toString(value.toDateTime(), QLocale::ShortFormat);
    case QMetaType::QDate:
        return QLocale().toString(value.toDate(), QLocale::ShortFormat);
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("Yes") : QStringLiteral("No");
    case QMetaType::QStringList:
        return value.toStringList().join(QStringLiteral(", "));
    case QMetaType::Double: {
        const double d = value.toDouble();
        return d == double(qint64(d)) ? QString::number(qint64(d)) : QLocale().toString(d);
    }
    default:
        return value.toString();
    }
}

// Dates and numbers sort by value, everything else by its text.
QVariant sortKey(const QVariant &value, const QString &text)
{
    switch (value.metaType().id()) {
    case QMetaType::QDateTime:
    case QMetaType::QDate:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
        return value;
    default:
        return text.toLower();
    }
}

} // namespace

FolderViewWindow *FolderViewWindow::open(Prompts &prompts, const Request &request, QWidget *parent)
{
    std::optional<ViewDefinition> view;
    if (request.folder && QDir(request.folder->path()).exists())
        view = ViewDefinition::load(request.viewFilePath, request.values);
    if (!view) {
        prompts.messageBox(viewNotAvailableTitle(), viewNotAvailableText(), PromptButtons::Ok,
                           PromptIcon::Information);
        return nullptr;
    }
    const QString title = view->name().isEmpty() ? request.viewName : view->name();
    auto *window = new FolderViewWindow(std::move(*view), *request.folder, title, parent);
    return window;
}

FolderViewWindow::FolderViewWindow(ViewDefinition view, pim::Folder folder, const QString &title,
                                   QWidget *parent)
    : QWidget(parent, Qt::Window), m_view(std::move(view)), m_folder(std::move(folder))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title + QStringLiteral(" - ") + m_folder.name());
    setObjectName(QStringLiteral("FolderViewWindow"));

    m_model = new QStandardItemModel(this);
    m_proxy = new QSortFilterProxyModel(this);
    m_proxy->setSourceModel(m_model);
    m_proxy->setSortRole(SortRole);

    auto *caption = new QLabel(tr("&Items in %1:").arg(m_folder.name()), this);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("tblItems"));
    m_table->setModel(m_proxy);
    m_table->setSortingEnabled(true);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setTabKeyNavigation(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setAccessibleName(title);
    caption->setBuddy(m_table);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *close = buttons->addButton(tr("&Close"), QDialogButtonBox::RejectRole);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    setTabOrder(m_table, close);

    fill();
    resize(760, 420);
}

void FolderViewWindow::fill()
{
    const auto &columns = m_view.columns();
    QStringList headings;
    for (const ViewColumn &c : columns)
        headings << c.heading;
    m_model->setHorizontalHeaderLabels(headings);

    pim::Items items(m_folder);
    items.forEach([&](pim::Item &item) {
        if (!m_view.shows(item))
            return true;
        QList<QStandardItem *> row;
        for (const ViewColumn &c : columns) {
            const QVariant value = item.property(c.field);
            const QString text = displayText(value);
            auto *cell = new QStandardItem(text);
            cell->setData(sortKey(value, text), SortRole);
            row << cell;
        }
        m_model->appendRow(row);
        return true;
    });
    m_table->sortByColumn(0, Qt::AscendingOrder);
    m_table->resizeColumnsToContents();
    const int shown = m_model->rowCount();
    QString status = shown == 1 ? tr("1 item") : tr("%1 items").arg(shown);
    if (const auto skipped = items.skipped().size(); skipped > 0)
        status += tr("; %1 could not be read").arg(skipped);
    m_status->setText(status);
}

int FolderViewWindow::rowCount() const
{
    return m_proxy->rowCount();
}

QString FolderViewWindow::cellText(int row, int column) const
{
    return m_proxy->index(row, column).data(Qt::DisplayRole).toString();
}

} // namespace quorvale
