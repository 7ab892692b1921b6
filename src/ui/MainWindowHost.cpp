#include "MainWindowHost.h"

#include "platform/core/QvError.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryKey.h"
#include "settings/StartUp.h"
#include "support/ErrorHandler.h"

namespace quorvale {

MainWindowHost::MainWindowHost(StartUp &startUp, Registry &registry, Prompts &prompts,
                               ErrorHandler &errors)
    : m_startUp(startUp),
      m_commands(startUp.workingSet(), startUp.store().cnnLink(), startUp.workingSetContext(),
                 startUp.settings().settings.showHiddenTimeCards, prompts,
                 [&registry](const QString &clause) {
                     registry.openSubKey(QStringLiteral("Settings"))
                         .writeText(QStringLiteral("Default Sort"), clause);
                 }),
      m_window(
          std::make_unique<frmTimeCard>(startUp.workingSet(), m_commands, startUp.options().terms))
{
    m_inspector = std::make_unique<ItemInspector>(
        prompts, &startUp.outlook().nameSpace(),
        startUp.settings().settings.mailCommand.isEmpty()
            ? pim::MailTransport()
            : pim::MailTransport(startUp.settings().settings.mailCommand),
        m_window.get());
    pim::setInspector(m_inspector.get());
    m_window->applyToolChanges(startUp.toolChanges());
    m_window->setCommandGuard([&startUp] { return startUp.outlook().EnsureOutlook(); });
    m_window->setErrorHandler([&errors](const std::exception &error) {
        if (const auto *qv = dynamic_cast<const QvError *>(&error))
            errors.handle(*qv);
        else
            errors.handle(ErrorNumber::Generic, QString::fromUtf8(error.what()),
                          QStringLiteral("Quorvale"));
    });
    m_window->setCloseHandler([this](const WindowState &state) {
        const int dpi = m_window->logicalDpiX();
        m_startUp.Form_QueryUnload(WindowClosing{
            state.lastRecord, m_startUp.workingSet().orderBy(),
            QSize(pixelsToTwips(state.size.width(), dpi), pixelsToTwips(state.size.height(), dpi)),
            state.showHidden, m_startUp.viewTimeDetail(), m_startUp.viewActiveTaskList()});
    });
}

MainWindowHost::~MainWindowHost()
{
    pim::setInspector(nullptr);
}

void MainWindowHost::show()
{
    const int dpi = m_window->logicalDpiX();
    const QSize twips = m_startUp.windowSizeTwips();
    m_window->resize(twipsToPixels(twips.width(), dpi), twipsToPixels(twips.height(), dpi));
    m_window->show();
    m_startUp.Form_Activate();
}

} // namespace quorvale
