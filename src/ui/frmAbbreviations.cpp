#include "ui/frmAbbreviations.h"

#include "platform/core/QvError.h"
#include "support/Prompts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QValidator>
#include <algorithm>

namespace quorvale {

namespace {

// Refuses a key outside the name characters as it is typed. Capitals become
// their small letters: the set has only those, and a person who holds Shift
// means the letter, not a refusal.
class NameValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString &input, int &) const override
    {
        for (QChar &c : input) {
            if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
                c = c.toLower();
            if (!isAbbreviationNameCharacter(c))
                return Invalid;
        }
        return Acceptable;
    }
};

QPushButton *button(const QString &caption, QWidget *parent, const QString &tip = {})
{
    auto *b = new QPushButton(caption, parent);
    b->setAutoDefault(false);
    b->setToolTip(tip);
    return b;
}

} // namespace

frmAbbreviations::frmAbbreviations(db::Connection &local, Prompts &prompts, const Terms &terms,
                                   QWidget *parent)
    : QDialog(parent), m_local(local), m_prompts(prompts), m_terms(terms),
      m_entries(LoadAbbreviations(local))
{
    setWindowTitle(QLatin1String(AbbreviationTexts::Caption));

    auto *nameLabel = new QLabel(tr("Add abbreviation:"), this);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("txtAbbreviation"));
    m_name->setValidator(new NameValidator(m_name));
    nameLabel->setBuddy(m_name);
    auto *add = button(tr("A&dd"), this);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setAccessibleName(tr("Abbreviations"));
    for (const Abbreviation &entry : m_entries)
        m_list->addItem(entry.name);

    auto *textLabel = new QLabel(tr("Abbreviation text:"), this);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("txtAbbreviationText"));
    m_text->setTabChangesFocus(true);
    m_text->installEventFilter(this);
    textLabel->setBuddy(m_text);

    auto *remove = button(tr("D&elete"), this);
    auto *up = button(tr("Move &Up"), this, tr("Move record up in sort order."));
    auto *down = button(tr("Move Do&wn"), this, tr("Move record down in sort order."));
    auto *tip = button(tr("&Tip..."), this);
    auto *ok = button(tr("OK"), this);
    auto *applyButton = button(tr("&Apply"), this);
    auto *cancel = button(tr("&Cancel"), this);

    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(m_name, 1);
    nameRow->addWidget(add);
    auto *tools = new QVBoxLayout;
    for (QPushButton *b : {remove, up, down, tip})
        tools->addWidget(b);
    tools->addStretch();

    auto *grid = new QGridLayout;
    grid->addWidget(nameLabel, 0, 0);
    grid->addLayout(nameRow, 1, 0);
    grid->addWidget(m_list, 2, 0);
    grid->addWidget(textLabel, 0, 1);
    grid->addWidget(m_text, 1, 1, 2, 1);
    grid->addLayout(tools, 1, 2, 2, 1);
    grid->setColumnStretch(1, 1);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    for (QPushButton *b : {ok, applyButton, cancel})
        bottom->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(bottom);

    QWidget *order[] = {m_name, add, m_list, m_text,      remove, up,
                        down,   tip, ok,     applyButton, cancel};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(add, &QPushButton::clicked, this, &frmAbbreviations::addEntry);
    connect(m_name, &QLineEdit::returnPressed, this, &frmAbbreviations::addEntry);
    connect(remove, &QPushButton::clicked, this, &frmAbbreviations::deleteEntry);
    connect(up, &QPushButton::clicked, this, [this] { moveEntry(-1); });
    connect(down, &QPushButton::clicked, this, [this] { moveEntry(1); });
    connect(tip, &QPushButton::clicked, this, &frmAbbreviations::showTip);
    connect(ok, &QPushButton::clicked, this, &frmAbbreviations::accept);
    connect(applyButton, &QPushButton::clicked, this, &frmAbbreviations::apply);
    connect(cancel, &QPushButton::clicked, this, &frmAbbreviations::reject);
    connect(m_list, &QListWidget::currentRowChanged, this, &frmAbbreviations::showEntry);
    connect(m_text, &QPlainTextEdit::textChanged, this, [this] {
        const int row = m_list->currentRow();
        if (row >= 0)
            m_entries[static_cast<std::size_t>(row)].text = m_text->toPlainText();
    });

    select(m_entries.empty() ? -1 : 0);
}

bool frmAbbreviations::apply()
{
    try {
        SaveAbbreviations(m_local, m_entries);
        return true;
    } catch (const QvError &error) {
        m_prompts.messageBox(QLatin1String(AbbreviationTexts::Caption), error.description(),
                             PromptButtons::Ok, PromptIcon::Critical);
        return false;
    }
}

void frmAbbreviations::accept()
{
    if (apply())
        QDialog::accept();
}

bool frmAbbreviations::eventFilter(QObject *watched, QEvent *event)
{
    // With no name to hold it, typed text would go nowhere: say so and drop the key.
    if (watched == m_text && event->type() == QEvent::KeyPress && m_list->currentRow() < 0) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!key->text().isEmpty() && key->text().at(0).isPrint()) {
            m_prompts.messageBox(QLatin1String(AbbreviationTexts::WarningCaption),
                                 QLatin1String(AbbreviationTexts::AddNameFirst), PromptButtons::Ok,
                                 PromptIcon::Warning);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbbreviations::addEntry()
{
    const QString name = m_name->text();
    if (name.trimmed().isEmpty())
        return;
    // The name finds its text when it is inserted, so a second entry of the same
    // name could never be reached: choose the one there is.
    const auto same = std::find_if(m_entries.cbegin(), m_entries.cend(),
                                   [&](const Abbreviation &entry) { return entry.name == name; });
    // The row is taken before adding: growing the list invalidates `same`.
    const int row = static_cast<int>(same - m_entries.cbegin());
    if (same == m_entries.cend()) {
        m_entries.push_back({name, QLatin1String(AbbreviationTexts::NewText)});
        m_list->addItem(name);
    }
    m_name->clear();
    select(row);
    m_text->setFocus();
    m_text->selectAll();
}

void frmAbbreviations::deleteEntry()
{
    const int row = m_list->currentRow();
    if (row < 0)
        return;
    m_entries.erase(m_entries.begin() + row);
    {
        const QSignalBlocker blocker(m_list);
        delete m_list->takeItem(row);
    }
    select(std::min(row, static_cast<int>(m_entries.size()) - 1));
}

void frmAbbreviations::moveEntry(int step)
{
    const int row = m_list->currentRow();
    const int other = row + step;
    if (row < 0 || other < 0 || other >= static_cast<int>(m_entries.size()))
        return;
    std::swap(m_entries[static_cast<std::size_t>(row)], m_entries[static_cast<std::size_t>(other)]);
    {
        const QSignalBlocker blocker(m_list);
        m_list->item(row)->setText(m_entries[static_cast<std::size_t>(row)].name);
        m_list->item(other)->setText(m_entries[static_cast<std::size_t>(other)].name);
    }
    select(other);
}

void frmAbbreviations::select(int row)
{
    {
        const QSignalBlocker blocker(m_list);
        m_list->setCurrentRow(row);
    }
    showEntry(row);
}

void frmAbbreviations::showEntry(int row)
{
    const QSignalBlocker blocker(m_text);
    m_text->setPlainText(row >= 0 ? m_entries[static_cast<std::size_t>(row)].text : QString());
    // Nothing to type into without a name; the key filter says why.
    m_text->setReadOnly(row < 0);
}

void frmAbbreviations::showTip()
{
    m_prompts.messageBox(QLatin1String(AbbreviationTexts::TipCaption),
                         abbreviationTipText(m_terms.activity1, m_terms.activity2),
                         PromptButtons::Ok, PromptIcon::Information);
}

} // namespace quorvale
