#include "control/midi_input.h"

namespace oskel {

namespace {

constexpr std::uint32_t kActiveSensing = 0xFE;
constexpr std::uint32_t kTimingClock = 0xF8;

} // namespace

MidiInput::MidiInput(Links links)
    : m_interpreter(links.interpreter)
    , m_learn(links.learn)
    , m_learned(std::move(links.learned))
    , m_wakeMainThread(std::move(links.wakeMainThread))
{
}

void MidiInput::MidiInput1MidiInput(std::uint16_t status, std::uint16_t data1, std::uint16_t data2)
{
    if (inputEnabled()) {
        m_interpreter.ProcessMidiMessage(status, data1, data2);
    }
    if (m_learn.learning() && m_learn.LearnController(status, data1) && m_learned) {
        m_learned();
    }
    if (m_monitor.on() && m_display) {
        m_display(midi_form::monitorLine(status, data1, data2));
    }
}

void MidiInput::receiveDirect(std::uint32_t packed) noexcept
{
    if (packed == kActiveSensing || packed == kTimingClock || !inputEnabled()) {
        return;
    }
    if (m_handOff.push(packed)) {
        wake();
    }
}

// Only the first message of a run wakes the main thread; serveDirect clears the mark before
// it takes the messages, so one that arrives meanwhile wakes it again.
void MidiInput::wake() noexcept
{
    if (!m_wakePending.exchange(true, std::memory_order_acq_rel) && m_wakeMainThread) {
        try {
            m_wakeMainThread();
        } catch (...) {
            // The main thread could not be reached (it is closing): the messages wait.
            m_wakePending.store(false, std::memory_order_release);
        }
    }
}

void MidiInput::serveDirect()
{
    m_wakePending.store(false, std::memory_order_release);
    std::uint32_t packed = 0;
    while (m_handOff.pop(packed)) {
        try {
            MidiInput1MidiInput(static_cast<std::uint16_t>(packed & 0xFF),
                static_cast<std::uint16_t>((packed >> 8) & 0xFF),
                static_cast<std::uint16_t>((packed >> 16) & 0xFF));
        } catch (...) {
            wake();
            throw;
        }
    }
}

} // namespace oskel
