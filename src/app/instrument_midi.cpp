#include "app/instrument_midi.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "core/control_table.h"
#include "core/shown_text.h"

namespace oskel {

namespace {

std::uint32_t packed(const MidiMessage& message)
{
    return std::uint32_t { message.status } | (std::uint32_t { message.data1 } << 8)
        | (std::uint32_t { message.data2 } << 16);
}

} // namespace

InstrumentMidi::InstrumentMidi(Links links, std::unique_ptr<MidiDevices> devices)
    : m_links(std::move(links))
    , m_devices(std::move(devices))
    , m_surfaceOutput(*m_devices)
    , m_surface(ControlSurface::Links { m_links.performance, m_links.events, m_surfaceOutput,
          [](std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); },
          m_links.effectParameterNames })
    , m_ports(InstrumentMidiPorts::Links { m_links.tempo, m_links.patches.explorer(),
          m_links.patches.console(), m_links.performance.ui(), m_links.clock, m_links.events,
          m_links.performance })
    , m_interpreter(MidiInterpreter::Links { m_links.performance, m_links.events, m_links.inspector,
          m_ports, m_effects, m_surface, m_links.referenceRate })
    , m_learn(m_links.events, m_links.performance)
    , m_input(MidiInput::Links {
          m_interpreter, m_learn, {}, [this] { post(&InstrumentMidi::serveDirect); } })
    , m_port(*m_devices)
{
    m_port.setHandler(this);
    m_port.setClockHandler(this);
    m_port.setWake([this] { post(&InstrumentMidi::takeQueued); });
    optionsChanged();
}

InstrumentMidi::~InstrumentMidi()
{
    *m_alive = false;
    m_port.close();
}

void InstrumentMidi::post(void (InstrumentMidi::*task)())
{
    m_links.mainThread.post([this, task, alive = m_alive] {
        if (*alive) {
            (this->*task)();
        }
    });
}

void InstrumentMidi::start()
{
    m_learn.AssignDefaultControllers();
    if (m_links.performance.options().midi.AutoMapActive) {
        startSurface();
    }
    const MidiOptions& options = m_links.performance.options().midi;
    const std::vector<std::string> names = m_port.deviceNames();
    if (options.InputDeviceName.empty() && names.empty()) {
        return;
    }
    const auto found = findMidiDevice(names, options.InputDeviceName, options.InputDevice);
    if (!found) {
        if (!options.InputDeviceName.empty()) {
            m_links.performance.ui().setStatusText(
                "MIDI Input Device " + options.InputDeviceName + " not installed ");
        }
        return;
    }
    if (const MidiResult opened = m_port.open(*found); !opened.ok()) {
        m_links.performance.ui().setStatusText(opened.error);
        return;
    }
    m_port.start();
    m_watched = m_port.productName();
}

void InstrumentMidi::stop()
{
    m_surface.stop();
    m_port.close();
}

void InstrumentMidi::chooseInput(const std::string& name)
{
    UserInterfacePort& ui = m_links.performance.ui();
    m_input.setInputEnabled(false);
    ui.setStatusText("Changing MIDI In Device");
    m_port.close();
    const std::vector<std::string> names = m_port.deviceNames();
    const auto listed = std::find(names.begin(), names.end(), name);
    if (listed == names.end()) {
        return;
    }
    if (const MidiResult opened = m_port.open(name); !opened.ok()) {
        ui.setStatusText(opened.error);
        return;
    }
    MidiOptions& options = m_links.performance.options().midi;
    options.InputDevice = static_cast<std::int32_t>(listed - names.begin());
    options.InputDeviceName = name;
    m_port.start();
    m_watched = name;
    m_lost = false;
    ui.setStatusText("");
    m_input.setInputEnabled(true);
}

void InstrumentMidi::mainLoopTurn(std::chrono::steady_clock::time_point now)
{
    applyClock();
    m_surface.refresh();
    if (!m_surfaceFailureShown && !m_surfaceOutput.failure().empty()) {
        m_surfaceFailureShown = true;
        m_links.performance.ui().showMessage("Exception in Midi Output Thread");
    }
    watchDevice(now);
}

void InstrumentMidi::watchDevice(std::chrono::steady_clock::time_point now)
{
    if (m_watched.empty() || now < m_nextCheck) {
        return;
    }
    m_nextCheck = now + std::chrono::seconds(2);
    const std::vector<std::string> names = m_port.deviceNames();
    const bool present = std::find(names.begin(), names.end(), m_watched) != names.end();
    UserInterfacePort& ui = m_links.performance.ui();
    if (!m_lost && !present) {
        m_lost = true;
        m_port.close();
        ui.setStatusText("MIDI Input Device " + quotedText(m_watched)
            + " has gone: Oskel listens to it again once it is back");
    } else if (m_lost && present && m_port.open(m_watched).ok()) {
        m_lost = false;
        m_port.start();
        ui.setStatusText("MIDI Input Device " + quotedText(m_watched) + " is back");
    }
}

std::string InstrumentMidi::surfaceDevice() const
{
    const MidiOptions& options = m_links.performance.options().midi;
    if (!options.OutputDeviceName.empty()) {
        return options.OutputDeviceName;
    }
    const std::vector<std::string> names = m_devices->outputNames();
    const auto at = static_cast<std::size_t>(std::max(options.OutputDevice, 0));
    return at < names.size() ? names[at] : std::string();
}

bool InstrumentMidi::startSurface()
{
    return m_surface.start(surfaceDevice());
}

bool InstrumentMidi::stopSurface()
{
    UserInterfacePort& ui = m_links.performance.ui();
    ui.setStatusText("Stopping Novation Automap");
    if (!m_surface.stop()) {
        ui.setStatusText("Failed to stop Novation Automap");
        return false;
    }
    ui.setStatusText("Novation Automap Stopped");
    return true;
}

void InstrumentMidi::applySurface(bool enabled)
{
    MidiOptions& options = m_links.performance.options().midi;
    if (enabled) {
        if (m_surface.active()) {
            stopSurface();
        }
        options.AutoMapActive = startSurface();
    } else if (m_surface.active()) {
        options.AutoMapActive = !stopSurface();
    } else {
        options.AutoMapActive = false;
    }
}

void InstrumentMidi::chooseOutput(const std::string& name)
{
    UserInterfacePort& ui = m_links.performance.ui();
    ui.setStatusText("Changing MIDI Out Device");
    MidiOptions& options = m_links.performance.options().midi;
    if (m_surface.active()) {
        if (!m_surface.stop()) {
            ui.showMessage("Failed to stop Novation Automap");
            return;
        }
        options.AutoMapActive = false;
    }
    const std::vector<std::string> names = m_devices->outputNames();
    const auto listed = std::find(names.begin(), names.end(), name);
    if (listed != names.end()) {
        options.OutputDevice = static_cast<std::int32_t>(listed - names.begin());
        options.OutputDeviceName = name;
    }
}

void InstrumentMidi::optionsChanged()
{
    m_buffered.store(m_links.performance.options().midi.UseCircbuf);
}

MidiInputHandler::Action InstrumentMidi::onMidiInput(const MidiMessage& message)
{
    if (m_buffered.load()) {
        return Action::Queue;
    }
    if (!message.isSysex()) {
        m_input.receiveDirect(packed(message));
    }
    return Action::Done;
}

void InstrumentMidi::onMidiClock(const MidiMessage& message) noexcept
{
    switch (message.status) {
    case 0xF8: {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        m_clock.tick(std::chrono::duration<double, std::milli>(now).count());
        break;
    }
    case 0xFA:
        m_clock.start();
        break;
    case 0xFB:
        m_clock.resume();
        break;
    case 0xFC:
        m_clock.stop();
        break;
    default:
        break;
    }
}

void InstrumentMidi::applyClock()
{
    const bool restart = m_clock.takeRestart();
    if (!m_links.performance.options().midi.SyncToClock) {
        return;
    }
    if (restart) {
        setControl(m_links.events, m_links.performance, masterControl("SyncBeat"), 0);
    }
    const std::int32_t tempo = m_clock.tempoThousandths();
    if (tempo > 0 && tempo != m_clockTempoApplied) {
        m_clockTempoApplied = tempo;
        setControl(m_links.events, m_links.performance, masterControl("Tempo"), tempo);
    }
}

void InstrumentMidi::takeQueued()
{
    while (const auto message = m_port.read()) {
        m_input.MidiInput1MidiInput(message->status, message->data1, message->data2);
    }
    if (const std::uint64_t lost = m_port.takeLost(); lost > 0 && m_lostReported == 0) {
        m_lostReported = lost;
        m_links.performance.ui().setStatusText(
            "MIDI input overflow: " + std::to_string(lost) + " message(s) lost");
    }
}

void InstrumentMidi::serveDirect()
{
    m_input.serveDirect();
}

void InstrumentMidi::deliver(std::uint8_t status, std::uint8_t data1, std::uint8_t data2)
{
    if (m_buffered.load()) {
        m_input.MidiInput1MidiInput(status, data1, data2);
        return;
    }
    MidiMessage message;
    message.status = status;
    message.data1 = data1;
    message.data2 = data2;
    m_input.receiveDirect(packed(message));
    m_input.serveDirect();
}

} // namespace oskel
