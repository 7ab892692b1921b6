#include "frmTimeAdd.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvale {

namespace {

QLabel *wrappedLabel(const char *text, QWidget *parent)
{
    auto *label = new QLabel(QLatin1String(text), parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

frmTimeAdd::frmTimeAdd(const AdjustTimeInput &input, Prompts &prompts, QWidget *parent)
    : QDialog(parent), m_logic(input, prompts)
{
    setWindowTitle(QLatin1String(TimeAdjustTexts::Caption));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(wrappedLabel(TimeAdjustTexts::Explanation, this));
    if (m_logic.explainsOwnFields())
        layout->addWidget(wrappedLabel(TimeAdjustTexts::OwnFieldsNote, this));

    auto *frame = new QGroupBox(QLatin1String(TimeAdjustTexts::Frame), this);
    auto *grid = new QGridLayout(frame);
    m_amounts = new QButtonGroup(this);
    const auto &amounts = m_logic.amounts();
    for (std::size_t i = 0; i < amounts.size(); ++i) {
        auto *button = new QPushButton(amounts[i].caption, frame);
        button->setToolTip(amounts[i].tip);
        button->setCheckable(true);
        button->setAutoDefault(false);
        m_amounts->addButton(button, static_cast<int>(i));
        grid->addWidget(button, static_cast<int>(i / 3), static_cast<int>(i % 3));
    }

    auto *typedLabel = new QLabel(tr("&Time (hhh:mm:ss):"), frame);
    // No edit mask: a mask reads "1:30" typed from the left as hundreds of hours.
    m_typed = new QLineEdit(frame);
    m_typed->setPlaceholderText(QStringLiteral("1:30, 1.5 or 1h30m"));
    m_typed->setToolTip(QLatin1String(TimeAdjustTexts::TypedAmountTip));
    typedLabel->setBuddy(m_typed);
    auto *typedRow = new QHBoxLayout;
    typedRow->addWidget(typedLabel);
    typedRow->addWidget(m_typed);
    grid->addLayout(typedRow, 2, 0, 1, 3);
    layout->addWidget(frame);

    auto *buttons = new QDialogButtonBox(this);
    const bool adding = input.direction == AdjustDirection::Add;
    buttons->addButton(adding ? tr("&Add") : tr("&Subtract"), QDialogButtonBox::AcceptRole)
        ->setDefault(true);
    buttons->addButton(tr("&Cancel"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);

    connect(m_amounts, &QButtonGroup::idClicked, this, [this](int id) {
        m_logic.chooseAmount(static_cast<std::size_t>(id));
        const QSignalBlocker blocker(m_typed);
        m_typed->clear();
    });
    connect(m_typed, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_logic.typeAmount(text);
        if (m_logic.chosenAmount())
            return;
        // A typed amount replaces the button's: no button stays down.
        m_amounts->setExclusive(false);
        for (QAbstractButton *button : m_amounts->buttons())
            button->setChecked(false);
        m_amounts->setExclusive(true);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &frmTimeAdd::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmTimeAdd::reject);
}

void frmTimeAdd::accept()
{
    // A warning keeps the dialog open for another try.
    if (m_logic.accept())
        QDialog::accept();
}

bool frmTimeAdd::AdjustTimeDialog(QVariantMap &values, Prompts &prompts, QWidget *parent)
{
    frmTimeAdd dialog(fromDialogValues(values), prompts, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    values.insert(QLatin1String(AdjustTimeResultKey), dialog.adjustedValue());
    return true;
}

} // namespace quorvale
