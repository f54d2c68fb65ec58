// MIDI through the whole instrument: bytes on the loopback device, the input device opened at
// start, the input buffer or direct mode, the interpreter, the event processor and the audio
// thread.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <thread>

#include <gtest/gtest.h>

#include "control/midi_parameters.h"
#include "control/slot_grid_layout.h"
#include "support/clip_maker.h"
#include "support/temp_dir.h"
#include "test_instrument.h"

namespace oskel {
namespace {

using test::TestInstrument;

bool serveUntil(TestInstrument& instrument, const std::function<bool()>& done,
    std::chrono::seconds patience = std::chrono::seconds(5))
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        instrument.serve(std::chrono::milliseconds(5));
    }
    return done();
}

class MidiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::ffmpegAvailable()) {
            GTEST_SKIP() << "the ffmpeg tool is missing";
        }
        clip = test::makeClip("midi.avi",
            test::joinArgs({ test::testPicture("64x48", "25", "1"), test::tone(44100, "1"),
                { "-ac", "2", "-c:v", "mjpeg", "-c:a", "pcm_s16le" } }));
    }

    std::filesystem::path clip;
    test::TempDir folder;
};

TEST_F(MidiTest, ANoteOnTheDeviceTriggersItsSlotInBothInputModes)
{
    for (const bool buffered : { true, false }) {
        SCOPED_TRACE(buffered ? "input buffer" : "direct");
        TestInstrument instrument(folder / (buffered ? "buffered" : "direct"));
        ASSERT_TRUE(instrument->midi().port().isRunning()) << "the loopback opens at start";
        instrument.set("[Master]", "MidiInputBuffer", buffered ? 1 : 0);
        ASSERT_TRUE(instrument->loadClip(3, clip));
        const std::uint8_t note[] = { 0x90, 52, 100 }; // the third white key: slot 3
        ASSERT_TRUE(instrument.midiCable->inject(LoopbackMidi::kDefaultCable, note));
        const TPlayAvistruct& three = instrument->performance().slots()[3];
        EXPECT_TRUE(serveUntil(instrument, [&] { return three.Playing.load(); }));
    }
}

// A device that goes is closed and the performer told once; when it is back it plays again.
TEST_F(MidiTest, ALostDeviceIsToldOnceAndOpensAgainWhenItIsBack)
{
    TestInstrument instrument(folder.path());
    ASSERT_TRUE(instrument->loadClip(1, clip));
    InstrumentMidi& midi = instrument->midi();
    auto now = std::chrono::steady_clock::now();
    const auto turn = [&] {
        now += std::chrono::seconds(3);
        midi.mainLoopTurn(now);
    };
    const auto toldGone = [&] {
        return std::count(instrument.ui.statusTexts.begin(), instrument.ui.statusTexts.end(),
            "MIDI Input Device \"Oskel Loopback\" has gone: Oskel listens to it again once it "
            "is back");
    };
    turn();
    EXPECT_EQ(toldGone(), 0);
    instrument.midiCable->unplug(LoopbackMidi::kDefaultCable);
    turn();
    turn();
    EXPECT_EQ(toldGone(), 1) << "told once";
    EXPECT_FALSE(midi.port().isOpen());

    instrument.midiCable->plug(LoopbackMidi::kDefaultCable);
    turn();
    EXPECT_EQ(instrument.ui.statusTexts.back(), "MIDI Input Device \"Oskel Loopback\" is back");
    const std::uint8_t note[] = { 0x90, 48, 100 };
    ASSERT_TRUE(instrument.midiCable->inject(LoopbackMidi::kDefaultCable, note));
    const TPlayAvistruct& one = instrument->performance().slots()[1];
    EXPECT_TRUE(serveUntil(instrument, [&] { return one.Playing.load(); }));
}

// A second of controllers at ten thousand a second: every one is carried out, in order, and
// nothing piles up.
TEST_F(MidiTest, AFloodOfControllersIsFollowedToTheLastOne)
{
    TestInstrument instrument(folder.path());
    ASSERT_TRUE(instrument->loadClip(1, clip));
    instrument.set("[Master]", "SelectedSlot", 1);
    std::atomic<bool> sent { false };
    std::thread device([&] {
        for (int k = 0; k < 10000; ++k) {
            // Never the top, which only the last message sends.
            const std::uint8_t opacity[] = { 0xB0, 67, static_cast<std::uint8_t>(k % 64) };
            instrument.midiCable->inject(LoopbackMidi::kDefaultCable, opacity);
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        const std::uint8_t last[] = { 0xB0, 67, 127 };
        instrument.midiCable->inject(LoopbackMidi::kDefaultCable, last);
        sent = true;
    });
    const TPlayAvistruct& one = instrument->performance().slots()[1];
    const bool followed = serveUntil(
        instrument, [&] { return sent && one.AlphaLevel == 0; }, std::chrono::seconds(60));
    device.join();
    EXPECT_TRUE(followed) << "the controller at its top makes the slot opaque";
    EXPECT_EQ(instrument->midi().port().messageCount(), 0u);
    EXPECT_EQ(instrument->midi().port().takeLost(), 0u);
}

// With the grid showing MIDI letters, they follow the note map chosen.
TEST_F(MidiTest, TheGridsLettersFollowGuitarMode)
{
    TestInstrument instrument(folder.path());
    instrument->performance().options().ui.MIDIKeyLetters = true;
    const auto shownOnSlotOne = [&] {
        for (auto call = instrument.ui.controls.rbegin(); call != instrument.ui.controls.rend();
             ++call) {
            if (call->control == "lbKeyclone1") {
                return std::get<std::string>(call->value);
            }
        }
        return std::string();
    };
    const KeyboardLayout layout = instrument->performance().globals().keyLetters.layout();
    instrument.set("[Master]", "GuitarMode", 1);
    EXPECT_EQ(
        shownOnSlotOne(), slot_grid::slotCaption(slot_grid::CaptionMode::MidiGuitar, layout, 1));
    instrument.set("[Master]", "GuitarMode", 0);
    EXPECT_EQ(
        shownOnSlotOne(), slot_grid::slotCaption(slot_grid::CaptionMode::MidiKeyboard, layout, 1));
    EXPECT_NE(slot_grid::slotCaption(slot_grid::CaptionMode::MidiGuitar, layout, 1),
        slot_grid::slotCaption(slot_grid::CaptionMode::MidiKeyboard, layout, 1));
}

// A patch chosen by MIDI holds MIDI input back until it is loaded; resetting every slot ends
// a learn under way.
TEST_F(MidiTest, InputWaitsForAPatchMidiChoseAndAResetEndsLearning)
{
    const std::filesystem::path patches = folder / "patches";
    std::filesystem::create_directories(patches);
    const std::string patch
        = "[Version]\nOKP=Low1\n[Filenames]\n1=/gone/lost.avi\n2=" + clip.string() + "\n";
    test::writeFileBytes(patches / "first.okp", { patch.begin(), patch.end() });
    TestInstrument instrument(folder.path());
    instrument->patches().logic().explorer().changeFolder(patches);
    std::optional<bool> enabledDuringLoad;
    instrument->patchLoader().setLostFileDialog(
        [&](std::string_view, const std::filesystem::path&, std::string_view) {
            enabledDuringLoad = instrument->midi().input().inputEnabled();
            return std::optional<std::filesystem::path>();
        });
    EXPECT_TRUE(instrument->patches().logic().explorer().loadPatchByIndex(0));
    EXPECT_EQ(enabledDuringLoad, std::optional<bool>(false));
    EXPECT_TRUE(instrument->midi().input().inputEnabled());
    EXPECT_TRUE(instrument->performance().slots()[2].Loaded);

    instrument->midi().learn().StartLearn(12);
    ASSERT_TRUE(instrument->midi().learn().learning());
    instrument.set("[Master]", "StopAll", 0);
    EXPECT_FALSE(instrument->midi().learn().learning());
}

// What MIDI sets besides the slots is kept by a recording as well: an assignment learned
// from the device, and the beat restarted by a clock's start.
TEST_F(MidiTest, ALearnedControllerAndAClockStartAreRecorded)
{
    TestInstrument instrument(folder.path());
    instrument.set("[Master]", "SyncToMidiClock", 1);
    instrument->recorder().start();
    instrument->midi().learn().StartLearn(midi_parameter::kOpacity);
    const std::uint8_t controller[] = { 0xB0, 33, 90 };
    ASSERT_TRUE(instrument.midiCable->inject(LoopbackMidi::kDefaultCable, controller));
    EXPECT_TRUE(serveUntil(instrument, [&] { return !instrument->midi().learn().learning(); }));
    EXPECT_EQ(instrument.read("[Master]", "ControllerOpacity"), 33);

    const std::uint8_t start[] = { 0xFA };
    ASSERT_TRUE(instrument.midiCable->inject(LoopbackMidi::kDefaultCable, start));
    const auto recordedSets = [&] {
        std::vector<std::string> names;
        for (const ScriptAction& action : instrument->recorder().actions()) {
            if (const auto* set = std::get_if<SetAction>(&action.command)) {
                names.push_back(controlName(set->control));
            }
        }
        return names;
    };
    EXPECT_TRUE(serveUntil(instrument, [&] {
        instrument->midi().mainLoopTurn(std::chrono::steady_clock::now());
        return recordedSets().size() == 2;
    }));
    EXPECT_EQ(recordedSets(),
        (std::vector<std::string> { "[Master] ControllerOpacity", "[Master] SyncBeat" }));
}

} // namespace
} // namespace oskel
