#include "ui/ContactMaintenanceDialog.h"

#include "platform/core/QvError.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

namespace quorvale {

ContactMaintenanceDialog::ContactMaintenanceDialog(db::Connection &cnnLink, const Terms &terms,
                                                   ContactCards *cards, QWidget *parent)
    : MaintenanceDialog(parent), m_contacts(cnnLink), m_cards(cards), m_name(new QLineEdit(this)),
      m_account(new QLineEdit(this)), m_active(new QCheckBox(tr("Acti&ve"), this)),
      m_realization(new QLineEdit(this))
{
    setWindowTitle(tr("%1 List").arg(terms.contact));
    form()->addRow(tr("&Name:"), m_name);
    form()->addRow(tr("&Account:"), m_account);
    form()->addRow(QString(), m_active);
    form()->addRow(tr("&Realization:"), m_realization);
    m_increment = new QComboBox(this);
    for (const int minutes : BillingIncrements)
        m_increment->addItem(minutes == 0 ? tr("None: billed as recorded")
                                          : tr("%n minute(s)", nullptr, minutes),
                             minutes);
    m_direction = new QComboBox(this);
    m_direction->addItem(tr("Up"), int(RoundingDirection::Up));
    m_direction->addItem(tr("To the nearest"), int(RoundingDirection::Nearest));
    m_direction->addItem(tr("Down"), int(RoundingDirection::Down));
    auto *roundingRow = new QHBoxLayout;
    roundingRow->addWidget(m_increment, 1);
    auto *directionLabel = new QLabel(tr("Ro&unded:"), this);
    directionLabel->setBuddy(m_direction);
    roundingRow->addWidget(directionLabel);
    roundingRow->addWidget(m_direction, 1);
    auto *incrementLabel = new QLabel(tr("Billing &increment:"), this);
    incrementLabel->setBuddy(m_increment);
    form()->addRow(incrementLabel, roundingRow);
    m_increment->setToolTip(tr("The steps the client's time is billed in; the time recorded "
                               "stays as it is."));
    for (QComboBox *box : {m_increment, m_direction})
        connect(box, &QComboBox::activated, this, &ContactMaintenanceDialog::markDirty);
    connect(m_increment, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_direction->setEnabled(index > 0); });
    m_name->setAccessibleName(tr("Name"));
    m_account->setAccessibleName(tr("Account"));
    m_realization->setAccessibleName(tr("Time realization"));
    m_realization->setToolTip(tr("The share of the time's value that is billed, as a percentage."));
    for (QLineEdit *edit : {m_name, m_account, m_realization})
        watch(edit);
    connect(m_active, &QCheckBox::clicked, this, &ContactMaintenanceDialog::markDirty);
    if (m_cards)
        buildCardFields();
    finishLayout();
}

void ContactMaintenanceDialog::buildCardFields()
{
    struct CardField {
        const char *name;
        const char *label;
        int row;
        int column;
        int span;
    };
    // Two columns, read across: what a person reads off a letterhead.
    static constexpr CardField Fields[] = {
        {"fullName", "&Full name:", 0, 0, 1},
        {"company", "Compan&y:", 0, 2, 1},
        {"email", "&E-mail:", 1, 0, 1},
        {"businessPhone", "&Phone:", 1, 2, 1},
        {"mobilePhone", "&Mobile:", 2, 0, 1},
        {"street", "S&treet:", 3, 0, 3},
        {"city", "C&ity:", 4, 0, 1},
        {"region", "Re&gion:", 4, 2, 1},
        {"postalCode", "P&ostal code:", 5, 0, 1},
        {"country", "Co&untry:", 5, 2, 1},
    };
    auto *box = new QGroupBox(tr("Card in the address book"), this);
    auto *grid = new QGridLayout(box);
    for (const CardField &f : Fields) {
        auto *edit = new QLineEdit(box);
        const QString label = tr(f.label);
        auto *caption = new QLabel(label, box);
        caption->setBuddy(edit);
        edit->setAccessibleName(QString(label).remove(u'&').chopped(1));
        grid->addWidget(caption, f.row, f.column);
        grid->addWidget(edit, f.row, f.column + 1, 1, f.span);
        m_card.insert(QLatin1String(f.name), edit);
        watch(edit);
    }
    m_cardNote = new QLabel(box);
    m_cardNote->setWordWrap(true);
    m_cardNote->hide();
    grid->addWidget(m_cardNote, 6, 0, 1, 4);
    form()->addRow(box);
}

ContactCardFields ContactMaintenanceDialog::typedCard() const
{
    const auto text = [this](const char *name) {
        return m_card.value(QLatin1String(name))->text().trimmed();
    };
    return ContactCardFields{text("fullName"),      text("company"),     text("email"),
                             text("businessPhone"), text("mobilePhone"), text("street"),
                             text("city"),          text("region"),      text("postalCode"),
                             text("country")};
}

void ContactMaintenanceDialog::showCard(const ContactCardFields &f)
{
    const std::pair<const char *, const QString *> values[] = {
        {"fullName", &f.fullName},
        {"company", &f.company},
        {"email", &f.email},
        {"businessPhone", &f.businessPhone},
        {"mobilePhone", &f.mobilePhone},
        {"street", &f.street},
        {"city", &f.city},
        {"region", &f.region},
        {"postalCode", &f.postalCode},
        {"country", &f.country},
    };
    for (const auto &[name, value] : values)
        m_card.value(QLatin1String(name))->setText(*value);
}

void ContactMaintenanceDialog::showModal(db::Connection &cnnLink, const Terms &terms,
                                         ContactCards *cards, QWidget *parent)
{
    ContactMaintenanceDialog dialog(cnnLink, terms, cards, parent);
    dialog.exec();
}

QStringList ContactMaintenanceDialog::loadEntries()
{
    m_rows = m_contacts.load();
    QStringList texts;
    for (const ContactRow &row : m_rows)
        texts << (row.active ? row.name : tr("%1 (inactive)").arg(row.name));
    return texts;
}

std::optional<qint32> ContactMaintenanceDialog::entryId(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_rows.size()))
        return std::nullopt;
    return m_rows[index].id;
}

QString ContactMaintenanceDialog::entryName(int index) const
{
    return m_rows.at(index).name;
}

void ContactMaintenanceDialog::showEntry(int index)
{
    const ContactRow row = index >= 0 ? m_rows.at(index) : ContactRow{};
    m_name->setText(row.name);
    m_account->setText(row.account);
    m_active->setChecked(row.active);
    m_realization->setText(realizationEditText(row.timeRealization));
    m_increment->setCurrentIndex(std::max(0, m_increment->findData(row.rounding.incrementMinutes)));
    m_direction->setCurrentIndex(
        std::max(0, m_direction->findData(static_cast<int>(row.rounding.direction))));
    m_direction->setEnabled(row.rounding.active());
    showRates(row.rates);
    if (!m_cards)
        return;
    m_shownCard = row.id ? m_cards->read(*row.id) : ContactCards::Card{};
    showCard(m_shownCard.fields);
    // Deleted by another program: said here, where it can be made again.
    m_cardNote->setText(tr("This contact's card is gone from the address book (another program "
                           "may have deleted it). Save writes it again from these fields."));
    m_cardNote->setVisible(m_shownCard.state == ContactCards::State::Missing);
}

std::optional<qint32> ContactMaintenanceDialog::saveEntry(int index)
{
    ContactRow row;
    if (index >= 0)
        row.id = m_rows.at(index).id;
    row.name = m_name->text();
    row.account = m_account->text();
    row.active = m_active->isChecked();
    row.rounding.incrementMinutes = m_increment->currentData().toInt();
    row.rounding.direction = static_cast<RoundingDirection>(m_direction->currentData().toInt());

    QString problem = ContactList::problem(row);
    QWidget *offending = m_name;
    const ContactCardFields card = m_cards ? typedCard() : ContactCardFields{};
    if (problem.isEmpty() && m_cards) {
        problem = ContactCards::problem(card);
        offending = m_card.value(QStringLiteral("email"));
    }
    if (problem.isEmpty()) {
        if (const auto realization = parseTypedRealization(m_realization->text()))
            row.timeRealization = *realization;
        else {
            problem = tr("The realization must be a percentage from 0 to 100.");
            offending = m_realization;
        }
    }
    if (problem.isEmpty()) {
        if (const auto typed = rates(problem))
            row.rates = *typed;
        else
            offending = nullptr; // rates() has put the focus on the rate
    }
    if (!problem.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), problem);
        if (offending)
            offending->setFocus();
        return std::nullopt;
    }
    const qint32 id = m_contacts.save(row);
    if (!m_cards ||
        (m_shownCard.state == ContactCards::State::Present && card == m_shownCard.fields))
        return id;
    try {
        m_cards->write(id, card);
    } catch (const QvError &error) {
        // The row stands; the card is written on a later save.
        QMessageBox::warning(this, windowTitle(),
                             tr("%1 was saved, but its card could not be written to the address "
                                "book: %2\nSave again to retry.")
                                 .arg(row.name, error.description()));
    }
    return id;
}

RemoveOutcome ContactMaintenanceDialog::removeEntry(qint32 id)
{
    return m_contacts.remove(id);
}

} // namespace quorvale
