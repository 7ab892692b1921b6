#pragma once

#include "outlook/ViewDefinition.h"
#include "platform/pim/Folder.h"

#include <QWidget>
#include <optional>

class QLabel;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

namespace quorvale {

class Prompts;

// A folder's items listed through a view file's columns: our stand-in for an
// Outlook explorer showing one of the program's views.
class FolderViewWindow : public QWidget {
    Q_OBJECT

public:
    struct Request {
        std::optional<pim::Folder> folder; // nothing when the folder is not resolved
        QString viewFilePath;
        QString viewName; // the title when the file names none
        ViewSubstitutions values;
    };

    // Reads the view file and lists the folder. When the file is missing or
    // unreadable, or the folder is not there, tells the person " View Not
    // Available" and returns nullptr. The window deletes itself when closed.
    static FolderViewWindow *open(Prompts &prompts, const Request &request,
                                  QWidget *parent = nullptr);

    QTableView *table() const { return m_table; }
    int rowCount() const;
    // The text shown in a cell, in the order the table shows its rows now.
    QString cellText(int row, int column) const;

private:
    FolderViewWindow(ViewDefinition view, pim::Folder folder, const QString &title,
                     QWidget *parent);
    void fill();

    ViewDefinition m_view;
    pim::Folder m_folder;
    QStandardItemModel *m_model = nullptr;
    QSortFilterProxyModel *m_proxy = nullptr;
    QTableView *m_table = nullptr;
    QLabel *m_status = nullptr;
};

} // namespace quorvale
