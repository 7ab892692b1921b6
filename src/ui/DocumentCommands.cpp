#include "DocumentCommands.h"

#include "data/DataStore.h"
#include "outlook/DocumentOpening.h"
#include "outlook/Documents.h"
#include "platform/shell/Shell.h"
#include "settings/RegSettings.h"
#include "timecards/CommandTable.h"
#include "timecards/TimeCardEditor.h"
#include "ui/frmNewDocument.h"
#include "ui/frmTimeCard.h"

#include <QFileDialog>
#include <exception>

namespace quorvale {

DocumentCommands::DocumentCommands(frmTimeCard &window, DataStore &store,
                                   const RegSettings &settings, TimeCardEditor &editor,
                                   Prompts &prompts)
    : m_window(window), m_store(store), m_settings(settings), m_editor(editor), m_prompts(prompts)
{
}

bool DocumentCommands::handles(int toolId) const
{
    return toolId == ToolId::NewDocument;
}

void DocumentCommands::run(int)
{
    const std::optional<qint64> timeCardId = m_editor.currentTimeCardId();
    Documents documents(m_store.cnnLink(), m_prompts);
    NewDocumentChoice initial;
    initial.source = timeCardId ? DocumentSource::NewLinked : DocumentSource::NewUnlinked;
    initial.directory = m_settings.settings.defaultFileDirectory;

    QString created;
    bool linked = false;
    // A database failure must not unwind through the dialog's event loop: it is
    // carried out and raised again once the dialog is gone.
    std::exception_ptr failure;
    frmNewDocument *shown = nullptr;
    const auto apply = [&](const NewDocumentChoice &c) -> bool {
        try {
            if (c.source == DocumentSource::ExistingFile) {
                if (!timeCardId)
                    return false;
                const QString path =
                    QFileDialog::getOpenFileName(shown, QStringLiteral("Select Document to Link"),
                                                 c.directory, QStringLiteral("All Files (*)"));
                if (path.isEmpty())
                    return false;
                linked = documents.linkExisting(*timeCardId, path).has_value();
                return linked;
            }
            NewDocumentRequest request;
            request.type = c.type;
            request.directory = c.directory;
            request.fileName = c.fileName;
            if (c.source == DocumentSource::NewLinked)
                request.timeCardId = timeCardId;
            const NewDocumentOutcome outcome = documents.createNew(request);
            if (!outcome.created())
                return false;
            created = outcome.path;
            linked = outcome.documentId.has_value();
            return true;
        } catch (...) {
            failure = std::current_exception();
            if (shown)
                shown->reject();
            return false;
        }
    };
    frmNewDocument dialog(QStringLiteral(" New Document"), initial, timeCardId.has_value(), apply,
                          &m_window);
    shown = &dialog;
    dialog.exec();
    shown = nullptr;
    if (failure)
        std::rethrow_exception(failure);
    if (linked && timeCardId && m_linksChanged)
        m_linksChanged(*timeCardId);
    if (!created.isEmpty())
        openDocument(created);
}

bool DocumentCommands::openDocument(const QString &path)
{
    DocumentShell desktop;
    desktop.open = [](const QString &file) { return shell::openPath(file); };
    desktop.openWith = [this](const QString &file) {
        const QString program = QFileDialog::getOpenFileName(&m_window, QStringLiteral("Open With"),
                                                             QStringLiteral("/usr/bin"));
        return !program.isEmpty() && shell::startProgram(program, {file});
    };
    return OpenUserDoc(path, desktop, m_prompts);
}

} // namespace quorvale
