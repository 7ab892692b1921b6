#pragma once

#include "outlook/LinkDeletion.h"

#include <QDialog>
#include <optional>

class QRadioButton;

namespace quorvale {

// "What should be deleted?": the link only, or the linked item with it.
class frmDeleteOption : public QDialog {
    Q_OBJECT

public:
    explicit frmDeleteOption(QWidget *parent = nullptr);

    LinkDeleteOption choice() const;
    // Modal; nothing when the person cancelled.
    static std::optional<LinkDeleteOption> ask(QWidget *parent);

private:
    QRadioButton *m_linkOnly = nullptr;
    QRadioButton *m_itemAndLink = nullptr;
};

} // namespace quorvale
