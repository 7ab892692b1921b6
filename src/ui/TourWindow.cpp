#include "TourWindow.h"

#include "ui/TourPages.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace quorvale {

// The frame around the part of the main window a page talks about. A child of
// the main window, above its other children, so it moves with the window and
// never takes a click meant for what it frames.
class TourHighlight final : public QWidget {
public:
    static constexpr int PenWidth = 4;
    // Room between the target and the frame, so the frame does not hide the
    // target's own edge.
    static constexpr int Reach = PenWidth + 2;

    explicit TourHighlight(QWidget &mainWindow) : QWidget(&mainWindow)
    {
        setObjectName(QStringLiteral("TourHighlight"));
        setAccessibleName(QStringLiteral("Tour highlight"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

    void frame(const QRect &target)
    {
        const QWidget *window = parentWidget();
        // Kept inside the window: a frame cut off at its edge would leave a
        // target on that edge unmarked on one side.
        setGeometry(target.adjusted(-Reach, -Reach, Reach, Reach).intersected(window->rect()));
        raise();
        show();
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(palette().color(QPalette::Highlight), PenWidth));
        painter.setBrush(Qt::NoBrush);
        const qreal half = PenWidth / 2.0;
        painter.drawRoundedRect(QRectF(rect()).adjusted(half, half, -half, -half), 8, 8);
    }
};

namespace {

struct Target {
    QWidget *widget = nullptr;
    QAction *menuBarAction = nullptr;
};

// A widget by name, else the widget that shows the tool of that name: its
// button on a tool bar or its menu on the menu bar. Several tools may share a
// name (a menu's opener and its own action); the first one shown wins. A tool
// bar too short for the window keeps the rest behind its extension button,
// which is where the person finds such a tool.
Target findTarget(QWidget &mainWindow, const QString &name)
{
    if (auto *widget = mainWindow.findChild<QWidget *>(name))
        return {widget, nullptr};
    const QList<QAction *> actions = mainWindow.findChildren<QAction *>(name);
    const QList<QToolBar *> bars = mainWindow.findChildren<QToolBar *>();
    const QList<QMenuBar *> menuBars = mainWindow.findChildren<QMenuBar *>();
    Target overflow;
    for (QAction *action : actions) {
        for (QToolBar *bar : bars) {
            QWidget *button = bar->widgetForAction(action);
            if (!button)
                continue;
            if (button->isVisible())
                return {button, nullptr};
            auto *more = bar->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button"),
                                                       Qt::FindDirectChildrenOnly);
            if (!overflow.widget && action->isVisible() && more && more->isVisible())
                overflow = {more, nullptr};
        }
        for (QMenuBar *bar : menuBars)
            if (bar->actions().contains(action) && !bar->actionGeometry(action).isEmpty())
                return {bar, action};
    }
    return overflow;
}

QList<QWidget *> parentsUpTo(QWidget *widget, const QWidget &top)
{
    QList<QWidget *> chain;
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        chain.append(w);
        if (w == &top)
            break;
    }
    return chain;
}

// A target on a page of a tab widget can only be shown with its page in front.
void bringTabForward(const QList<QWidget *> &chain)
{
    for (auto it = chain.crbegin(); it != chain.crend(); ++it) {
        auto *tabs = qobject_cast<QTabWidget *>(*it);
        if (!tabs)
            continue;
        for (QWidget *page : chain) {
            const int index = tabs->indexOf(page);
            if (index >= 0) {
                if (tabs->currentIndex() != index)
                    tabs->setCurrentIndex(index);
                break;
            }
        }
    }
}

void scrollIntoView(QWidget *target, const QList<QWidget *> &chain)
{
    for (QWidget *w : chain)
        if (auto *scroll = qobject_cast<QScrollArea *>(w);
            scroll && scroll->widget() && scroll->widget()->isAncestorOf(target))
            scroll->ensureWidgetVisible(target);
}

} // namespace

TourWindow::TourWindow(QWidget &mainWindow, int firstPage, QWidget *parent)
    : QDialog(parent), m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("TourWindow"));
    setWindowTitle(QStringLiteral("Quorvale Tutorial"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    m_step = new QLabel(this);
    m_step->setObjectName(QStringLiteral("lblTourStep"));
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("lblTourTitle"));
    QFont titleFont = m_title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
    m_title->setFont(titleFont);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("lblTourText"));
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // As wide and as tall as the longest page: the buttons stay where the
    // person's hand is while the pages turn.
    const QFontMetrics metrics(m_text->font());
    const int width = metrics.averageCharWidth() * 56;
    int height = 0;
    for (const TourPage &page : mainWindowTourPages())
        height = std::max(
            height,
            metrics.boundingRect(QRect(0, 0, width, 10000), Qt::TextWordWrap, page.text).height());
    m_text->setFixedWidth(width);
    m_text->setMinimumHeight(height + metrics.lineSpacing());

    m_startupTips = new QCheckBox(QStringLiteral("&Show a tip each time Quorvale starts"), this);
    m_startupTips->setObjectName(QStringLiteral("chkStartupTips"));
    m_back = new QPushButton(QStringLiteral("< &Back"), this);
    m_back->setObjectName(QStringLiteral("cmdBack"));
    m_back->setAutoDefault(false);
    m_next = new QPushButton(QStringLiteral("&Next >"), this);
    m_next->setObjectName(QStringLiteral("cmdNext"));
    m_next->setDefault(true);
    m_close = new QPushButton(QStringLiteral("&Close"), this);
    m_close->setObjectName(QStringLiteral("cmdClose"));
    m_close->setAutoDefault(false);
    connect(m_back, &QPushButton::clicked, this, &TourWindow::back);
    connect(m_next, &QPushButton::clicked, this, &TourWindow::next);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_back);
    buttons->addWidget(m_next);
    buttons->addSpacing(metrics.averageCharWidth() * 2);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_step);
    layout->addWidget(m_title);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_startupTips);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(m_startupTips, m_back);
    setTabOrder(m_back, m_next);
    setTabOrder(m_next, m_close);

    showPage(firstPage);
    m_next->setFocus(Qt::OtherFocusReason);
}

TourWindow::~TourWindow()
{
    // The event filters go with this object; the frame belongs to the main
    // window and must not outlive the tour on it.
    if (m_highlight) {
        m_highlight->hide();
        m_highlight->deleteLater();
    }
}

int TourWindow::pageCount() const
{
    return static_cast<int>(mainWindowTourPages().size());
}

void TourWindow::showPage(int index)
{
    const QList<TourPage> &pages = mainWindowTourPages();
    m_page = std::clamp(index, 0, pageCount() - 1);
    const TourPage &page = pages.at(m_page);
    m_step->setText(QStringLiteral("Step %1 of %2").arg(m_page + 1).arg(pageCount()));
    m_title->setText(page.title);
    m_text->setText(page.text);
    m_text->setAccessibleName(page.title);
    m_text->setAccessibleDescription(page.text);
    const bool last = m_page == pageCount() - 1;
    m_next->setText(last ? QStringLiteral("&Finish") : QStringLiteral("&Next >"));
    if (m_page == 0 && m_back->hasFocus())
        m_next->setFocus(Qt::OtherFocusReason);
    m_back->setEnabled(m_page > 0);
    if (isVisible())
        highlightTarget();
}

void TourWindow::next()
{
    if (m_page == pageCount() - 1)
        accept();
    else
        showPage(m_page + 1);
}

void TourWindow::back()
{
    showPage(m_page - 1);
}

QRect TourWindow::highlightedRect() const
{
    if (!m_targetWidget || !m_targetWidget->isVisible())
        return {};
    const QRect local =
        m_menuBarAction
            ? static_cast<QMenuBar *>(m_targetWidget.data())->actionGeometry(m_menuBarAction)
            : m_targetWidget->rect();
    if (local.isEmpty())
        return {};
    return QRect(m_targetWidget->mapTo(&m_mainWindow, local.topLeft()), local.size());
}

QWidget *TourWindow::highlight() const
{
    return m_highlight;
}

void TourWindow::highlightTarget()
{
    releaseTarget();
    const Target target = findTarget(m_mainWindow, mainWindowTourPages().at(m_page).target);
    if (!target.widget)
        return;
    m_targetWidget = target.widget;
    m_menuBarAction = target.menuBarAction;
    const QList<QWidget *> chain = parentsUpTo(target.widget, m_mainWindow);
    bringTabForward(chain);
    scrollIntoView(target.widget, chain);
    for (QWidget *w : chain) {
        w->installEventFilter(this);
        m_watched.append(w);
    }
    placeHighlight();
    // A page just brought forward lays itself out once the events have run:
    // the target is scrolled to and framed where it ends up.
    QTimer::singleShot(0, this, [this, widget = m_targetWidget, chain] {
        if (widget && widget == m_targetWidget) {
            scrollIntoView(widget, chain);
            placeHighlight();
        }
    });
}

void TourWindow::placeHighlight()
{
    const QRect target = m_mainWindow.isVisible() ? highlightedRect() : QRect();
    if (target.isEmpty()) {
        if (m_highlight)
            m_highlight->hide();
        return;
    }
    if (!m_highlight)
        m_highlight = new TourHighlight(m_mainWindow);
    m_highlight->frame(target);
}

void TourWindow::releaseTarget()
{
    for (const QPointer<QWidget> &w : std::as_const(m_watched))
        if (w)
            w->removeEventFilter(this);
    m_watched.clear();
    m_targetWidget = nullptr;
    m_menuBarAction = nullptr;
    if (m_highlight)
        m_highlight->hide();
}

bool TourWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::LayoutRequest:
        placeHighlight();
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TourWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_placed) {
        m_placed = true;
        placeBesideMainWindow();
    }
    highlightTarget();
}

void TourWindow::hideEvent(QHideEvent *event)
{
    releaseTarget();
    QDialog::hideEvent(event);
}

void TourWindow::placeBesideMainWindow()
{
    const QScreen *screen = m_mainWindow.screen();
    if (!screen)
        return;
    // Beside the window rather than over it, where the screen has room: the
    // frame is to be seen while the page is read.
    const QRect room = screen->availableGeometry();
    const QRect main = m_mainWindow.frameGeometry();
    const QSize frame = frameGeometry().size().expandedTo(sizeHint());
    const int gap = 8;
    const QRect candidates[] = {
        QRect(QPoint(main.right() + gap, main.top()), frame),
        QRect(QPoint(main.left() - gap - frame.width(), main.top()), frame),
        QRect(QPoint(main.left(), main.bottom() + gap), frame),
        QRect(QPoint(main.left(), main.top() - gap - frame.height()), frame),
    };
    for (const QRect &place : candidates) {
        if (room.contains(place)) {
            move(place.topLeft());
            return;
        }
    }
    // No room beside it: the corner of the screen farthest from the window's
    // middle covers the least of what the pages point at.
    const QPoint middle = main.center();
    const int x = middle.x() < room.center().x() ? room.right() - frame.width() : room.left();
    const int y = middle.y() < room.center().y() ? room.bottom() - frame.height() : room.top();
    move(x, y);
}

} // namespace quorvale
