#pragma once

#include <QDialog>
#include <QStringList>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace quorvale {

namespace pim {
class Namespace;
}

// Picks categories from the store's master list with check boxes; names typed
// into "New category" join the list.
class ItemEditorCategoriesDialog : public QDialog {
    Q_OBJECT

public:
    ItemEditorCategoriesDialog(const QStringList &masterList, const QStringList &checked,
                               QWidget *parent = nullptr);

    // In the list's order.
    QStringList checked() const;
    // Names the person added that the master list did not have.
    const QStringList &added() const { return m_added; }

    void accept() override;

private:
    void addTyped();

    QListWidget *m_list;
    QLineEdit *m_newName;
    QStringList m_master;
    QStringList m_added;
};

// An item's categories: typed as "A, B" or chosen with "Categories...".
class ItemEditorCategoriesBox : public QWidget {
    Q_OBJECT

public:
    // Without a namespace there is no master list to choose from or add to.
    ItemEditorCategoriesBox(pim::Namespace *ns, QWidget *parent = nullptr);

    QLineEdit *lineEdit() const { return m_edit; }
    QPushButton *chooseButton() const { return m_choose; }
    QString text() const;
    void setText(const QString &text);

private:
    void choose();

    pim::Namespace *m_ns;
    QLineEdit *m_edit;
    QPushButton *m_choose;
};

// "A, b ,, C" as a list, without empties or repeats (ignoring case).
QStringList splitCategories(const QString &text);

} // namespace quorvale
