#include "LinksPanel.h"

#include "outlook/DurationTexts.h"
#include "outlook/LinkedItems.h"
#include "outlook/OutlookSession.h"
#include "platform/core/Money.h"
#include "platform/core/QvError.h"
#include "platform/pim/Item.h"
#include "support/ErrorHandler.h"
#include "support/Prompts.h"
#include "timecards/CommandTable.h"
#include "timecards/RateChoices.h"
#include "timecards/TimeAdjust.h"
#include "timecards/TimeCalcs.h"
#include "ui/BackgroundRead.h"
#include "ui/PointerScope.h"
#include "ui/frmDeleteOption.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QShortcut>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace quorvale {

namespace {

// The new-item tool behind Add for the kinds that create items.
std::optional<int> addToolFor(LinkListKind kind)
{
    switch (kind) {
    case LinkListKind::PersonalTasks:
        return ToolId::NewPersonalTask;
    case LinkListKind::AssignedTasks:
        return ToolId::NewTaskRequest;
    case LinkListKind::ScheduledAppointments:
        return ToolId::NewScheduledAppointment;
    case LinkListKind::Notes:
        return ToolId::NewNote;
    case LinkListKind::Messages:
        return ToolId::NewMessage;
    case LinkListKind::Documents:
        return ToolId::NewDocument;
    default:
        return std::nullopt;
    }
}

} // namespace

QString linkColumnCaption(LinkListKind kind, const QString &field)
{
    if (field == QLatin1String("DueDate"))
        return QStringLiteral("Due Date");
    if (field == QLatin1String("StartDate"))
        return isChargeLinkKind(kind) ? QStringLiteral("Start Date") : QStringLiteral("Start");
    if (field == QLatin1String("StartTime"))
        return QStringLiteral("Start Time");
    if (field == QLatin1String("FileName"))
        return QStringLiteral("File Name");
    if (field == QLatin1String("FilePath"))
        return QStringLiteral("File Path");
    if (field == QLatin1String("Abbreviation"))
        return QStringLiteral("Expense Type");
    if (field == QLatin1String("Units"))
        return QStringLiteral("#");
    if (field == QLatin1String("Description"))
        return QStringLiteral("Fixed Charge Description");
    return field;
}

LinksPanel::LinksPanel(OutlookSession &session, db::Connection &cnnLink, Prompts &prompts,
                       ErrorHandler &errors, LinksPanelHooks hooks, QWidget *parent)
    : QWidget(parent), m_session(session), m_cnn(cnnLink), m_prompts(prompts), m_errors(errors),
      m_hooks(std::move(hooks)), m_reader(session, cnnLink),
      m_list(LinkList::empty(LinkListKind::PersonalTasks))
{
    setObjectName(QStringLiteral("LinksPanel"));
    if (!m_hooks.askDeleteOption)
        m_hooks.askDeleteOption = [this] { return frmDeleteOption::ask(this); };
    m_reader.setReadRunner([this](const LinkReader::ItemRead &read) {
        return runInBackground(this, QStringLiteral("Reading linked items..."), read);
    });
    buildTools();
    syncTools();
}

void LinksPanel::buildTools()
{
    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("abLinks"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto tool = [&](const QString &name, const QString &caption, const QString &tip) {
        QAction *action = bar->addAction(caption);
        // A tool button shows the icon text, which drops the mnemonic unless
        // it is set: the letters must reach the buttons from the keyboard.
        action->setIconText(caption);
        action->setObjectName(name);
        action->setToolTip(tip);
        action->setStatusTip(tip);
        return action;
    };
    m_edit = tool(QStringLiteral("tbLinkEdit"), QStringLiteral("Ed&it"),
                  QStringLiteral("Click to edit the selected item."));
    m_add = tool(QStringLiteral("tbLinkAdd"), QStringLiteral("Add"),
                 QStringLiteral("Click to add a linked item of the selected type."));
    m_delete = tool(QStringLiteral("tbLinkDelete"), QStringLiteral("Delete"),
                    QStringLiteral("Click to delete the selected item and/or link."));
    m_adjust = tool(QStringLiteral("tbLinkAdjustTime"), QStringLiteral("Ad&just Time"),
                    QStringLiteral("Click to add or subtract time on the selected time detail."));
    // The dialog adds or subtracts: the direction is chosen first.
    auto *adjustMenu = new QMenu(this);
    adjustMenu->addAction(QStringLiteral("&Add Time"), this, [this] { adjustTime(true); });
    adjustMenu->addAction(QStringLiteral("&Subtract Time"), this, [this] { adjustTime(false); });
    m_adjust->setMenu(adjustMenu);
    if (auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(m_adjust)))
        button->setPopupMode(QToolButton::InstantPopup);
    // The window's menus and pages hold the other letters: Add and Delete go
    // by their keys while the page has the focus.
    m_add->setShortcut(QKeySequence(Qt::Key_Insert));
    m_delete->setShortcut(QKeySequence::Delete);
    for (QAction *action : {m_edit, m_add, m_delete, m_adjust}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
    }
    connect(m_edit, &QAction::triggered, this, &LinksPanel::editSelected);
    connect(m_add, &QAction::triggered, this, &LinksPanel::addLinked);
    connect(m_delete, &QAction::triggered, this, &LinksPanel::deleteSelected);

    // On a row of its own: in the tool bar it went into the overflow at the
    // window's first-start width, out of reach of its access key.
    auto *label = new QLabel(QStringLiteral("&Select items to view:"), this);
    m_selector = new QComboBox(this);
    m_selector->setObjectName(QStringLiteral("cbSelectLink"));
    m_selector->addItems(linkListSelectorTexts());
    m_selector->setToolTip(QStringLiteral("Click to select the linked items to view."));
    m_selector->setAccessibleName(QStringLiteral("Select items to view"));
    label->setBuddy(m_selector);
    connect(m_selector, &QComboBox::activated, this, [this](int index) {
        if (const std::optional<LinkListKind> kind = linkListKindFromIndex(index))
            showKind(*kind);
    });

    m_model = new QStandardItemModel(this);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("TDBGridLinks"));
    m_grid->setAccessibleName(QStringLiteral("Linked items"));
    m_grid->setModel(m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    m_grid->horizontalHeader()->setSectionsClickable(true);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->verticalHeader()->hide();
    connect(m_grid, &QTableView::doubleClicked, this, [this] { editSelected(); });
    auto *enter =
        new QShortcut(QKeySequence(Qt::Key_Return), m_grid, nullptr, nullptr, Qt::WidgetShortcut);
    connect(enter, &QShortcut::activated, this, &LinksPanel::editSelected);
    connect(m_grid, &QWidget::customContextMenuRequested, this, &LinksPanel::showPopup);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &LinksPanel::sortBy);

    auto *selectorRow = new QHBoxLayout;
    selectorRow->addWidget(label);
    selectorRow->addWidget(m_selector);
    selectorRow->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(selectorRow);
    layout->addWidget(bar);
    layout->addWidget(m_grid);
    setTabOrder(m_selector, m_grid);
}

void LinksPanel::setPopup(QMenu *popup, QAction *markComplete)
{
    m_popup = popup;
    m_markComplete = markComplete;
}

std::optional<qint64> LinksPanel::currentId() const
{
    return m_hooks.timeCardId ? m_hooks.timeCardId() : std::nullopt;
}

void LinksPanel::showKind(LinkListKind kind)
{
    m_selector->setCurrentIndex(static_cast<int>(kind));
    m_list.kind = kind;
    ProcessLinks();
}

void LinksPanel::setFirstKind(LinkListKind kind)
{
    if (isVisible()) {
        showKind(kind);
        return;
    }
    m_selector->setCurrentIndex(static_cast<int>(kind));
    m_list = LinkList::empty(kind);
    m_stale = true;
}

void LinksPanel::ProcessLinks()
{
    // A list asked for while one is being read (a timer's command meanwhile)
    // is read again once the page is next shown.
    if (m_reading) {
        m_stale = true;
        return;
    }
    const QScopedValueRollback reading(m_reading, true);
    const LinkListKind kind = static_cast<LinkListKind>(m_selector->currentIndex());
    const std::optional<qint64> id = currentId();
    try {
        const PointerScope busy(Qt::WaitCursor);
        if (kind == LinkListKind::JournalEntry) {
            const QString entryId =
                id && m_hooks.journalEntryId ? m_hooks.journalEntryId() : QString();
            m_list = m_reader.journalEntry(entryId);
        } else {
            m_list = m_reader.ProcessLinks(kind, id);
        }
    } catch (const std::exception &error) {
        m_list = LinkList::empty(kind);
        report(error);
    }
    m_listedFor = id;
    // A cancelled read shows an empty list until the page is shown again.
    m_stale = kind != LinkListKind::JournalEntry && m_reader.cancelled();
    fillGrid();
}

void LinksPanel::currentChanged()
{
    if (isVisible())
        ProcessLinks();
    else
        m_stale = true;
}

void LinksPanel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_stale || m_listedFor != currentId())
        ProcessLinks();
}

QString LinksPanel::cellText(std::size_t row, int column) const
{
    const QString field = m_list.fields.value(column);
    const QVariant value = m_list.rows.at(row).values.value(column);
    if (value.isNull() || !value.isValid())
        return {};
    const QLocale locale;
    const bool charge = isChargeLinkKind(m_list.kind);
    if (field == QLatin1String("StartTime"))
        return locale.toString(value.toDateTime().time(), QLocale::ShortFormat);
    if (field.endsWith(QLatin1String("Date")) || field == QLatin1String("Reminder") ||
        field == QLatin1String("Sent"))
        return locale.toString(value.toDateTime().date(), QLocale::ShortFormat);
    if (field == QLatin1String("Duration")) {
        const int minutes = value.toInt();
        return QStringLiteral("%1:%2")
            .arg(minutes / 60, 2, 10, QLatin1Char('0'))
            .arg(minutes % 60, 2, 10, QLatin1Char('0'));
    }
    if (charge && (field == QLatin1String("Rate") || field == QLatin1String("Total")))
        return currencyText(Money::fromUnits(value.toLongLong()), locale);
    if (field == QLatin1String("Status") && !charge)
        return taskStatusText(value.toInt());
    if (field == QLatin1String("Priority"))
        return importanceText(value.toInt());
    return value.toString();
}

void LinksPanel::fillGrid()
{
    const int firstVisible = m_grid->verticalScrollBar()->value();
    m_model->clear();
    QStringList captions;
    for (const QString &field : m_list.fields)
        captions.append(linkColumnCaption(m_list.kind, field));
    m_model->setHorizontalHeaderLabels(captions);
    for (std::size_t row = 0; row < m_list.rows.size(); ++row) {
        QList<QStandardItem *> items;
        for (int column = 0; column < m_list.fields.size(); ++column) {
            auto *item = new QStandardItem(cellText(row, column));
            if (column == 0)
                item->setData(m_list.eid(row), Qt::UserRole);
            items.append(item);
        }
        m_model->appendRow(items);
    }
    m_grid->setColumnHidden(0, true);
    const int taskId = m_list.fieldIndex(QStringLiteral("TaskID"));
    for (int column = 1; column < m_list.fields.size(); ++column)
        m_grid->setColumnHidden(column, column == taskId);
    m_grid->resizeColumnsToContents();
    m_grid->verticalScrollBar()->setValue(firstVisible);
    if (!m_list.rows.empty())
        selectRow(0);
    syncTools();
}

std::optional<std::size_t> LinksPanel::selectedRow() const
{
    const QModelIndex index = m_grid->currentIndex();
    if (!index.isValid() || index.row() >= static_cast<int>(m_list.rows.size()))
        return std::nullopt;
    return static_cast<std::size_t>(index.row());
}

void LinksPanel::selectRow(std::optional<std::size_t> row)
{
    if (!row || m_list.rows.empty())
        return;
    const int r = static_cast<int>(std::min(*row, m_list.rows.size() - 1));
    m_grid->setCurrentIndex(m_model->index(r, 1));
    m_grid->selectRow(r);
}

void LinksPanel::syncTools()
{
    const LinkListKind kind = m_list.kind;
    const bool rows = !m_list.rows.empty();
    const bool charge = isChargeLinkKind(kind);
    const bool saved = currentId().has_value();
    m_edit->setEnabled(rows && (!charge || m_hooks.editCharge));
    const std::optional<int> addTool = addToolFor(kind);
    const bool toolOffered =
        addTool && m_hooks.runTool && (!m_hooks.toolAvailable || m_hooks.toolAvailable(*addTool));
    m_add->setEnabled(saved && (charge ? bool(m_hooks.addCharge) : toolOffered));
    m_delete->setEnabled(rows && kind != LinkListKind::JournalEntry);
    m_adjust->setEnabled(rows && kind == LinkListKind::TimeDetail);
}

SelectedLink LinksPanel::selectedLink(std::size_t row) const
{
    SelectedLink link;
    link.kind = m_list.kind;
    link.eid = m_list.eid(row);
    link.storeId = m_list.rows.at(row).storeId;
    link.filePath = m_list.value(row, QStringLiteral("FilePath")).toString();
    link.fileName = m_list.value(row, QStringLiteral("FileName")).toString();
    return link;
}

void LinksPanel::report(const std::exception &error)
{
    m_errors.handle(error);
}

void LinksPanel::editSelected()
{
    const std::optional<std::size_t> row = selectedRow();
    if (!row)
        return;
    const SelectedLink link = selectedLink(*row);
    try {
        if (link.kind == LinkListKind::Documents) {
            if (m_hooks.openDocument)
                m_hooks.openDocument(QDir(link.filePath).filePath(link.fileName));
            return;
        }
        if (isChargeLinkKind(link.kind)) {
            if (m_hooks.editCharge) {
                m_hooks.editCharge(static_cast<int>(link.kind), link.eid.toLongLong());
                ProcessLinks();
                selectRow(m_list.findRow(link.eid));
            }
            return;
        }
        // A file a sync tool renamed since the list was built is found again.
        std::unique_ptr<pim::Item> item = readLinkedItem(
            m_session, m_cnn, link.kind, link.eid.toString(), link.storeId, currentId());
        if (!item) {
            // Gone since the list was built: the list shows what is there now.
            ProcessLinks();
            return;
        }
        const QString entryId = item->EntryID();
        item->Display(m_session.inspector(), true);
        ProcessLinks();
        selectRow(m_list.findRow(entryId));
    } catch (const std::exception &error) {
        report(error);
    }
}

void LinksPanel::addLinked()
{
    const LinkListKind kind = m_list.kind;
    try {
        if (isChargeLinkKind(kind)) {
            if (!m_hooks.addCharge)
                return;
            m_hooks.addCharge(static_cast<int>(kind));
        } else if (const std::optional<int> toolId = addToolFor(kind); toolId && m_hooks.runTool) {
            m_hooks.runTool(*toolId);
        } else {
            return;
        }
        ProcessLinks();
    } catch (const std::exception &error) {
        report(error);
    }
}

void LinksPanel::deleteSelected()
{
    const std::optional<std::size_t> row = selectedRow();
    const std::optional<qint64> id = currentId();
    if (!row || !id || m_list.kind == LinkListKind::JournalEntry)
        return;
    const std::optional<LinkDeleteOption> option = m_hooks.askDeleteOption();
    if (!option)
        return;
    const SelectedLink link = selectedLink(*row);
    try {
        LinkDeleter deleter(m_session, m_cnn, m_prompts);
        // Read while the appointment is still there; given back only once the
        // link is gone, so a failed delete leaves the TimeCard's time alone.
        std::optional<int> minutes;
        if (link.kind == LinkListKind::TimeDetail && m_hooks.timeSpent && m_hooks.writeTimeSpent)
            minutes = deleter.timeDetailMinutes(link.eid.toString());
        if (!deleter.deleteLink(*id, link, *option))
            return;
        if (minutes) {
            QString spent = m_hooks.timeSpent();
            const qint64 seconds = ConvertTimeToSeconds(spent);
            m_hooks.writeTimeSpent(ConvertSecondsToTime(timeSpentAfterRemoving(seconds, *minutes)));
        }
    } catch (const std::exception &error) {
        report(error);
    }
    ProcessLinks();
    selectRow(*row);
}

void LinksPanel::adjustTime(bool add)
{
    const std::optional<std::size_t> row = selectedRow();
    if (!row || m_list.kind != LinkListKind::TimeDetail)
        return;
    QString entryId = m_list.eid(*row).toString();
    const int firstVisible = m_grid->verticalScrollBar()->value();
    try {
        std::unique_ptr<pim::Item> item = readLinkedItem(m_session, m_cnn, LinkListKind::TimeDetail,
                                                         entryId, QString(), currentId());
        if (item)
            entryId = item->EntryID();
        if (!item) {
            ProcessLinks();
            return;
        }
        AdjustTimeSource source;
        source.current = [&item] { return item->property(QStringLiteral("Duration")); };
        const std::optional<QVariant> minutes =
            TimeAddSubtract(m_prompts, AdjustTarget::TimeDetail,
                            add ? AdjustDirection::Add : AdjustDirection::Subtract,
                            m_hooks.billingInterval, source);
        if (minutes)
            setTimeDetailMinutes(m_session, entryId, minutes->toInt());
    } catch (const std::exception &error) {
        report(error);
    }
    ProcessLinks();
    selectRow(m_list.findRow(entryId));
    m_grid->verticalScrollBar()->setValue(firstVisible);
}

void LinksPanel::markComplete()
{
    const std::optional<std::size_t> row = selectedRow();
    if (!row ||
        (m_list.kind != LinkListKind::PersonalTasks && m_list.kind != LinkListKind::AssignedTasks))
        return;
    const QVariant eid = m_list.eid(*row);
    try {
        MarkTaskComplete(m_session, eid.toString());
    } catch (const std::exception &error) {
        report(error);
    }
    ProcessLinks();
    selectRow(m_list.findRow(eid));
}

void LinksPanel::showPopup(const QPoint &pos)
{
    if (!m_popup)
        return;
    const QModelIndex index = m_grid->indexAt(pos);
    if (index.isValid())
        selectRow(static_cast<std::size_t>(index.row()));
    const std::optional<std::size_t> row = selectedRow();
    const bool task = row && (m_list.kind == LinkListKind::PersonalTasks ||
                              m_list.kind == LinkListKind::AssignedTasks);
    if (m_markComplete) {
        const bool complete = task && m_list.value(*row, QStringLiteral("Status")).toInt() == 2;
        m_markComplete->setChecked(complete);
        m_markComplete->setEnabled(task && !complete);
    }
    m_popup->exec(m_grid->viewport()->mapToGlobal(pos));
}

void LinksPanel::sortBy(int column)
{
    const QString heading = m_model->headerData(column, Qt::Horizontal).toString();
    const std::optional<QString> sort = linkSortForHeading(m_list.sort, heading, column);
    if (!sort)
        return;
    const QVariant eid = selectedRow() ? m_list.eid(*selectedRow()) : QVariant();
    m_list.applySort(*sort);
    fillGrid();
    selectRow(m_list.findRow(eid));
}

} // namespace quorvale
