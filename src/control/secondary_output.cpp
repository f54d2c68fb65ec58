#include "control/secondary_output.h"

namespace oskel {

namespace {

constexpr std::int32_t kSecondaryOutputMode = 1;

} // namespace

SecondaryOutput::SecondaryOutput(Performance& performance, Window& window)
    : m_performance(performance)
    , m_window(window)
{
}

std::string_view SecondaryOutput::heading(const DrawingSelfTests& tests)
{
    return tests.primaryPassed && tests.secondaryMonitorPassed ? kHeading : kPrimaryOnlyHeading;
}

bool SecondaryOutput::inUse() const
{
    return m_performance.options().display.displayOption == kSecondaryOutputMode;
}

SecondaryOutputPlace& SecondaryOutput::place()
{
    return m_performance.options().display.secondary;
}

void SecondaryOutput::start(const DrawingSelfTests& tests)
{
    m_tests = tests;
    if (!inUse()) {
        return;
    }
    if (m_performance.options().display.secondaryExpanded) {
        expandAsKept();
    } else {
        collapse();
    }
}

void SecondaryOutput::expand()
{
    if (!inUse()) {
        return;
    }
    place().useCustomMode = false;
    expandOverMonitor(true);
}

bool SecondaryOutput::expandCustom(
    std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height)
{
    if (!inUse()) {
        return false;
    }
    const secondary_output::CustomRect checked
        = secondary_output::checkCustomRect(m_window.monitors(), left, top, width, height);
    if (!checked.message.empty()) {
        m_window.tell(checked.message);
    }
    if (!checked.area) {
        return false;
    }
    const ScreenRect& area = *checked.area;
    SecondaryOutputPlace& kept = place();
    kept.customLeft = area.left;
    kept.customTop = area.top;
    kept.customRight = area.left + area.width;
    kept.customBottom = area.top + area.height;
    kept.useCustomMode = true;
    expandOverCustom();
    return true;
}

void SecondaryOutput::collapse()
{
    if (!inUse()) {
        return;
    }
    m_expanded = false;
    m_performance.options().display.secondaryExpanded = false;
    const ScreenRect area
        = secondary_output::collapsedPlace(m_window.monitors(), m_window.mainWindowMonitor());
    m_collapsedAt = ScreenPoint { area.left, area.top };
    m_window.showCollapsed(area, heading(m_tests));
}

void SecondaryOutput::toggle()
{
    if (!inUse()) {
        return;
    }
    if (m_expanded) {
        collapse();
    } else {
        expandAsKept();
    }
}

void SecondaryOutput::expandAsKept()
{
    if (place().useCustomMode) {
        expandOverCustom();
    } else {
        expandOverMonitor(false);
    }
}

// Over the monitor the window is on, or else the one it was on when last expanded unless the
// performer has since moved the collapsed window.
void SecondaryOutput::expandOverMonitor(bool whereTheWindowIs)
{
    SecondaryOutputPlace& kept = place();
    const ScreenPoint now = m_window.position();
    const bool moved = whereTheWindowIs || (!m_expanded && m_collapsedAt && now != *m_collapsedAt);
    const bool keptPlace = kept.left.has_value() && kept.top.has_value();
    const ScreenPoint from = keptPlace && !moved ? ScreenPoint { *kept.left, *kept.top } : now;
    const secondary_output::Placement placed
        = secondary_output::monitorPlace(m_window.monitors(), from);
    if (!placed.problem.empty()) {
        tellOnce(placed.problem);
    }
    if (placed.monitor < 0) {
        return;
    }
    kept.left = placed.area.left;
    kept.top = placed.area.top;
    kept.monitor = placed.monitor;
    showExpanded(placed.area);
}

void SecondaryOutput::showExpanded(const ScreenRect& area)
{
    m_expanded = true;
    m_collapsedAt.reset();
    m_performance.options().display.secondaryExpanded = true;
    m_window.showExpanded(area);
}

void SecondaryOutput::expandOverCustom()
{
    const secondary_output::CustomRect checked
        = secondary_output::storedCustomRect(m_window.monitors(), place());
    if (!checked.area) {
        // The kept rectangle no longer lies on any monitor: a whole monitor instead.
        tellOnce(checked.message);
        expandOverMonitor(false);
        return;
    }
    if (!checked.message.empty()) {
        tellOnce(checked.message);
    }
    showExpanded(*checked.area);
}

void SecondaryOutput::tellOnce(const std::string& problem)
{
    if (problem != m_lastTold) {
        m_lastTold = problem;
        m_window.tell(problem);
    }
}

} // namespace oskel
