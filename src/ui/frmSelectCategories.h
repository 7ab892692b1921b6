#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <optional>

class QListWidget;
class QPushButton;

namespace quorvale {

// The category picker: the master category list with the names found in the
// current category text chosen, handing back the chosen names as one text.
class frmSelectCategories : public QDialog {
    Q_OBJECT

public:
    frmSelectCategories(const QStringList &master, const QString &current,
                        QWidget *parent = nullptr);

    // The text the picker hands back: the chosen names after OK, the text it
    // was opened with after Cancel.
    QString categoryText() const { return m_text; }

    QListWidget *list() const { return m_list; }
    QPushButton *okButton() const { return m_ok; }

    // `SelectCategoriesDialog`: opens the picker modally; the new category text
    // after OK, nullopt after Cancel.
    static std::optional<QString> pick(QWidget *parent, const QStringList &master,
                                       const QString &current);

public Q_SLOTS:
    void OKButton_Click();
    void CancelButton_Click();

private:
    QListWidget *m_list;
    QPushButton *m_ok;
    QString m_remembered;
    QString m_text;
};

} // namespace quorvale
