// The secondary output window and the TV-out preview, bound to their logic.
#include <QPushButton>
#include <algorithm>

#include "persistence/secondary_output_keys.h"
#include "render/gl/drawing_self_test.h"
#include "ui/custom_coordinates_dialog.h"
#include "ui/output_view.h"
#include "ui/secondary_output_places.h"
#include "ui/tv_output_monitor.h"

namespace oskel {

namespace {

constexpr std::int32_t kTvOutMode = 2;

} // namespace

void InstrumentWindows::bindSecondaryOutput()
{
    const auto keep = [this] {
        if (!m_links->updateSettings) {
            return;
        }
        const DisplayOptions& display = m_links->performance.options().display;
        const auto problem = m_links->updateSettings(
            [&display](IniProfile& ini) { writeSecondaryOutputKeys(ini, display); });
        if (problem) {
            reportFailure(*problem);
        }
    };
    m_secondaryPlaces = std::make_unique<SecondaryOutputPlaces>(
        *m_secondary, *m_main, m_links->showSecondOutput,
        [this](const std::string& message) { reportFailure(message); }, keep);
    m_secondaryLogic = std::make_unique<SecondaryOutput>(m_links->performance, *m_secondaryPlaces);
    QObject::connect(&m_secondary->expandButton(), &QPushButton::clicked, m_secondary.get(),
        [this] { guarded([this] { m_secondaryLogic->expand(); }); });
    QObject::connect(&m_secondary->customButton(), &QPushButton::clicked, m_secondary.get(),
        [this] { askCustomCoordinates(); });
    QObject::connect(m_secondary.get(), &SecondaryOutputWindow::closeRefused, m_secondary.get(),
        [this] { requestClose(); });
    bindOutput(m_secondary->view(), OutputMouse::Surface::SecondaryOutput);
    QObject::connect(&m_secondary->view(), &OutputView::moved, m_secondary.get(), [this] {
        m_secondary->showPointer(m_links->performance.options().display.ShowMouseOverSecDisplay);
    });
}

// The self-tests draw on the secondary output's surface before the frame thread starts.
DrawingSelfTests InstrumentWindows::runSelfTests()
{
    DrawingSelfTests tests;
    if (m_links->secondOutputSurface == nullptr) {
        tests.primaryPassed = false;
        tests.secondaryMonitorPassed = false;
        tests.problem = "The secondary output has no drawing surface.";
        return tests;
    }
    GlSurface& surface = *m_links->secondOutputSurface;
    const DrawingSelfTestResult primary = runDrawingSelfTest(surface);
    tests.primaryPassed = primary.passed;
    const secondary_output::Monitors monitors = m_secondaryPlaces->monitors();
    const auto other = std::find_if(monitors.begin(), monitors.end(),
        [](const secondary_output::Monitor& each) { return !each.primary; });
    DrawingSelfTestResult onOther { true, {} };
    if (other != monitors.end()) {
        // The test on the first monitor that is not the primary one.
        const QPoint before = m_secondary->pos();
        m_secondary->move(other->area.left, other->area.top);
        onOther = runDrawingSelfTest(surface);
        m_secondary->move(before);
    }
    tests.secondaryMonitorPassed = primary.passed && onOther.passed;
    const std::string& problem = primary.passed ? onOther.problem : primary.problem;
    if (!problem.empty()) {
        tests.problem = "The secondary output cannot be drawn: " + problem;
    }
    return tests;
}

void InstrumentWindows::showSecondaryOutput()
{
    if (m_links->performance.options().display.displayOption == kTvOutMode) {
        m_tvOut->show();
    }
    if (!m_secondaryLogic->inUse()) {
        return;
    }
    const DrawingSelfTests tests = runSelfTests();
    if (!tests.problem.empty()) {
        m_links->performance.ui().setStatusText(tests.problem);
    }
    guarded([&] { m_secondaryLogic->start(tests); });
}

void InstrumentWindows::askCustomCoordinates()
{
    afterHandler([this] {
        const secondary_output::Monitors monitors = m_secondaryPlaces->monitors();
        const ScreenRect shown = secondary_output::customFields(
            monitors, m_links->performance.options().display.secondary);
        runModal([&] {
            CustomCoordinatesDialog dialog(
                shown, secondary_output::desktopArea(monitors), m_secondary.get());
            dialog.move(m_secondary->pos());
            if (dialog.exec() != QDialog::Accepted || m_closed) {
                return;
            }
            const ScreenRect entered = dialog.entered();
            guarded([&] {
                m_secondaryLogic->expandCustom(
                    entered.left, entered.top, entered.width, entered.height);
            });
        });
    });
}

void InstrumentWindows::toggleSecondaryOutput()
{
    if (m_secondaryLogic != nullptr) {
        m_secondaryLogic->toggle();
    }
}

} // namespace oskel
