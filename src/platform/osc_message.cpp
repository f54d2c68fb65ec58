#include "platform/osc_message.h"

namespace oskel {

std::string OscClient::text() const
{
    return std::to_string((address >> 24) & 0xFF) + "." + std::to_string((address >> 16) & 0xFF)
        + "." + std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF) + ":"
        + std::to_string(port);
}

} // namespace oskel
