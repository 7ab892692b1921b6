#include "frmTimeCard.h"

#include "platform/core/Money.h"

#include <QAction>
#include <QActionGroup>
#include <QFormLayout>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace quorvale {

namespace {

struct FieldInfo {
    const char *column;
    const char *label;
    bool money;
};

constexpr FieldInfo kFields[] = {
    {"TimeCardID", "TimeCard &ID:", false},
    {"StartDate", "Start &Date:", false},
    {"StartTime", "Start &Time:", false},
    {"EndDate", "&End Date:", false},
    {"EndTime", "End T&ime:", false},
    {"Quantity", "Time &Spent:", false},
    {"Description", "Desc&ription:", false},
    {"EntryType", "E&ntry Type:", false},
    {"BillStatus", "&Bill Status:", false},
    {"RateSource", "Rate S&ource:", false},
    {"RateLevel", "Rate &Level:", false},
    {"Rate", "R&ate:", true},
    {"Value", "&Value:", true},
};

} // namespace

frmTimeCard::frmTimeCard(WorkingSet &workingSet, const Terms &terms, Reopen reopen, QWidget *parent)
    : QMainWindow(parent), m_set(workingSet), m_terms(terms), m_reopen(std::move(reopen))
{
    setObjectName(QStringLiteral("frmTimeCard"));
    buildFields();
    buildMenus();
    statusBar()->showMessage(QStringLiteral("Review"));
    setWindowTitle(m_set.windowCaption());
    showCurrent();
}

void frmTimeCard::buildFields()
{
    auto *central = new QWidget(this);
    auto *form = new QFormLayout(central);
    for (const FieldInfo &field : kFields) {
        auto *value = new QLabel(central);
        value->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        value->setFocusPolicy(Qt::StrongFocus);
        auto *label = new QLabel(QString::fromLatin1(field.label), central);
        label->setBuddy(value);
        value->setAccessibleName(label->text().remove(QLatin1Char('&')).chopped(1));
        form->addRow(label, value);
        m_fields.emplace_back(QString::fromLatin1(field.column), value);
    }
    setCentralWidget(central);
}

void frmTimeCard::buildMenus()
{
    auto *navigator = addToolBar(QStringLiteral("Navigator"));
    navigator->setObjectName(QStringLiteral("abNavigator"));
    const auto addMove = [&](const QString &name, const QString &caption, QKeySequence shortcut,
                             std::function<void(db::Recordset &)> move) {
        QAction *action = navigator->addAction(caption);
        action->setObjectName(name);
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, [this, move] { navigate(move); });
    };
    addMove(QStringLiteral("mnuFirst"), QStringLiteral("&First"),
            QKeySequence(Qt::CTRL | Qt::Key_Home), [](db::Recordset &rs) { rs.moveFirst(); });
    addMove(QStringLiteral("mnuPrevious"), QStringLiteral("&Previous"),
            QKeySequence(Qt::CTRL | Qt::Key_PageUp), [](db::Recordset &rs) {
                rs.movePrevious();
                if (rs.bof())
                    rs.moveFirst();
            });
    addMove(QStringLiteral("mnuNext"), QStringLiteral("&Next"),
            QKeySequence(Qt::CTRL | Qt::Key_PageDown), [](db::Recordset &rs) {
                rs.moveNext();
                if (rs.eof())
                    rs.moveLast();
            });
    addMove(QStringLiteral("mnuLast"), QStringLiteral("&Last"),
            QKeySequence(Qt::CTRL | Qt::Key_End), [](db::Recordset &rs) { rs.moveLast(); });
    m_position = new QLabel(navigator);
    m_position->setAccessibleName(QStringLiteral("Position"));
    navigator->addWidget(m_position);

    QMenu *sortMenu = menuBar()->addMenu(QStringLiteral("&Sort"));
    m_sortGroup = new QActionGroup(this);
    for (const SortOrder &order : SortOrders::all()) {
        if (order.toolId == 6035)
            sortMenu->addSeparator();
        QAction *action = sortMenu->addAction(order.menuCaption(m_terms));
        action->setObjectName(QString::fromLatin1(order.toolName));
        action->setData(order.toolId);
        action->setCheckable(true);
        action->setChecked(order.toolId == m_set.sortToolId());
        m_sortGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, id = order.toolId] { ProcessSort(id); });
    }
}

void frmTimeCard::navigate(const std::function<void(db::Recordset &)> &move)
{
    db::Recordset &rs = m_set.timeCards();
    if (rs.recordCount() == 0)
        return;
    move(rs);
    showCurrent();
}

void frmTimeCard::showCurrent()
{
    db::Recordset &rs = m_set.timeCards();
    const bool current = rs.isOpen() && !rs.bof() && !rs.eof();
    for (const auto &[column, label] : m_fields) {
        if (!current) {
            label->clear();
            continue;
        }
        const QVariant v = rs.value(column);
        if (column == QLatin1String("Rate") || column == QLatin1String("Value"))
            label->setText(Money::fromStored(v).toDisplayString());
        else
            label->setText(v.toString());
    }
    m_position->setText(positionText());
}

QString frmTimeCard::positionText() const
{
    db::Recordset &rs = m_set.timeCards();
    const int position = rs.isOpen() && !rs.bof() && !rs.eof() ? rs.absolutePosition() : 0;
    return QString::number(position) + QStringLiteral(" of ") +
           QString::number(rs.isOpen() ? rs.recordCount() : 0);
}

void frmTimeCard::ProcessSort(int toolId)
{
    const SortOrder *order = SortOrders::findByToolId(toolId);
    if (!order)
        return;
    db::Recordset &rs = m_set.timeCards();
    const QVariant current = rs.isOpen() && !rs.bof() && !rs.eof() ? rs.bookmark() : QVariant();
    setCursor(Qt::WaitCursor);
    statusBar()->showMessage(QStringLiteral("Sorting..."));
    m_set.setOrderBy(QString::fromLatin1(order->clause));
    if (m_reopen() && current.isValid())
        m_set.timeCards().find(QStringLiteral("TimeCardID"), current);
    for (QAction *action : m_sortGroup->actions())
        action->setChecked(action->data().toInt() == m_set.sortToolId());
    unsetCursor();
    statusBar()->showMessage(QStringLiteral("Review"));
    showCurrent();
}

} // namespace quorvale
