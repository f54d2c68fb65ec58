#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/midi_byte_parser.h"
#include "platform/midi_devices.h"
#include "platform/midi_input_queue.h"
#include "platform/midi_message.h"

namespace oskel {

// Receives an input port's messages on the driver's thread.
class MidiInputHandler {
public:
    enum class Action {
        Queue, // put the message in the port's queue for the main thread
        Done, // the handler has dealt with it (or drops it)
    };

    // The driver's thread, for every message in the order of arrival, except timing clock
    // and active sensing, which never come here. It may act on the message at once; it must
    // not wait for long, since the next message waits meanwhile. The message and its sysex
    // bytes are valid only during the call. A thrown exception is caught and counted, and
    // the message is then not queued.
    virtual Action onMidiInput(const MidiMessage& message) = 0;

protected:
    ~MidiInputHandler() = default;
};

// Receives the tempo messages of an input port on the driver's thread: timing clock (0xF8),
// which goes nowhere else, and start, continue and stop (0xFA, 0xFB, 0xFC), which also go on
// to the input handler. Real time: no allocation, no lock, no waiting.
class MidiClockHandler {
public:
    virtual void onMidiClock(const MidiMessage& message) noexcept = 0;

protected:
    ~MidiClockHandler() = default;
};

// One MIDI input device: choose it, open it, start and stop it, and take its messages.
//
// Messages reach the input handler on the driver's thread while the port runs (between start
// and stop). Those the handler returns to be queued (all of them when there is no handler)
// wait in the port's queue for the main thread, which takes them with read(); the queue calls
// the wake function given with setWake when there is something to read (see MidiInputQueue
// for the contract). In system-exclusive-only mode only system-exclusive data is queued.
//
// The usual wake function posts one task to the main thread that takes everything:
//
//     port.setWake([&] { dispatcher.post([&] { takeMidiInput(); }); });
//     void takeMidiInput() // the main thread
//     {
//         while (const auto message = port.read()) { ...interpret *message... }
//         if (const auto lost = port.takeLost()) { ...report it once... }
//     }
//
// A burst of messages costs one post (a lock, and a task small enough to need no allocation of
// its own); the port must outlive the tasks posted for it.
//
// Time stamps are milliseconds since start. Everything but the handlers runs on the main
// thread.
class MidiInPort final : private MidiByteSink {
public:
    explicit MidiInPort(MidiDevices& devices,
        std::size_t capacity = MidiInputQueue::kDefaultCapacity,
        std::size_t sysexBlocks = MidiInputQueue::kDefaultSysexBlocks);
    ~MidiInPort();
    MidiInPort(const MidiInPort&) = delete;
    MidiInPort& operator=(const MidiInPort&) = delete;

    std::vector<std::string> deviceNames() const { return m_devices.inputNames(); }

    // Opens a device of the list. Refused while a device is open ("Change to DeviceID while
    // device was open", "Change to ProductName while device was open"); an index off the
    // list gives "Invalid device ID", an unknown name "MIDI Input Device <name> not
    // installed ", a driver failure its own text. The port stays closed on any failure.
    MidiResult open(std::size_t index);
    MidiResult open(std::string_view name);
    // Stops, closes the device and empties the queue. Nothing is called on the driver's
    // thread once it returns.
    void close();

    // Nothing happens while closed.
    void start();
    void stop();

    bool isOpen() const { return m_stream != nullptr; }
    bool isRunning() const { return m_running.load(); }
    // The device's name while open, else the last one opened.
    const std::string& productName() const { return m_productName; }

    // Set while closed. The objects must outlive the port or be replaced while closed.
    void setHandler(MidiInputHandler* handler) { m_handler = handler; }
    void setClockHandler(MidiClockHandler* handler) { m_clockHandler = handler; }
    void setWake(std::function<void()> wake) { m_queue.setWake(std::move(wake)); }
    // Any time.
    void setSysexOnly(bool only) { m_sysexOnly.store(only); }
    bool sysexOnly() const { return m_sysexOnly.load(); }

    // The next queued message, none when closed or empty. Its sysex bytes stay valid until
    // the next read or close.
    std::optional<MidiMessage> read();
    std::size_t messageCount() const { return isOpen() ? m_queue.size() : 0; }
    std::size_t capacity() const { return m_queue.capacity(); }
    // Messages lost to a full queue since the last call: to be reported once.
    std::uint32_t takeLost() { return m_queue.takeLost(); }
    // Exceptions the input handler threw since the port was made.
    std::uint32_t handlerFailures() const { return m_handlerFailures.load(); }

private:
    void receive(std::span<const std::uint8_t> bytes) noexcept override;
    void deliver(const MidiMessage& message) noexcept;
    std::uint32_t millisecondsSinceStart() const noexcept;

    MidiDevices& m_devices;
    std::unique_ptr<MidiInStream> m_stream;
    std::string m_productName;
    MidiInputHandler* m_handler = nullptr;
    MidiClockHandler* m_clockHandler = nullptr;
    MidiInputQueue m_queue;
    MidiByteParser m_parser; // the driver's thread while open
    std::atomic<bool> m_running = false;
    std::atomic<bool> m_sysexOnly = false;
    std::atomic<std::int64_t> m_startNanoseconds = 0; // steady clock
    std::atomic<std::uint32_t> m_handlerFailures = 0;
};

} // namespace oskel
