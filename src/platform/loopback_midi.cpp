#include "platform/loopback_midi.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <thread>

namespace oskel {

// The bytes on their way through one cable, and the input listening at its end.
class LoopbackMidi::Wire {
public:
    // False when an input already listens.
    bool attach(MidiByteSink& sink)
    {
        std::lock_guard guard(m_lock);
        if (m_sink) {
            return false;
        }
        m_sink = &sink;
        m_stopping = false;
        m_deliverer = std::thread([this] { deliver(); });
        return true;
    }

    // Returns once the sink will not be called again.
    void detach()
    {
        {
            std::lock_guard guard(m_lock);
            m_stopping = true;
        }
        m_changed.notify_all();
        if (m_deliverer.joinable()) {
            m_deliverer.join();
        }
        std::lock_guard guard(m_lock);
        m_sink = nullptr;
        m_pending.clear();
    }

    void send(std::span<const std::uint8_t> bytes)
    {
        {
            std::lock_guard guard(m_lock);
            if (!m_sink || m_stopping) {
                return;
            }
            m_pending.emplace_back(bytes.begin(), bytes.end());
        }
        m_changed.notify_all();
    }

private:
    // The cable's own thread: hands each sent block to the input, in order. The block is
    // taken out of the list first, so the sink runs without the lock held.
    void deliver()
    {
        std::unique_lock guard(m_lock);
        for (;;) {
            m_changed.wait(guard, [this] { return m_stopping || !m_pending.empty(); });
            if (m_stopping) {
                return;
            }
            const std::vector<std::uint8_t> bytes = std::move(m_pending.front());
            m_pending.pop_front();
            MidiByteSink* sink = m_sink;
            guard.unlock();
            sink->receive(bytes);
            guard.lock();
        }
    }

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<std::vector<std::uint8_t>> m_pending;
    MidiByteSink* m_sink = nullptr;
    bool m_stopping = false;
    std::thread m_deliverer;
};

namespace {

class LoopbackInStream final : public MidiInStream {
public:
    explicit LoopbackInStream(std::shared_ptr<LoopbackMidi::Wire> wire)
        : m_wire(std::move(wire))
    {
    }
    ~LoopbackInStream() override { m_wire->detach(); }

private:
    std::shared_ptr<LoopbackMidi::Wire> m_wire;
};

class LoopbackOutStream final : public MidiOutStream {
public:
    explicit LoopbackOutStream(std::shared_ptr<LoopbackMidi::Wire> wire)
        : m_wire(std::move(wire))
    {
    }
    std::string send(std::span<const std::uint8_t> bytes) override
    {
        m_wire->send(bytes);
        return {};
    }

private:
    std::shared_ptr<LoopbackMidi::Wire> m_wire;
};

} // namespace

LoopbackMidi::LoopbackMidi()
    : LoopbackMidi(std::vector<std::string> { std::string(kDefaultCable) })
{
}

LoopbackMidi::LoopbackMidi(std::vector<std::string> cables)
{
    for (const std::string& cable : cables) {
        plug(cable);
    }
}

LoopbackMidi::~LoopbackMidi() = default;

void LoopbackMidi::plug(std::string_view cable)
{
    std::lock_guard guard(m_lock);
    m_cables.push_back(Cable { std::string(cable), std::make_shared<Wire>() });
}

void LoopbackMidi::unplug(std::string_view cable)
{
    std::lock_guard guard(m_lock);
    std::erase_if(m_cables, [&](const Cable& each) { return each.name == cable; });
}

std::shared_ptr<LoopbackMidi::Wire> LoopbackMidi::find(std::string_view cable) const
{
    std::lock_guard guard(m_lock);
    const auto found = std::find_if(
        m_cables.begin(), m_cables.end(), [&](const Cable& each) { return each.name == cable; });
    return found == m_cables.end() ? nullptr : found->wire;
}

bool LoopbackMidi::inject(std::string_view cable, std::span<const std::uint8_t> bytes)
{
    const std::shared_ptr<Wire> wire = find(cable);
    if (!wire) {
        return false;
    }
    wire->send(bytes);
    return true;
}

std::vector<std::string> LoopbackMidi::inputNames()
{
    std::lock_guard guard(m_lock);
    std::vector<std::string> names;
    for (const Cable& cable : m_cables) {
        names.push_back(cable.name);
    }
    return names;
}

std::vector<std::string> LoopbackMidi::outputNames()
{
    return inputNames();
}

std::unique_ptr<MidiInStream> LoopbackMidi::openInput(
    std::string_view name, MidiByteSink& sink, std::string& whyNot)
{
    std::shared_ptr<Wire> wire = find(name);
    if (!wire) {
        whyNot = midiInputNotInstalled(name);
        return nullptr;
    }
    if (!wire->attach(sink)) {
        whyNot = "MIDI Input Device " + std::string(name) + " is already in use";
        return nullptr;
    }
    return std::make_unique<LoopbackInStream>(std::move(wire));
}

std::unique_ptr<MidiOutStream> LoopbackMidi::openOutput(std::string_view name, std::string& whyNot)
{
    std::shared_ptr<Wire> wire = find(name);
    if (!wire) {
        whyNot = midiOutputNotInstalled(name);
        return nullptr;
    }
    return std::make_unique<LoopbackOutStream>(std::move(wire));
}

} // namespace oskel
