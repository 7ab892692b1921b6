#pragma once

#include "outlook/LinkedItems.h"

#include <QDialog>
#include <vector>

class QTreeWidget;

namespace quorvale {

// Lists the items of the store a TimeCard may be linked to; the person picks
// one or more.
class LinkItemChooser : public QDialog {
    Q_OBJECT

public:
    LinkItemChooser(const QString &title, std::vector<LinkCandidate> candidates,
                    QWidget *parent = nullptr);

    QTreeWidget *list() const { return m_list; }
    std::vector<LinkCandidate> chosen() const;

private:
    std::vector<LinkCandidate> m_candidates;
    QTreeWidget *m_list = nullptr;
};

} // namespace quorvale
