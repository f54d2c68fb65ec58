#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "control/secondary_output_layout.h"
#include "core/performance.h"

namespace oskel {

// What the drawing self-tests made at start-up found: whether a picture drawn into the
// secondary output's surface reads back, first where it stands (the primary test), then on
// the first monitor that is not the primary one. `problem` says why a test failed.
struct DrawingSelfTests {
    bool primaryPassed = true;
    bool secondaryMonitorPassed = true;
    std::string problem;
};

// The secondary output "Secondary Output", shown in output mode 1: collapsed it is a small
// control window on the main window's monitor; expanded it fills a monitor (the one the
// window is on) or the custom rectangle, and the whole composition is stretched into it.
// Expanding and collapsing keep the window's place and the custom rectangle in the options
// the settings file keeps. The drawing surface follows the window, so playback goes on while
// the window changes: nothing is rebuilt. Main thread only.
class SecondaryOutput {
public:
    // The window as this logic needs it; the windows implement it.
    class Window {
    public:
        virtual ~Window() = default;
        virtual secondary_output::Monitors monitors() const = 0;
        // The monitor the main window is on; -1 when not known.
        virtual int mainWindowMonitor() const = 0;
        // Where the secondary output window stands now (its top left, frame included, desktop
        // coordinates), as the show calls placed it unless the performer moved it.
        virtual ScreenPoint position() const = 0;
        // Borderless over `area`, the controls hidden, the composition drawn into it.
        virtual void showExpanded(const ScreenRect& area) = 0;
        // With a border at the top left of `area`, the controls shown with `heading`, a client
        // area of `area`'s size; nothing drawn.
        virtual void showCollapsed(const ScreenRect& area, std::string_view heading) = 0;
        // Tells the performer, once the current handler has returned.
        virtual void tell(std::string_view message) = 0;
    };

    SecondaryOutput(Performance& performance, Window& window);

    static constexpr std::string_view kCaption = "Secondary Output";
    static constexpr std::string_view kHeading = "Secondary Ouput Display";
    static constexpr std::string_view kPrimaryOnlyHeading
        = "Secondary Ouput Display (Only available on Primary Monitor)";
    // The heading of the collapsed window: a failed test says the output may only work on
    // the primary monitor (expanding is still possible).
    static std::string_view heading(const DrawingSelfTests& tests);

    // Output mode 1 only: the other modes have no secondary output and every call below does
    // nothing.
    bool inUse() const;
    bool expanded() const { return m_expanded; }

    // Start-up: the self-tests' results, then the window collapsed, or expanded when the
    // settings say it was.
    void start(const DrawingSelfTests& tests);
    // "Expand output to full screen on this monitor": over the whole monitor the window is on.
    // Tab and start-up expand as last time instead (toggle, start).
    void expand();
    // "Position output anywhere on your desktop", after the dialog's "OK": the rectangle is
    // checked (refused or cut, with a message), kept, and the output expanded over it. False
    // when refused; the output is then left as it was.
    bool expandCustom(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height);
    void collapse();
    // Tab: collapse when expanded, else expand as last time (the custom rectangle or a monitor).
    void toggle();

private:
    void expandAsKept();
    void expandOverMonitor(bool whereTheWindowIs);
    void expandOverCustom();
    void showExpanded(const ScreenRect& area);
    void tellOnce(const std::string& problem);
    SecondaryOutputPlace& place();

    Performance& m_performance;
    Window& m_window;
    DrawingSelfTests m_tests;
    bool m_expanded = false;
    // Where the collapsed window was put; a window moved from there expands where it is.
    std::optional<ScreenPoint> m_collapsedAt;
    std::string m_lastTold; // a problem is told once, until another one comes
};

} // namespace oskel
