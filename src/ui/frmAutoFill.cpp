#include "ui/frmAutoFill.h"

#include "outlook/Templates.h"
#include "platform/core/QvError.h"
#include "support/Prompts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QVBoxLayout>

namespace quorvale {

namespace {

const char *const BodyLabels[BodySlotCount] = {"Line &1", "Line &2", "Line &3",
                                               "Line &4", "Line &5", "Line &6"};
const char *const SubjectLabels[SubjectSlotCount] = {"&First part", "&Second part", "&Third part",
                                                     "Fo&urth part"};

QComboBox *makeSlotList(int slot, bool bodySlot, const FieldTerms &terms, QWidget *parent)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QStringLiteral("cboAutoFill_%1").arg(slot));
    for (qint16 code : offeredFieldCodes(terms, bodySlot))
        list->addItem(fieldListText(code, terms), QVariant::fromValue(code));
    return list;
}

} // namespace

frmAutoFill::frmAutoFill(const AutoFillTemplates &templates, const FieldTerms &terms,
                         Registry &registry, Prompts &prompts, QWidget *parent)
    : QDialog(parent), m_working(templates), m_applied(templates), m_terms(terms),
      m_registry(registry), m_prompts(prompts)
{
    setObjectName(QStringLiteral("frmAutoFill"));
    setWindowTitle(QStringLiteral(" AutoFill"));

    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("tabKinds"));
    m_tabs->setAccessibleName(QStringLiteral("Item kind"));
    m_tabs->setFocusPolicy(Qt::StrongFocus);
    for (TemplateKind kind : AllTemplateKinds)
        m_tabs->addTab(templateKindName(kind));

    auto *body = new QGroupBox(QStringLiteral("Body"), this);
    auto *bodyForm = new QFormLayout(body);
    auto *subject = new QGroupBox(QStringLiteral("Subject"), this);
    auto *subjectForm = new QFormLayout(subject);
    m_subjectGroup = subject;
    for (int slot = 0; slot < SlotCount; ++slot) {
        const bool bodySlot = slot < BodySlotCount;
        QWidget *group = bodySlot ? static_cast<QWidget *>(body) : subject;
        QComboBox *list = makeSlotList(slot, bodySlot, terms, group);
        auto *label = new QLabel(
            QString::fromLatin1(bodySlot ? BodyLabels[slot] : SubjectLabels[slot - BodySlotCount]),
            group);
        label->setBuddy(list);
        (bodySlot ? bodyForm : subjectForm)->addRow(label, list);
        m_slots[std::size_t(slot)] = list;
        m_slotLabels[std::size_t(slot)] = label;
        connect(list, &QComboBox::activated, this, [this, slot] { slotChosen(slot); });
    }

    m_subjectPreview = new QLineEdit(this);
    m_subjectPreview->setObjectName(QStringLiteral("txtSubjectPreview"));
    m_subjectPreview->setReadOnly(true);
    m_subjectPreviewLabel = new QLabel(QStringLiteral("Subject pre&view"), this);
    m_subjectPreviewLabel->setBuddy(m_subjectPreview);
    m_bodyPreview = new QPlainTextEdit(this);
    m_bodyPreview->setObjectName(QStringLiteral("txtBodyPreview"));
    m_bodyPreview->setReadOnly(true);
    m_bodyPreview->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_bodyPreview->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto *bodyPreviewLabel = new QLabel(QStringLiteral("&Body preview"), this);
    bodyPreviewLabel->setBuddy(m_bodyPreview);

    auto *buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    m_apply = buttons->button(QDialogButtonBox::Apply);
    m_apply->setObjectName(QStringLiteral("cmdApply"));
    m_apply->setText(QStringLiteral("&Apply"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &frmAutoFill::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmAutoFill::reject);
    connect(m_apply, &QPushButton::clicked, this, &frmAutoFill::ApplyChanges);

    auto *slots = new QHBoxLayout;
    slots->addWidget(body);
    slots->addWidget(subject, 0, Qt::AlignTop);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(slots);
    layout->addWidget(m_subjectPreviewLabel);
    layout->addWidget(m_subjectPreview);
    layout->addWidget(bodyPreviewLabel);
    layout->addWidget(m_bodyPreview, 1);
    layout->addWidget(buttons);

    // The tab strip moves with Ctrl+Tab as tab widgets do.
    auto *next = new QShortcut(QKeySequence::NextChild, this);
    connect(next, &QShortcut::activated, this,
            [this] { m_tabs->setCurrentIndex((m_tabs->currentIndex() + 1) % m_tabs->count()); });
    auto *previous = new QShortcut(QKeySequence::PreviousChild, this);
    connect(previous, &QShortcut::activated, this, [this] {
        m_tabs->setCurrentIndex((m_tabs->currentIndex() + m_tabs->count() - 1) % m_tabs->count());
    });
    connect(m_tabs, &QTabBar::currentChanged, this, &frmAutoFill::showKind);
    showKind();
}

TemplateKind frmAutoFill::currentKind() const
{
    return AllTemplateKinds[std::max(0, m_tabs->currentIndex())];
}

void frmAutoFill::showKind()
{
    const TemplateKind kind = currentKind();
    const std::span<const qint16> codes = m_working.codes(kind);
    for (int slot = 0; slot < SlotCount; ++slot) {
        QComboBox *list = m_slots[std::size_t(slot)];
        const bool shown = slot < int(codes.size());
        list->setVisible(shown);
        m_slotLabels[std::size_t(slot)]->setVisible(shown);
        if (!shown)
            continue;
        // A stored code the list does not offer (its field is no longer in use)
        // shows as no entry and stays stored until another entry is chosen.
        const QSignalBlocker block(list);
        list->setCurrentIndex(list->findData(QVariant::fromValue(codes[std::size_t(slot)])));
    }
    m_subjectGroup->setVisible(hasSubject(kind));
    m_subjectPreview->setVisible(hasSubject(kind));
    m_subjectPreviewLabel->setVisible(hasSubject(kind));
    refreshPreviews();
}

void frmAutoFill::slotChosen(int slot)
{
    const std::span<qint16> codes = m_working.codes(currentKind());
    const QVariant code = m_slots[std::size_t(slot)]->currentData();
    if (slot >= int(codes.size()) || !code.isValid())
        return;
    codes[std::size_t(slot)] = code.value<qint16>();
    refreshPreviews();
}

void frmAutoFill::refreshPreviews()
{
    const std::span<const qint16> codes = m_working.codes(currentKind());
    m_subjectPreview->setText(previewSubject(subjectCodes(codes), m_terms));
    QString body = previewBody(bodyCodes(codes), m_terms);
    body.replace(LineBreak, QStringLiteral("\n"));
    m_bodyPreview->setPlainText(body);
}

bool frmAutoFill::ApplyChanges()
{
    try {
        writeAutoFillTemplates(m_registry, m_working);
    } catch (const QvError &error) {
        m_prompts.messageBox(QStringLiteral(" AutoFill"),
                             QStringLiteral("The AutoFill settings could not be saved.") +
                                 QStringLiteral("\n\n") + error.description(),
                             PromptButtons::Ok, PromptIcon::Warning);
        return false;
    }
    m_applied = m_working;
    m_wasApplied = true;
    return true;
}

void frmAutoFill::accept()
{
    if (ApplyChanges())
        QDialog::accept();
}

bool frmAutoFill::AutoFillDialog(AutoFillTemplates &templates, const FieldTerms &terms,
                                 Registry &registry, Prompts &prompts, QWidget *parent)
{
    frmAutoFill dialog(templates, terms, registry, prompts, parent);
    dialog.exec();
    if (dialog.wasApplied())
        templates = dialog.appliedTemplates();
    return dialog.wasApplied();
}

} // namespace quorvale
