#include "platform/midi_in_port.h"

#include <chrono>

namespace oskel {

namespace {

std::int64_t steadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

MidiInPort::MidiInPort(MidiDevices& devices, std::size_t capacity, std::size_t sysexBlocks)
    : m_devices(devices)
    , m_queue(capacity, sysexBlocks)
{
}

MidiInPort::~MidiInPort()
{
    close();
}

MidiResult MidiInPort::open(std::size_t index)
{
    std::string name;
    if (MidiResult refused = midiDeviceAt(isOpen(), deviceNames(), index, name); !refused.ok()) {
        return refused;
    }
    return open(std::string_view(name));
}

MidiResult MidiInPort::open(std::string_view name)
{
    if (isOpen()) {
        return { "Change to ProductName while device was open" };
    }
    // Nothing runs on the driver's thread yet: the parser and queue start afresh.
    m_parser.reset();
    m_queue.clear();
    std::string whyNot;
    m_stream = m_devices.openInput(name, *this, whyNot);
    if (!m_stream) {
        return { whyNot };
    }
    m_productName = std::string(name);
    return {};
}

void MidiInPort::close()
{
    m_running.store(false);
    m_stream.reset();
    m_queue.clear();
}

void MidiInPort::start()
{
    if (!isOpen() || m_running.load()) {
        return;
    }
    m_startNanoseconds.store(steadyNanoseconds());
    m_running.store(true);
}

void MidiInPort::stop()
{
    m_running.store(false);
}

std::optional<MidiMessage> MidiInPort::read()
{
    if (!isOpen()) {
        return std::nullopt;
    }
    return m_queue.take();
}

std::uint32_t MidiInPort::millisecondsSinceStart() const noexcept
{
    const std::int64_t elapsed = steadyNanoseconds() - m_startNanoseconds.load();
    return static_cast<std::uint32_t>(elapsed / 1'000'000);
}

void MidiInPort::receive(std::span<const std::uint8_t> bytes) noexcept
{
    if (!m_running.load()) {
        return;
    }
    const std::uint32_t time = millisecondsSinceStart();
    for (const std::uint8_t byte : bytes) {
        for (const MidiMessage& message : m_parser.push(byte, time)) {
            deliver(message);
        }
    }
}

void MidiInPort::deliver(const MidiMessage& message) noexcept
{
    switch (message.status) {
    case midi::kActiveSensing:
        return;
    case midi::kTimingClock:
        if (m_clockHandler) {
            m_clockHandler->onMidiClock(message);
        }
        return;
    case midi::kStart:
    case midi::kContinue:
    case midi::kStop:
        if (m_clockHandler) {
            m_clockHandler->onMidiClock(message);
        }
        break;
    default:
        break;
    }
    auto action = MidiInputHandler::Action::Queue;
    if (m_handler) {
        try {
            action = m_handler->onMidiInput(message);
        } catch (...) {
            m_handlerFailures.fetch_add(1);
            return;
        }
    }
    if (action == MidiInputHandler::Action::Queue && (message.isSysex() || !m_sysexOnly.load())) {
        m_queue.put(message);
    }
}

} // namespace oskel
