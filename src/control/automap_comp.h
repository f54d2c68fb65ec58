#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "control/surface_layout.h"
#include "platform/midi_out_queue.h"

namespace oskel {

// One state, or step, of one control on one page.
struct TAutoMapState {
    std::string label; // always nine characters
    int value = 0; // 0..127, or 0/1 for a toggle
    bool visible = true;
    bool codeOnly = false; // translation gives the code and leaves the value alone
    bool toggle = false; // buttons: each press flips the value
    bool absolute = true; // knobs: taken at once, without soft takeover
    bool redraw = true; // knobs: drawn again after each change
    int code = -1; // the control code the interpreter carries out
};

// A page of the surface: a left-half page (kind 1) or a right-half page (kind 2).
struct TAutoMapPage {
    struct Control {
        int current = -1;
        std::vector<TAutoMapState> states;
    };
    struct Section {
        bool selected = false;
        int step = 0;
        int highest = 0;
    };
    int kind = 1;
    std::string name;
    std::array<Control, surface::kControlCount> controls {};
    std::array<Section, surface::kSectionCount> sections {};
};

// The control surface: its pages, the translation of its messages into control codes with
// soft takeover, and its displays and section LEDs, written through the output queue. Main
// thread (the interpreter's thread). Operations on a page, control or state that does not
// exist do nothing.
class TAutoMapComp {
public:
    using Wait = std::function<void(std::chrono::milliseconds)>;

    // `wait` pauses the caller while the output thread opens the device; none: no pause.
    explicit TAutoMapComp(MidiOutQueue& output, Wait wait = {});

    // Opens the output device and puts the surface on line; false when the device cannot be
    // opened or the surface is already running.
    bool Start();
    // Takes the surface off line and closes the device; false when it was not on line.
    bool Stop();
    bool Active() const { return m_active; }
    // The output device, by name; changed only while stopped.
    void setDeviceOut(std::string name);
    const std::string& deviceOut() const { return m_deviceOut; }

    int AddPage(int kind, std::string name);
    bool AddState(int page, int control, int code, int value, std::string_view label);
    void SetVisible(int page, int control, bool on, int state);
    void SetCodeOnly(int page, int control, bool on, int state);
    void SetToggle(int page, int control, bool on, int state);
    void SetAbsolute(int page, int control, bool on, int state);
    void SetRedraw(int page, int control, bool on, int state);
    void SetCurrentState(int page, int control, int state);
    void SetStateLabel(int page, int control, std::string_view text, int state);
    void SetControlValue(int page, int control, int value, int state);
    void RefreshControl(int page, int control, int state);
    void SelectPage(int page, bool keepSections);
    void SelectSection(int page, int section, int step);
    int SelectedSection(int page) const;
    // As the performer's press of the section's button: selects the section on the page shown
    // in its half, or steps through its banks when it is selected already.
    void SectionButton(int section);
    int ControlState(int page, int control) const;

    void ShowText(int line, int column, std::string_view text, int key);
    void ClearDisplay(int half);
    void ShowMessage(int line, std::string_view text);

    // The code for a message from the surface: -1 when it means nothing here, -2 for a
    // button's release that does nothing, -10..-17 for a section button, -20..-23 for a
    // paging button.
    int Translate(int status, int data1, int data2);

    // Both halves' paging buttons off, as the instrument's own pages want; every page gone.
    void setPaging(bool left, bool right);
    void clearPages();
    int pageCount() const { return static_cast<int>(m_pages.size()); }
    const TAutoMapPage* page(int index) const;
    int currentPage(surface::Half half) const;
    // The value the control last sent, and where it was last picked up.
    int hardwareValue(int control) const;

private:
    struct Hardware {
        int value = 0;
        int page = -1;
        int state = -1;
        bool pickedUp = false;
    };

    TAutoMapPage* pageAt(int page);
    TAutoMapState* stateAt(int page, int control, int state);
    std::string valueText(int control, const TAutoMapState* state) const;
    static std::string cellName(const TAutoMapState* state);
    const TAutoMapState* currentStateOf(int page, int control) const;
    bool isShown(int page, int control) const;
    void drawControl(int page, int control);
    void drawSection(int page, int section);
    void setSectionStep(TAutoMapPage& page, int section, int step);
    void page(surface::Half half, int direction);
    int takeOver(int page, int control, TAutoMapState& state, int value);
    void send(std::vector<std::uint8_t> bytes, int key = 0);
    void led(int section, bool on);

    MidiOutQueue& m_output;
    Wait m_wait;
    std::vector<TAutoMapPage> m_pages;
    std::array<int, 2> m_current { -1, -1 };
    std::array<bool, 2> m_paging { true, true };
    std::array<Hardware, surface::kControlCount> m_hardware {};
    std::string m_deviceOut;
    bool m_active = false;
};

// A label as the display shows it: blanks taken out; kept when eight characters or fewer,
// otherwise without its lower-case vowels and cut to eight; padded to nine.
std::string surfaceLabel(std::string_view text);

} // namespace oskel
