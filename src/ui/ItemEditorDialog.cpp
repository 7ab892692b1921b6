#include "ui/ItemEditorDialog.h"

#include "platform/core/QvError.h"
#include "platform/pim/Item.h"
#include "platform/pim/MailItem.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/Store.h"
#include "platform/pim/TaskItem.h"
#include "platform/pim/TaskRequest.h"
#include "support/Prompts.h"
#include "ui/PointerScope.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace quorvale {

namespace {

const QString PromptTitle = QStringLiteral("Quorvale");

QString firstLine(const QString &text)
{
    return text.section(QLatin1Char('\n'), 0, 0).trimmed();
}

} // namespace

ItemEditorDialog::ItemEditorDialog(pim::Item &item, ItemEditorContext context, QWidget *parent)
    : QDialog(parent), m_item(&item), m_context(std::move(context)), m_kind(editorKindOf(item)),
      m_cameUnsaved(!item.Saved())
{
    build();
    load();
    connect(this, &QDialog::finished, this, [this] {
        if (m_sendResult && m_context.sent)
            m_context.sent();
    });
}

ItemEditorDialog::ItemEditorDialog(std::unique_ptr<pim::Item> item, ItemEditorContext context,
                                   QWidget *parent)
    : ItemEditorDialog(*item, std::move(context), parent)
{
    m_owned = std::move(item);
}

ItemEditorDialog::~ItemEditorDialog() = default;

void ItemEditorDialog::build()
{
    const ItemEditorLayout &layout = editorLayout(m_kind);
    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_controls.reserve(static_cast<std::size_t>(layout.fields.size()));
    for (const ItemEditorField &field : layout.fields) {
        const ItemEditorFieldControl &control = m_controls.emplace_back(field, this, m_context.ns);
        QWidget *widget = control.widget();
        if (field.editor == FieldEditor::Check) {
            form->addRow(QString(), widget);
            continue;
        }
        auto *label = new QLabel(field.label, this);
        label->setBuddy(control.input());
        if (field.property == QLatin1String("Body")) {
            // The body takes the width and whatever height is left.
            widget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
            form->addRow(label);
            form->addRow(widget);
        } else {
            if (auto *text = qobject_cast<QPlainTextEdit *>(widget))
                text->setMaximumHeight(text->fontMetrics().lineSpacing() * 5);
            form->addRow(label, widget);
        }
    }

    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->hide();

    auto *buttons = new QHBoxLayout;
    if (layout.canSend) {
        m_send = new QPushButton(tr("&Send"), this);
        m_send->setToolTip(tr("Send (Alt+S)"));
        buttons->addWidget(m_send);
        connect(m_send, &QPushButton::clicked, this, &ItemEditorDialog::send);
    }
    buttons->addStretch(1);
    m_save = new QPushButton(tr("Sa&ve and Close"), this);
    m_save->setToolTip(tr("Save and Close (Ctrl+S)"));
    m_close = new QPushButton(tr("Close"), this);
    m_close->setToolTip(tr("Close (Esc)"));
    buttons->addWidget(m_save);
    buttons->addWidget(m_close);
    // Enter belongs to the fields: no button fires from a line edit.
    for (QPushButton *button : {m_send, m_save, m_close}) {
        if (button)
            button->setAutoDefault(false);
    }
    connect(m_save, &QPushButton::clicked, this, &ItemEditorDialog::saveAndClose);
    connect(m_close, &QPushButton::clicked, this, &ItemEditorDialog::reject);
    connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, this,
            &ItemEditorDialog::saveAndClose);

    auto *main = new QVBoxLayout(this);
    main->addLayout(form, 1);
    main->addWidget(m_status);
    main->addLayout(buttons);
    resize(560, m_kind == ItemEditorKind::Note ? 360 : 520);
}

void ItemEditorDialog::load()
{
    for (ItemEditorFieldControl &control : m_controls) {
        const ItemEditorField &field = control.field();
        control.setValue(field.read ? field.read(*m_item) : m_item->property(field.property));
    }
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        m_controls[i].onEdited(this, [this, i] {
            m_edited.insert(static_cast<int>(i));
            updateEnabled();
            updateTitle();
        });
    }
    updateEnabled();
    updateTitle();
}

const ItemEditorFieldControl *ItemEditorDialog::control(const QString &property) const
{
    for (const ItemEditorFieldControl &control : m_controls) {
        if (control.field().property.compare(property, Qt::CaseInsensitive) == 0)
            return &control;
    }
    return nullptr;
}

void ItemEditorDialog::updateEnabled()
{
    for (const ItemEditorFieldControl &control : m_controls) {
        if (control.field().enabledBy.isEmpty())
            continue;
        const ItemEditorFieldControl *by = this->control(control.field().enabledBy);
        control.widget()->setEnabled(by && by->value().toBool());
    }
}

void ItemEditorDialog::updateTitle()
{
    QString subject = m_item->Subject();
    if (const ItemEditorFieldControl *c = control(QStringLiteral("Subject")))
        subject = c->value().toString();
    else if (const ItemEditorFieldControl *name = control(QStringLiteral("FullName")))
        subject = name->value().toString();
    else if (const ItemEditorFieldControl *body = control(QStringLiteral("Body")))
        subject = firstLine(body->value().toString());
    const QString kindName = editorLayout(m_kind).kindName;
    setWindowTitle(subject.trimmed().isEmpty() ? tr("Untitled - %1").arg(kindName)
                                               : tr("%1 - %2").arg(subject.trimmed(), kindName));
}

bool ItemEditorDialog::isModified() const
{
    return m_cameUnsaved || !m_edited.isEmpty();
}

QString ItemEditorDialog::statusText() const
{
    return m_status->text();
}

void ItemEditorDialog::showStatus(const QString &text)
{
    m_status->setText(text);
    m_status->setVisible(!text.isEmpty());
}

void ItemEditorDialog::applyEdits()
{
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        const ItemEditorField &field = m_controls[i].field();
        if (!m_edited.contains(static_cast<int>(i)) || field.readOnly)
            continue;
        if (field.write)
            field.write(*m_item, m_controls[i].value());
        else
            m_item->setProperty(field.property, m_controls[i].value());
    }
    m_applied = m_applied || !m_edited.isEmpty();
    m_edited.clear();
    m_cameUnsaved = !m_item->Saved();
}

bool ItemEditorDialog::save()
{
    try {
        const PointerScope busy(Qt::WaitCursor);
        applyEdits();
        auto *mail = dynamic_cast<pim::MailItem *>(m_item);
        std::optional<pim::Folder> sentItems;
        if (mail && !mail->Sent())
            sentItems = pim::storeOf(mail->parent()).defaultFolder(pim::DefaultFolder::SentMail);
        if (sentItems && sentItems->entryId() == mail->parent().entryId()) {
            // Sent Items holds what was sent; a message saved unsent there
            // would pass for one.
            pim::Store store = pim::storeOf(mail->parent());
            adopt(mail->Move(store.ensureDefaultFolder(pim::DefaultFolder::Drafts)));
        } else {
            m_item->Save();
        }
    } catch (const QvError &error) {
        showStatus(error.description());
        m_context.prompts.messageBox(PromptTitle, error.description(), PromptButtons::Ok,
                                     PromptIcon::Critical);
        return false;
    }
    m_cameUnsaved = false;
    m_applied = false;
    return true;
}

void ItemEditorDialog::saveAndClose()
{
    if (save())
        accept();
}

void ItemEditorDialog::reject()
{
    if (!isModified()) {
        QDialog::reject();
        return;
    }
    const PromptResult answer =
        m_context.prompts.messageBox(PromptTitle, tr("Do you want to save changes?"),
                                     PromptButtons::YesNoCancel, PromptIcon::Question);
    if (answer == PromptResult::Yes) {
        saveAndClose();
    } else if (answer == PromptResult::No) {
        // Edits a failed save or send left in the item go again.
        if (m_applied && !m_item->fileName().isEmpty())
            m_item->reload();
        QDialog::reject();
    }
}

void ItemEditorDialog::send()
{
    if (auto *task = dynamic_cast<pim::TaskItem *>(m_item)) {
        sendTaskRequest(*task);
        return;
    }
    auto *mail = dynamic_cast<pim::MailItem *>(m_item);
    if (!mail)
        return;
    applyEdits();
    if (mail->Recipients().isEmpty()) {
        m_context.prompts.messageBox(PromptTitle,
                                     tr("There must be at least one name in the To or Cc box."),
                                     PromptButtons::Ok, PromptIcon::Warning);
        return;
    }
    pim::SendResult result;
    try {
        const PointerScope busy(Qt::WaitCursor);
        result = m_context.transport.send(*mail);
    } catch (const QvError &error) {
        showStatus(error.description());
        m_context.prompts.messageBox(PromptTitle, error.description(), PromptButtons::Ok,
                                     PromptIcon::Critical);
        return;
    }
    m_sendResult = result;
    m_cameUnsaved = false;
    m_applied = false;
    switch (result.status) {
    case pim::SendStatus::Sent:
        showStatus(tr("The message was sent."));
        accept();
        return;
    case pim::SendStatus::Queued:
        showStatus(tr("The message waits in the Outbox until it can be sent."));
        m_context.prompts.messageBox(PromptTitle, statusText(), PromptButtons::Ok,
                                     PromptIcon::Information);
        accept();
        return;
    case pim::SendStatus::Failed:
        showStatus(result.error);
        m_context.prompts.messageBox(PromptTitle, result.error, PromptButtons::Ok,
                                     PromptIcon::Warning);
        retarget(result);
        return;
    }
}

void ItemEditorDialog::sendTaskRequest(pim::TaskItem &task)
{
    applyEdits();
    if (task.Recipients().isEmpty()) {
        m_context.prompts.messageBox(PromptTitle,
                                     tr("There must be at least one name in the To box."),
                                     PromptButtons::Ok, PromptIcon::Warning);
        return;
    }
    for (const pim::CalendarAddress &recipient : task.Recipients()) {
        if (!pim::parseMailbox(recipient.address)) {
            m_context.prompts.messageBox(
                PromptTitle,
                tr("The task request cannot be sent to \"%1\": that is not an e-mail address.")
                    .arg(recipient.address.isEmpty() ? recipient.name : recipient.address),
                PromptButtons::Ok, PromptIcon::Warning);
            return;
        }
    }
    pim::SendResult result;
    try {
        const PointerScope busy(Qt::WaitCursor);
        // The request names who asks: answers go back to the organizer.
        const pim::MailRecipient me = m_context.transport.sender();
        task.Assign();
        task.setOwner(me.name, me.address);
        task.Save();
        pim::Store store = pim::storeOf(task.parent());
        const std::unique_ptr<pim::MailItem> request = pim::newTaskRequestMessage(
            task, store.ensureDefaultFolder(pim::DefaultFolder::Outbox), me);
        result = m_context.transport.send(*request);
    } catch (const QvError &error) {
        showStatus(error.description());
        m_context.prompts.messageBox(PromptTitle, error.description(), PromptButtons::Ok,
                                     PromptIcon::Critical);
        return;
    }
    m_sendResult = result;
    m_cameUnsaved = false;
    m_applied = false;
    // The task is saved whatever became of the mail; a request left in the
    // Outbox goes with the next one that is sent.
    switch (result.status) {
    case pim::SendStatus::Sent:
        showStatus(tr("The task request was sent."));
        break;
    case pim::SendStatus::Queued:
        showStatus(tr("The task request waits in the Outbox until it can be sent."));
        m_context.prompts.messageBox(PromptTitle, statusText(), PromptButtons::Ok,
                                     PromptIcon::Information);
        break;
    case pim::SendStatus::Failed:
        showStatus(
            tr("The task request was not sent and waits in the Outbox. %1").arg(result.error));
        m_context.prompts.messageBox(PromptTitle, statusText(), PromptButtons::Ok,
                                     PromptIcon::Warning);
        break;
    }
    accept();
}

void ItemEditorDialog::retarget(const pim::SendResult &result)
{
    // The message now lives in the Outbox: keep editing that copy, so the
    // person can correct it and send again.
    std::unique_ptr<pim::Item> queued =
        m_context.ns ? m_context.ns->itemFromId(result.entryId, result.storeId) : nullptr;
    if (!queued) {
        accept();
        return;
    }
    adopt(std::move(queued));
}

void ItemEditorDialog::adopt(std::unique_ptr<pim::Item> item)
{
    m_owned = std::move(item);
    m_item = m_owned.get();
    m_applied = false;
}

} // namespace quorvale
