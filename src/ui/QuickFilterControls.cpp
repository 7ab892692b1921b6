#include "ui/QuickFilterControls.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolBar>

namespace quorvale {

QuickFilterControls::QuickFilterControls(QToolBar *bar, QuickFilterType type, const QString &term,
                                         const std::vector<PickEntry> &entries)
    : QObject(bar)
{
    const QString name = tr("Quick filter %1").arg(term);
    if (type == QuickFilterType::Contact) {
        m_contactBox = new QLineEdit(bar);
        m_contactBox->setObjectName(QStringLiteral("txtContactQuickFilter"));
        m_contactBox->setReadOnly(true);
        m_contactBox->setAccessibleName(name);
        m_contactBox->setPlaceholderText(tr("All"));
        m_contactBox->setMaximumWidth(260);
        bar->addWidget(m_contactBox);
        QAction *pick = bar->addAction(QStringLiteral("..."));
        // A button's text drops a trailing "..." unless it is set as such.
        pick->setIconText(QStringLiteral("..."));
        pick->setObjectName(QStringLiteral("abQFContact"));
        pick->setToolTip(tr("Click to select Quick Filter contact."));
        bar->widgetForAction(pick)->setAccessibleName(pick->toolTip());
        connect(pick, &QAction::triggered, this, &QuickFilterControls::pickContact);
        QAction *clear = bar->addAction(QStringLiteral("X"));
        clear->setObjectName(QStringLiteral("abQFContactClear"));
        clear->setToolTip(tr("Click to clear Quick Filter."));
        bar->widgetForAction(clear)->setAccessibleName(clear->toolTip());
        connect(clear, &QAction::triggered, this, [this] {
            show(0, QString());
            Q_EMIT changed();
        });
        return;
    }
    m_combo = new QComboBox(bar);
    m_combo->setObjectName(QStringLiteral("cboFilter"));
    m_combo->setAccessibleName(name);
    for (const PickEntry &e : entries)
        m_combo->addItem(e.text, e.id);
    bar->addWidget(m_combo);
    connect(m_combo, &QComboBox::activated, this, &QuickFilterControls::changed);
}

qint32 QuickFilterControls::chosenId() const
{
    if (m_combo)
        return m_combo->currentIndex() > 0 ? m_combo->currentData().toInt() : 0;
    return m_contactBox->text().isEmpty() ? 0 : m_contactId;
}

QString QuickFilterControls::chosenName() const
{
    if (m_combo)
        return m_combo->currentIndex() > 0 ? m_combo->currentText() : QString();
    return m_contactBox->text();
}

void QuickFilterControls::show(qint32 id, const QString &name)
{
    if (m_combo) {
        const QSignalBlocker blocker(m_combo);
        const int at = id == 0 ? 0 : m_combo->findData(id);
        m_combo->setCurrentIndex(at < 0 ? 0 : at);
        return;
    }
    m_contactId = id;
    m_contactBox->setText(id == 0 ? QString() : name);
}

} // namespace quorvale
