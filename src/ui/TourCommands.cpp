#include "TourCommands.h"

#include "platform/registry/Registry.h"
#include "platform/registry/RegistryPaths.h"
#include "settings/RegSettings.h"
#include "settings/RegValueNames.h"
#include "support/Prompts.h"
#include "timecards/CommandTable.h"
#include "ui/GuardedApplication.h"
#include "ui/TourPages.h"
#include "ui/TourWindow.h"

#include <QCheckBox>
#include <QSignalBlocker>

namespace quorvale {

namespace {

// Set once the first start has offered the tour, whatever the answer: the
// offer is made once, and the Help menu keeps the tour from then on.
const QString TutorialOffered = QStringLiteral("Tutorial Offered");

QString name(const char *value)
{
    return QString::fromLatin1(value);
}

} // namespace

TourCommands::TourCommands(QWidget &mainWindow, Registry &registry, RegSettings &settings,
                           Prompts &prompts)
    : m_mainWindow(mainWindow), m_registry(registry), m_settings(settings), m_prompts(prompts)
{
}

TourCommands::~TourCommands()
{
    // The tour belongs to the window and may stay a moment longer; its check
    // box must not write through settings that are gone.
    QObject::disconnect(m_tipsChoice);
    if (m_tour)
        m_tour->close();
}

bool TourCommands::handles(int toolId) const
{
    return toolId == ToolId::Tutorial;
}

void TourCommands::run(int toolId)
{
    if (toolId == ToolId::Tutorial)
        openTour(0);
}

void TourCommands::atStart()
{
    RegistryKey key = m_registry.openSubKey(name(RegistryPaths::Settings));
    if (key.readInt(TutorialOffered) != 1) {
        // Word for word as people have always read it, its slips too: their
        // notes and the support answers quote it.
        const QString text =
            QStringLiteral("Would you like to take to take a short Quorvale  ") +
            QStringLiteral("\r\n") + QStringLiteral("tutorial?") + QStringLiteral("\r\n\r\n") +
            QStringLiteral("Click Yes to take the tutorial.  Click No to begin "
                           "using  ") +
            QStringLiteral("\r\n") + QStringLiteral("Quorvale.") + QStringLiteral("\r\n\r\n") +
            QStringLiteral("The tutorial can always be run from the Help menu.");
        const PromptResult answer =
            m_prompts.messageBox(QStringLiteral(" Take Quorvale Tutorial?"), text,
                                 PromptButtons::YesNo, PromptIcon::Question);
        key.writeInt(TutorialOffered, 1);
        if (answer == PromptResult::Yes)
            openTour(0);
        return;
    }
    if (!m_settings.settings.startupTips)
        return;
    const int count = static_cast<int>(mainWindowTourPages().size());
    // A number another version left, or one edited by hand, still names a page.
    const int page = ((m_settings.settings.startupTipNumber % count) + count) % count;
    const auto following = static_cast<qint16>((page + 1) % count);
    key.writeInt(name(RegValue::StartupTipNumber), following);
    m_settings.settings.startupTipNumber = following;
    openTour(page);
}

void TourCommands::openTour(int page)
{
    // A tour closed a moment ago is still going; a new one takes its place.
    if (m_tour && !m_tour->isVisible()) {
        QObject::disconnect(m_tipsChoice);
        m_tour = nullptr;
    }
    if (m_tour) {
        m_tour->showPage(page);
    } else {
        m_tour = new TourWindow(m_mainWindow, page, &m_mainWindow);
        m_tour->startupTipsBox().setChecked(m_settings.settings.startupTips);
        m_tipsChoice = QObject::connect(&m_tour->startupTipsBox(), &QCheckBox::toggled, m_tour,
                                        [this](bool on) { startupTipsChosen(on); });
    }
    m_tour->show();
    m_tour->raise();
    m_tour->activateWindow();
}

void TourCommands::startupTipsChosen(bool on)
{
    try {
        m_registry.openSubKey(name(RegistryPaths::Settings))
            .writeInt(name(RegValue::StartupTips), on ? 1 : 0);
        m_settings.settings.startupTips = on;
    } catch (const std::exception &error) {
        // Not written: the box shows what the next start will do.
        if (m_tour) {
            const QSignalBlocker quiet(&m_tour->startupTipsBox());
            m_tour->startupTipsBox().setChecked(!on);
        }
        auto *app = dynamic_cast<GuardedApplication *>(QCoreApplication::instance());
        if (!app || !app->handle(error))
            throw;
    }
}

} // namespace quorvale
