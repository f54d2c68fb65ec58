#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "control/clip_inspector_port.h"
#include "control/controllers.h"
#include "control/key_position.h"
#include "control/midi_input.h"
#include "control/midi_interpreter.h"
#include "control/midi_learn.h"
#include "control/midi_ports.h"
#include "core/audio_mailbox.h"
#include "core/event_processor.h"
#include "core/performance.h"
#include "platform/manual_clock_sound_device.h"
#include "playback/audio_engine.h"
#include "playback/clip_loader.h"
#include "playback/slot_previews.h"
#include "playback/tempo.h"
#include "playback/tick_figures.h"
#include "sources/reader_factory.h"
#include "sources/source_interface.h"
#include "support/fake_playback.h"
#include "ui/dialogs.h"
#include "ui/instrument_windows.h"
#include "ui/main_window.h"

class QWindow;

namespace oskel::test {

// Message boxes, questions and the clip chooser, answered from a script and remembered.
class RecordingDialogs : public Dialogs {
public:
    std::vector<std::string> messages;
    std::vector<std::filesystem::path> clipFolders; // one per clip chooser opened
    std::deque<std::optional<std::filesystem::path>> chosenClips; // default: cancelled
    std::function<void()> whileChoosing; // runs while the chooser is open
    std::vector<std::filesystem::path> patchStarts; // one per patch chooser opened
    std::deque<std::optional<std::filesystem::path>> chosenPatches; // default: cancelled
    std::vector<std::string> textPrompts; // "caption: prompt [start]", one per text box opened
    std::deque<std::optional<std::string>> typedTexts; // default: cancelled
    std::deque<std::optional<std::filesystem::path>> chosenStencils; // default: cancelled
    std::deque<std::vector<std::filesystem::path>> chosenClipLists; // default: cancelled
    std::vector<std::string> liveSourceEntries; // what the last live source chooser offered
    std::deque<std::optional<std::string>> chosenLiveSources; // default: cancelled

    void showMessage(std::string_view text) override { messages.emplace_back(text); }
    DialogAnswer ask(std::string_view question, DialogButtons buttons) override;
    std::optional<std::filesystem::path> chooseClip(const std::filesystem::path& folder) override;
    std::optional<std::filesystem::path> choosePatchToOpen(
        const std::filesystem::path& start) override;
    std::optional<std::filesystem::path> choosePatchToSave(
        const std::filesystem::path& start) override;
    std::optional<std::string> askText(std::string_view, std::string_view) override
    {
        if (typedTexts.empty()) {
            return std::nullopt;
        }
        auto text = typedTexts.front();
        typedTexts.pop_front();
        return text;
    }
    std::optional<std::string> askValue(
        std::string_view caption, std::string_view prompt, std::string_view text) override;
    std::optional<std::filesystem::path> chooseStencil(const std::filesystem::path& start) override;
    std::vector<std::filesystem::path> chooseClips(const std::filesystem::path& folder) override;
    std::optional<std::string> chooseLiveSource(const std::vector<std::string>& entries) override
    {
        liveSourceEntries = entries;
        if (chosenLiveSources.empty()) {
            return std::nullopt;
        }
        auto chosen = chosenLiveSources.front();
        chosenLiveSources.pop_front();
        return chosen;
    }

private:
    std::optional<std::filesystem::path> choosePatch(const std::filesystem::path& start);
};

// Passes events on to the event processor and remembers them.
class RecordingEvents : public EventSink {
public:
    explicit RecordingEvents(EventSink& next)
        : m_next(next)
    {
    }
    void ProcessEvent(const TSlotEvent& event) override
    {
        sent.push_back(event);
        m_next.ProcessEvent(event);
    }
    // The codes sent, in order.
    std::vector<int> codes() const;

    std::vector<TSlotEvent> sent;

private:
    EventSink& m_next;
};

// The logic the windows bind to, real but for the playback threads, which exist only as
// flags: the event processor (its events recorded), the tempo, the clip loader and the
// controllers.
struct TestInstrument {
    TestInstrument(UserInterfacePort& ui, MainThreadDispatcher& mainThread);
    // What the windows bind to; shutDown and restartSyncSlots are the caller's. The clock and
    // restartSyncSlots given last serve the controllers as well.
    WindowLinks links(SlotPreviews& previews, std::function<std::uint32_t()> clock,
        std::function<void()> shutDown, std::function<void(bool)> restartSyncSlots);

    Performance performance;
    AudioMailbox mailbox;
    FakePlayback playback;
    EventProcessor processor { performance, mailbox, playback };
    RecordingEvents events { processor };
    Tempo tempo { performance, events };
    ManualClockSoundDevice device;
    AudioEngine audio;
    SourceInterface sources { makeMediaReader };
    ClipLoader loader { performance, sources, audio, playback };
    std::function<std::uint32_t()> clock = [] { return 0u; };
    std::function<void(bool)> restartSyncSlots = [](bool) {};
    // The patches the windows asked to load and save; a save answers with `saveProblem`.
    std::vector<std::filesystem::path> loadedPatches;
    std::vector<std::filesystem::path> savedPatches;
    std::optional<std::string> saveProblem;
    Controllers controls { Controllers::Links { performance, events, tempo, loader, playback,
        [this](bool hide) { restartSyncSlots(hide); }, [this] { return clock(); },
        [] { return 44100; } } };
    // MIDI as the instrument has it, without devices: messages are handed to the input as
    // the device layer would. The devices listed, and those the windows chose, in order.
    SelectionOnlyInspector inspector { performance };
    MidiInputPorts midiPorts;
    EffectHostPort effects;
    // The control surface, as far as the windows reach it: the inspector pages chosen.
    struct Surface : ControlSurfacePort {
        std::vector<std::pair<std::string, int>> pages; // page and slot
        void inspectorPageChosen(std::string_view page, int slot) override
        {
            pages.emplace_back(page, slot);
        }
    } surface;
    MidiInterpreter interpreter { { performance, events, inspector, midiPorts, effects, surface,
        [] { return 44100; } } };
    MidiLearn learn { events, performance };
    MidiInput midiInput { { interpreter, learn, {}, {} } };
    std::vector<std::string> midiInputs { "Keys", "Pads" };
    std::vector<std::string> midiOutputs { "Synth" };
    std::vector<std::string> chosenInputs;
    // The settings file as the windows changed it.
    IniProfile settings;
    // The frame thread's figures, as the playback engine would count them.
    int oscChanges = 0; // the OSC options changed in the preferences
    TickFigureCounter figures;
    // What "Record" and "Render" reach; none: they do nothing.
    RecordAndRender* recordAndRender = nullptr;
    // The stream's and the camera's counts, as the instrument would give them.
    std::string outputCounts;
};

// The windows, shown on the offscreen platform and bound to a TestInstrument.
class WindowsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Runs before the windows are bound and shown: the instrument's own start-up.
    virtual void startInstrument() { }
    // The main window's first activation: where playback starts.
    virtual void activateInstrument() { }
    // The instrument's shut-down, which closing the main window runs.
    virtual void shutDownInstrument() { ++shutDowns; }

    // A slot that holds a clip as far as the windows and the logic can tell, without media.
    void pretendLoaded(int slot);
    // A key at its place on the keyboard (evdev code), as the window system delivers it to a
    // window of the instrument.
    void pressKey(
        int evdevCode, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autoRepeat = false);
    void releaseKey(int evdevCode, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void sendKey(QWindow& window, bool press, int evdevCode, Qt::KeyboardModifiers modifiers,
        bool autoRepeat);
    // A click on the main window's control of that object name.
    void click(const char* objectName);
    // The control of that object name in a window, the main window unless named.
    template <class Widget> Widget& find(const QString& objectName, QWidget* in = nullptr)
    {
        auto* widget = (in != nullptr ? in : &windows.mainWindow())->findChild<Widget*>(objectName);
        if (widget == nullptr) {
            throw std::runtime_error("no control " + objectName.toStdString());
        }
        return *widget;
    }
    // Lets the windows' queued work and timers run.
    void settle(int milliseconds = 0);

    RecordingDialogs dialogs;
    InstrumentWindows windows { dialogs };
    MainThreadDispatcher mainThread;
    TestInstrument instrument { windows.ui(), mainThread };
    Performance& performance = instrument.performance;
    AudioMailbox& mailbox = instrument.mailbox;
    FakePlayback& playback = instrument.playback;
    EventProcessor& processor = instrument.processor;
    RecordingEvents& events = instrument.events;
    SlotPreviews previews;
    std::uint32_t nowMs = 100000;
    int shutDowns = 0;
    std::vector<bool> syncRestarts;
};

} // namespace oskel::test
