#pragma once

#include "support/Prompts.h"

#include <QVariantMap>

class QWidget;

namespace quorvale {

// Prompts for a person at the screen: message boxes over the active window.
class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    PromptResult messageBox(const QString &title, const QString &text, PromptButtons buttons,
                            PromptIcon icon) override;
    bool showDialog(const QString &name, QVariantMap &values) override;

private:
    QWidget *m_parent;
};

} // namespace quorvale
