#include "platform/midi_out_thread.h"

#include <algorithm>

namespace oskel {

TMidiOutThread::TMidiOutThread(MidiDevices& devices)
    : m_port(devices)
    , m_thread([this] { run(); })
{
}

TMidiOutThread::~TMidiOutThread()
{
    post({ Kind::End, {}, 0, {} });
    m_thread.join();
}

void TMidiOutThread::open(const std::string& device)
{
    post({ Kind::Open, {}, 0, device });
}

void TMidiOutThread::close()
{
    post({ Kind::Close, {}, 0, {} });
}

void TMidiOutThread::send(std::vector<std::uint8_t> bytes, int key)
{
    post({ Kind::Send, std::move(bytes), key, {} });
}

void TMidiOutThread::controlChange(std::uint8_t controller, std::uint8_t value)
{
    post({ Kind::ControlChange, { 0xB0, controller, value }, 0, {} });
}

std::string TMidiOutThread::failure() const
{
    const std::scoped_lock held(m_lock);
    return m_failure;
}

void TMidiOutThread::drain()
{
    std::unique_lock held(m_lock);
    m_idle.wait(held, [this] { return (m_queue.empty() && !m_busy) || !m_failure.empty(); });
}

void TMidiOutThread::post(Message message)
{
    {
        const std::scoped_lock held(m_lock);
        m_queue.push_back(std::move(message));
    }
    m_wake.notify_one();
}

void TMidiOutThread::run()
{
    while (true) {
        Message next;
        {
            std::unique_lock held(m_lock);
            m_wake.wait(held, [this] { return !m_queue.empty(); });
            next = std::move(m_queue.front());
            m_queue.pop_front();
            // A newer message for the same display cell supersedes this one.
            if (next.key != 0) {
                const auto newest = std::find_if(m_queue.rbegin(), m_queue.rend(),
                    [&](const Message& queued) { return queued.key == next.key; });
                if (newest != m_queue.rend()) {
                    next = std::move(*newest);
                    std::erase_if(
                        m_queue, [&](const Message& queued) { return queued.key == next.key; });
                }
            }
            if (next.kind == Kind::End) {
                return;
            }
            m_busy = true;
        }
        carryOut(next);
        {
            const std::scoped_lock held(m_lock);
            m_busy = false;
        }
        m_idle.notify_all();
        if (!failure().empty()) {
            return;
        }
    }
}

void TMidiOutThread::carryOut(const Message& message)
{
    switch (message.kind) {
    case Kind::Open:
        if (m_state == State::Closed) {
            m_state
                = m_port.open(std::string_view(message.device)).ok() ? State::Open : State::Failed;
        }
        break;
    case Kind::Close:
        m_port.close();
        m_state = State::Closed;
        break;
    case Kind::Send:
    case Kind::ControlChange:
        if (m_state == State::Open) {
            const MidiResult sent = message.kind == Kind::Send
                ? m_port.sendSysex(message.bytes)
                : m_port.sendShort(message.bytes[0], message.bytes[1], message.bytes[2]);
            if (!sent.ok()) {
                const std::scoped_lock held(m_lock);
                m_failure = sent.error;
            }
        }
        break;
    case Kind::End:
        break;
    }
}

} // namespace oskel
