#include <gtest/gtest.h>

#include "control/control_surface.h"
#include "control/midi_interpreter.h"
#include "control/surface_pages.h"
#include "control/surface_simulator.h"
#include "core/control_table.h"
#include "core/midi_assignment_items.h"
#include "support/performance_with_controls.h"
#include "support/pretend_clip.h"

namespace oskel {
namespace {

using namespace surface_pages;

// The output queue wired straight to a simulated surface: what the instrument sends is on its
// displays at once.
class WiredQueue : public MidiOutQueue {
public:
    explicit WiredQueue(SurfaceSimulator& surface)
        : m_surface(surface)
    {
    }
    void open(const std::string& device) override
    {
        m_state = device == "Surface" ? State::Open : State::Failed;
    }
    void close() override { m_state = State::Closed; }
    State state() const override { return m_state; }
    void send(std::vector<std::uint8_t> bytes, int) override { m_surface.receiveSysex(bytes); }
    void controlChange(std::uint8_t controller, std::uint8_t value) override
    {
        m_surface.receive(MidiMessage { 0xB0, controller, value });
    }

private:
    SurfaceSimulator& m_surface;
    State m_state = State::Closed;
};

std::string cells(std::initializer_list<const char*> texts)
{
    std::string line;
    for (const char* text : texts) {
        std::string cell(text);
        cell.resize(9, ' ');
        line += cell;
    }
    return line;
}

class ControlSurfaceTest : public ::testing::Test, public test::PerformanceWithControls {
protected:
    void SetUp() override
    {
        for (std::size_t k = 0; k < kMidiAssignmentItems.size(); ++k) {
            performance.options().midi.controllers[k] = kMidiAssignmentItems[k].defaultController;
        }
        ASSERT_TRUE(surface.start("Surface"));
    }
    int move(int control, int value) { return surface.translate(0xB0, control, value); }

    SurfaceSimulator display;
    WiredQueue queue { display };
    std::vector<std::string> effectNames;
    ControlSurface surface { { performance, events, queue, {},
        [this](int) { return effectNames; } } };
};

// Started, the surface shows slot 1's faders on the right and its pads on the left, with the
// two sections' LEDs lit.
TEST_F(ControlSurfaceTest, StartingShowsSlotOnesFadersAndPads)
{
    EXPECT_TRUE(display.online());
    EXPECT_EQ(ui.statusTexts.back(), "Novation Automap Started");
    EXPECT_EQ(display.line(2),
        cells({ "", "In Point", "OutPoint", "Speed", "L Blend", "Luma", "Opacity", "Volume" }));
    EXPECT_EQ(display.line(4), cells({ "", "  0", "  0", "  0", "  0", "127", "127", "127" }));
    EXPECT_EQ(display.line(1),
        cells({ "Q Trig", "W Trig", "E Trig", "R Trig", "T Trig", "Y Trig", "U Trig", "I Trig" }));
    for (int section = 0; section < 8; ++section) {
        EXPECT_EQ(display.led(section), section == 4 || section == 5) << section;
    }

    WiredQueue elsewhere { display };
    ControlSurface other { { performance, events, elsewhere, {} } };
    EXPECT_FALSE(other.start("No Such Device"));
    EXPECT_EQ(ui.statusTexts.back(), "Failed to start Novation Automap");
}

TEST_F(ControlSurfaceTest, EachKindOfControlTranslatesToItsCode)
{
    struct Case {
        const char* what;
        int status;
        int data1;
        int data2;
        int code;
    };
    const std::vector<Case> cases {
        { "pad 1 on the first step: slot 1's note", 0x90, 36, 127, 701 },
        { "a note that is no pad", 0x90, 44, 127, -1 },
        { "the opacity fader: its controller", 0xB0, 22, 100, 67 },
        { "a toggle's press", 0xB0, 41, 127, 404 },
        { "a toggle's release", 0xB0, 41, 0, -2 },
        { "a section button's press", 0xB0, 83, 1, -13 },
        { "a section button's release", 0xB0, 83, 0, -2 },
        { "the right half's paging button", 0xB0, 90, 1, -22 },
        { "a number that is no control", 0xB0, 67, 5, -1 },
        { "a program change", 0xC0, 22, 0, -1 },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(surface.translate(c.status, c.data1, c.data2), c.code) << c.what;
    }
}

// A knob that is far from the value does nothing until it reaches it; meanwhile its cell shows
// where it is and, in brackets, the value it has to reach.
TEST_F(ControlSurfaceTest, SoftTakeoverWaitsForTheKnobToReachTheValue)
{
    TAutoMapComp& comp = surface.surface();
    comp.SetControlValue(clipPage(1), 19, 100, 0);
    EXPECT_EQ(move(19, 10), -1);
    EXPECT_EQ(display.line(4).substr(27, 9), " 10(100) ");
    EXPECT_EQ(move(19, 60), -1);
    EXPECT_EQ(move(19, 101), 250) << "passing the value picks it up";
    EXPECT_EQ(move(19, 30), 250);
    EXPECT_EQ(display.line(4).substr(27, 9), " 30      ");
}

// Pressing the selected section's button again steps through its banks; the pads' banks are
// the odd and the even slots.
TEST_F(ControlSurfaceTest, PressingTheSelectedSectionAgainStepsThroughItsBanks)
{
    const std::string twoD
        = cells({ "2D Size", "2D Width", "2D Heght", "2D Aspct", "2D X Pos", "2D Y Pos", "", "" });
    EXPECT_EQ(move(83, 1), -13);
    EXPECT_EQ(display.line(1), twoD);
    EXPECT_TRUE(display.led(3));
    EXPECT_FALSE(display.led(4));
    move(83, 1);
    EXPECT_EQ(display.line(1),
        cells(
            { "3D Size", "3D XRot", "3D YRot", "3D ZRot", "3D HAry", "3D VAry", "3D Space", "" }));
    move(83, 1);
    EXPECT_EQ(display.line(1), cells({ "", "", "", "", "", "", "", "" }))
        << "the effect's knobs are hidden until a plug-in names them";
    move(83, 1);
    EXPECT_EQ(display.line(1), twoD);

    move(84, 1);
    EXPECT_EQ(surface.translate(0x90, 36, 127), 701);
    move(84, 1);
    EXPECT_EQ(surface.translate(0x90, 36, 127), 703);
    EXPECT_EQ(display.line(1).substr(0, 9), "A Trig   ");
}

// The clip inspector's pages bring up the matching banks of the knobs; "FreeFrame" without a
// plug-in says so, and "Main" presses the pads' section button.
TEST_F(ControlSurfaceTest, TheInspectorsPagesBringUpTheirBanks)
{
    surface.inspectorPageChosen("3D", 1);
    EXPECT_EQ(display.line(1),
        cells(
            { "3D Size", "3D XRot", "3D YRot", "3D ZRot", "3D HAry", "3D VAry", "3D Space", "" }));
    EXPECT_TRUE(display.led(3));
    surface.inspectorPageChosen("2D", 1);
    EXPECT_EQ(display.line(1),
        cells({ "2D Size", "2D Width", "2D Heght", "2D Aspct", "2D X Pos", "2D Y Pos", "", "" }));
    surface.inspectorPageChosen("FreeFrame", 1);
    EXPECT_EQ(display.line(1), "No Plugin Loaded" + std::string(56, ' '));
    surface.inspectorPageChosen("Main", 1);
    EXPECT_TRUE(display.led(4));
    EXPECT_FALSE(display.led(3));

    surface.stop();
    surface.inspectorPageChosen("3D", 1); // off line: nothing is sent
    surface.inspectorPageChosen("2D", 0); // no current clip
}

TEST(SurfaceLabel, BlanksGoAndLongLabelsLoseTheirVowels)
{
    EXPECT_EQ(surfaceLabel("Luminance Key"), "LmnncKy  ");
    EXPECT_EQ(surfaceLabel("Speed"), "Speed    ");
    EXPECT_EQ(surfaceLabel(" a b "), "ab       ");
    EXPECT_EQ(surfaceLabel("Cross Fader Level"), "CrssFdrL ");
}

// What changes in the performance shows on the surface, whoever changed it.
TEST_F(ControlSurfaceTest, ChangesOfThePerformanceShowOnTheirControls)
{
    test::pretendLoaded(performance.slot(1), 1270000);
    performance.slot(1).LumaKeyLevel = 765; // as the event processor would set it

    surface.refresh();
    EXPECT_EQ(display.line(4).substr(45, 9), "  0      ");

    surface.patchLoaded();
    EXPECT_EQ(display.line(1), "Patch Loaded" + std::string(60, ' '));
}

// A plug-in's parameters name the effect knobs' bank, which comes up while the slot's page is
// shown; the knobs show the parameters' values.
TEST_F(ControlSurfaceTest, AnEffectsParametersLabelItsKnobs)
{
    effectNames = { "1 - Amount", "2 - Blur Radius" };
    performance.slot(1).FFfilename = "Blur.so";
    performance.slot(1).FFparams[0] = 0.5f;
    surface.refresh();
    EXPECT_EQ(display.line(1), cells({ "Amount", "BlrRds", "", "", "", "", "", "" }));
    EXPECT_EQ(display.line(3).substr(0, 9), "  0 (64) ") << "the knob has not reached 64 yet";
    EXPECT_TRUE(display.led(3));
}

// The opacity fader reaches the slot through the interpreter, as its controller would.
TEST_F(ControlSurfaceTest, AFaderMovesItsParameterThroughTheInterpreter)
{
    test::pretendLoaded(performance.slot(1), 1270000);
    performance.globals().selectedSlot = 1;
    performance.options().midi.channel = 1;
    SelectionOnlyInspector inspector { performance };
    MidiInputPorts ports;
    EffectHostPort effects;
    MidiInterpreter interpreter { { performance, events, inspector, ports, effects, surface,
        [] { return 44100; } } };
    events.take();
    interpreter.ProcessMidiMessage(0xB0, 22, 0);
    const auto sent = events.take();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back().Code, event_code::kTransparency);
    EXPECT_EQ(sent.back().Value, 256) << "the fader at the bottom: fully transparent";
}

} // namespace
} // namespace oskel
