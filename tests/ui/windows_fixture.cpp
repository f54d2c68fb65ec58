#include "windows_fixture.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWindow>

#include "control/control_followers.h"
#include "support/fake_sound_buffer.h"
#include "ui/main_window.h"

namespace oskel::test {

DialogAnswer RecordingDialogs::ask(std::string_view question, DialogButtons buttons)
{
    messages.emplace_back(question);
    return SilentUserInterface().ask(question, buttons);
}

std::optional<std::filesystem::path> RecordingDialogs::choosePatch(
    const std::filesystem::path& start)
{
    patchStarts.push_back(start);
    if (chosenPatches.empty()) {
        return std::nullopt;
    }
    auto chosen = chosenPatches.front();
    chosenPatches.pop_front();
    return chosen;
}

std::optional<std::filesystem::path> RecordingDialogs::choosePatchToOpen(
    const std::filesystem::path& start)
{
    return choosePatch(start);
}

std::optional<std::filesystem::path> RecordingDialogs::choosePatchToSave(
    const std::filesystem::path& start)
{
    return choosePatch(start);
}

std::optional<std::filesystem::path> RecordingDialogs::chooseClip(
    const std::filesystem::path& folder)
{
    clipFolders.push_back(folder);
    if (whileChoosing) {
        whileChoosing();
    }
    if (chosenClips.empty()) {
        return std::nullopt;
    }
    auto chosen = chosenClips.front();
    chosenClips.pop_front();
    return chosen;
}

std::optional<std::string> RecordingDialogs::askValue(
    std::string_view caption, std::string_view prompt, std::string_view text)
{
    textPrompts.push_back(
        std::string(caption) + ": " + std::string(prompt) + " [" + std::string(text) + "]");
    return askText(caption, prompt);
}

std::vector<std::filesystem::path> RecordingDialogs::chooseClips(
    const std::filesystem::path& folder)
{
    clipFolders.push_back(folder);
    if (chosenClipLists.empty()) {
        return {};
    }
    auto chosen = chosenClipLists.front();
    chosenClipLists.pop_front();
    return chosen;
}

std::optional<std::filesystem::path> RecordingDialogs::chooseStencil(const std::filesystem::path&)
{
    if (chosenStencils.empty()) {
        return std::nullopt;
    }
    auto chosen = chosenStencils.front();
    chosenStencils.pop_front();
    return chosen;
}

std::vector<int> RecordingEvents::codes() const
{
    std::vector<int> codes;
    for (const TSlotEvent& event : sent) {
        codes.push_back(event.Code);
    }
    return codes;
}

TestInstrument::TestInstrument(UserInterfacePort& ui, MainThreadDispatcher& mainThread)
    : performance(ui, mainThread)
    , audio(device, ui, [] { return std::optional<std::int64_t>(); })
{
    performance.setEventSink(&processor);
    performance.setPlaybackThreads(&playback);
    processor.setControlChangedHandler([this](const ControlEntry& entry, int slot) {
        followControlChange(performance, tempo, entry, slot);
    });
    loader.setTempoHandler([this](int slot) { tempo.clipLoaded(slot); });
}

WindowLinks TestInstrument::links(SlotPreviews& previews, std::function<std::uint32_t()> newClock,
    std::function<void()> shutDown, std::function<void(bool)> restart)
{
    if (newClock) {
        clock = newClock;
    }
    if (restart) {
        restartSyncSlots = restart;
    }
    return WindowLinks { performance, events, controls, std::move(restart), tempo, loader, playback,
        previews, std::move(newClock), std::move(shutDown),
        PatchActions { [this](const std::filesystem::path& file) { loadedPatches.push_back(file); },
            [this](const std::filesystem::path& file) {
                savedPatches.push_back(file);
                return saveProblem;
            },
            {}, nullptr, {}, {} },
        MidiLinks { &learn, &midiInput, [this] { return midiInputs; },
            [this] { return midiOutputs; },
            [this] { return chosenInputs.empty() ? std::string() : chosenInputs.back(); },
            [this](const std::string& name) { chosenInputs.push_back(name); }, {}, {}, &surface },
        {}, // no folder for the compression presets
        nullptr, // no effect host
        [this](const std::function<void(IniProfile&)>& change) {
            change(settings);
            return std::optional<std::string>();
        },
        [this] { ++oscChanges; }, &figures, recordAndRender, nullptr, {}, nullptr,
        [this] { return outputCounts; } };
}

void WindowsTest::SetUp()
{
    startInstrument();
    windows.bind(instrument.links(
        previews, [this] { return nowMs; }, [this] { shutDownInstrument(); },
        [this](bool hide) { syncRestarts.push_back(hide); }));
    windows.show([this] { activateInstrument(); });
    ASSERT_TRUE(QTest::qWaitForWindowActive(&windows.mainWindow()));
    settle();
    events.sent.clear();
}

void WindowsTest::TearDown()
{
    windows.shutDown();
}

void WindowsTest::pretendLoaded(int slot)
{
    TPlayAvistruct& record = performance.slot(slot);
    record.Loaded = true;
    record.FrameCount = 100;
    record.FrameRate = 25;
    record.BaseFrequency = 44100;
    record.BlockAlign = 4;
    record.BytesPerSecond = 176400;
    record.Length = 4 * 176400;
    record.OutPoint = record.Length;
    record.ClipWidth = 320;
    record.ClipHeight = 240;
    record.ForwardBuffer = std::make_shared<FakeSoundBuffer>(record.Length, 44100);
    record.BackwardBuffer = std::make_shared<FakeSoundBuffer>(record.Length, 44100);
}

void WindowsTest::sendKey(
    QWindow& window, bool press, int evdevCode, Qt::KeyboardModifiers modifiers, bool autoRepeat)
{
    // Only the native scan code tells the key's place; the key and text are left empty, as
    // the windows must not read them.
    QKeyEvent key(press ? QEvent::KeyPress : QEvent::KeyRelease, 0, modifiers,
        static_cast<quint32>(evdevCode + 8), 0, 0, QString(), autoRepeat);
    QCoreApplication::sendEvent(&window, &key);
}

void WindowsTest::pressKey(int evdevCode, Qt::KeyboardModifiers modifiers, bool autoRepeat)
{
    sendKey(*windows.mainWindow().windowHandle(), true, evdevCode, modifiers, autoRepeat);
}

void WindowsTest::releaseKey(int evdevCode, Qt::KeyboardModifiers modifiers)
{
    sendKey(*windows.mainWindow().windowHandle(), false, evdevCode, modifiers, false);
}

void WindowsTest::click(const char* objectName)
{
    QTest::mouseClick(&find<QAbstractButton>(objectName), Qt::LeftButton);
}

void WindowsTest::settle(int milliseconds)
{
    QCoreApplication::processEvents();
    if (milliseconds > 0) {
        QTest::qWait(milliseconds);
    }
}

} // namespace oskel::test
