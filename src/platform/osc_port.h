#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/osc_message.h"
#include "platform/osc_packet.h"

namespace oskel {

// Where OSC packets come in and answers go out. The receiver is called on the port's own
// thread, one packet at a time, in the order they arrived.
class OscPort {
public:
    using Receiver = std::function<void(OscPacket packet, const OscClient& from)>;

    virtual ~OscPort() = default;

    // Listens on the UDP port, on 127.0.0.1 only or on every interface. The problem in the
    // performer's words, or an empty text.
    virtual std::string open(std::uint16_t port, bool allInterfaces) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual void setReceiver(Receiver receiver) = 0;
    // The port listened on (the one the system chose when asked for 0); 0 when closed.
    virtual std::uint16_t boundPort() const = 0;
    // False when the message could not be sent (no port open, no room in the network).
    virtual bool send(const OscClient& to, const OscMessage& message) = 0;
};

} // namespace oskel
