#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QRect>

class QAction;
class QCheckBox;
class QLabel;
class QPushButton;

namespace quorvale {

class TourHighlight;

// The tour of the main window, one page at a time, beside the window it
// describes: modeless, so the person can try what a page shows while reading
// it. Each page frames its part of the window; the frame goes with the page.
class TourWindow : public QDialog {
    Q_OBJECT

public:
    // firstPage is clamped to the pages there are.
    TourWindow(QWidget &mainWindow, int firstPage, QWidget *parent = nullptr);
    ~TourWindow() override;

    int currentPage() const { return m_page; }
    int pageCount() const;
    void showPage(int index);

    // The widget the current page points at (a tool's button, or the menu bar
    // for a menu), and its part of it in the main window's coordinates; null
    // and empty when the window does not show the target.
    QWidget *highlightedWidget() const { return m_targetWidget; }
    QRect highlightedRect() const;
    // The frame drawn over the main window; null or hidden when there is none.
    QWidget *highlight() const;
    QCheckBox &startupTipsBox() { return *m_startupTips; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void next();
    void back();
    void highlightTarget();
    void placeHighlight();
    void releaseTarget();
    void placeBesideMainWindow();

    QWidget &m_mainWindow;
    int m_page = 0;
    QLabel *m_step = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_text = nullptr;
    QCheckBox *m_startupTips = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_next = nullptr;
    QPushButton *m_close = nullptr;
    // Owned by the main window, which may go first.
    QPointer<TourHighlight> m_highlight;
    QPointer<QWidget> m_targetWidget;
    // Set when the target is a menu on the menu bar: its part of the bar.
    QPointer<QAction> m_menuBarAction;
    // The target and its parents up to the main window: any of them moving
    // or resizing moves the target.
    QList<QPointer<QWidget>> m_watched;
    bool m_placed = false;
};

} // namespace quorvale
