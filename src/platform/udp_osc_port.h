#pragma once

#include <atomic>
#include <mutex>
#include <thread>

#include "platform/osc_port.h"

namespace oskel {

// OSC over UDP on a socket of our own, read by a thread that waits on it at most 100 ms at a
// time so that closing never waits longer.
class UdpOscPort final : public OscPort {
public:
    UdpOscPort() = default;
    UdpOscPort(const UdpOscPort&) = delete;
    UdpOscPort& operator=(const UdpOscPort&) = delete;
    ~UdpOscPort() override { close(); }

    std::string open(std::uint16_t port, bool allInterfaces) override;
    void close() override;
    bool isOpen() const override { return m_socket >= 0; }
    // Set before open.
    void setReceiver(Receiver receiver) override { m_receiver = std::move(receiver); }
    bool send(const OscClient& to, const OscMessage& message) override;
    std::uint16_t boundPort() const override { return isOpen() ? m_boundPort : 0; }

private:
    void receive();

    int m_socket = -1;
    std::uint16_t m_boundPort = 0;
    Receiver m_receiver;
    std::atomic<bool> m_stop { false };
    std::thread m_thread;
};

} // namespace oskel
