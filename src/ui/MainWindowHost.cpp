#include "MainWindowHost.h"

#include "platform/core/QvError.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryKey.h"
#include "settings/StartUp.h"
#include "support/ErrorHandler.h"
#include "timecards/Rates.h"
#include "timecards/TimeCardEditor.h"
#include "timecards/TimeFormat.h"
#include "ui/TimeCardBinder.h"

namespace quorvale {

namespace {

EditorOptions editorOptions(const StartUp &startUp)
{
    const AdminOptions &o = startUp.options();
    const ValidationFlags &v = startUp.settings().validation;
    EditorOptions e;
    e.validation = ValidationOptions{
        o.contactInUse,   o.contactRequired,   o.activity1InUse,  o.activity1Required,
        o.activity2InUse, o.activity2Required, o.rateSourceFixed, v.endBeforeStart,
        v.noTimeSpent,    v.noHourlyRate,      v.noDescription,   v.noJobOrder,
        o.terms,          o.jobOrderTerm};
    e.autoSave = startUp.settings().journal.autoSave;
    return e;
}

RateOptions rateOptions(const AdminOptions &o)
{
    return RateOptions{o.terms,           o.contactInUse,    o.activity1InUse, o.activity2InUse,
                       o.rateSourceFixed, o.fixedRateSource, o.fixedRateLevel, o.fixedHourlyRate};
}

} // namespace

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
    EditorHooks hooks;
    hooks.showRow = [this] { m_window->showCurrent(); };
    m_editor = std::make_unique<TimeCardEditor>(startUp.workingSet().timeCards(), prompts,
                                                editorOptions(startUp), std::move(hooks));
    const AdminOptions &options = startUp.options();
    BinderContext binding;
    binding.billingInUse = options.billingInUse;
    binding.rates.options = rateOptions(options);
    binding.rates.realizationInUse = options.realizationInUse;
    binding.rates.lookup = [&startUp](const QString &source) {
        return startUp.commands().ratesFor(source, startUp.options().terms);
    };
    binding.staffId = startUp.settings().staffId;
    m_binder = std::make_unique<TimeCardBinder>(*m_editor, std::move(binding));
    m_commands.setLeaveCurrent([this] {
        if (m_editor->leaveCurrent())
            return true;
        m_window->focusField(m_editor->focus().field);
        return false;
    });
    m_window->bind(m_binder.get(), qtTimeFormat(startUp.timeFormat()),
                   offeredRateSources(rateOptions(options)));
    m_editor->adoTimeCardRS_MoveComplete();
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
    m_commands.setLeaveCurrent({});
    m_window->bind(nullptr, QString(), QStringList());
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
