#include "platform/udp_osc_port.h"

#include <array>
#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace oskel {

namespace {

constexpr int kWaitMs = 100;

sockaddr_in socketAddress(std::uint32_t address, std::uint16_t port)
{
    sockaddr_in where {};
    where.sin_family = AF_INET;
    where.sin_addr.s_addr = htonl(address);
    where.sin_port = htons(port);
    return where;
}

} // namespace

std::string UdpOscPort::open(std::uint16_t port, bool allInterfaces)
{
    close();
    const int socketNumber = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socketNumber < 0) {
        return std::string("OSC could not open a network socket: ") + std::strerror(errno);
    }
    const sockaddr_in where = socketAddress(allInterfaces ? INADDR_ANY : INADDR_LOOPBACK, port);
    if (::bind(socketNumber, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0) {
        const int error = errno;
        ::close(socketNumber);
        return "OSC could not listen on UDP port " + std::to_string(port) + ": "
            + std::strerror(error);
    }
    sockaddr_in bound {};
    socklen_t length = sizeof bound;
    ::getsockname(socketNumber, reinterpret_cast<sockaddr*>(&bound), &length);
    m_boundPort = ntohs(bound.sin_port);
    m_socket = socketNumber;
    m_stop = false;
    m_thread = std::thread([this] { receive(); });
    return {};
}

void UdpOscPort::close()
{
    if (m_thread.joinable()) {
        m_stop = true;
        m_thread.join();
    }
    if (m_socket >= 0) {
        ::close(m_socket);
        m_socket = -1;
    }
}

void UdpOscPort::receive()
{
    std::array<std::uint8_t, kMaxOscPacket + 1> buffer {};
    while (!m_stop) {
        pollfd waiting { m_socket, POLLIN, 0 };
        if (::poll(&waiting, 1, kWaitMs) <= 0) {
            continue;
        }
        sockaddr_in from {};
        socklen_t length = sizeof from;
        // MSG_TRUNC: the packet's whole size, so that one larger than the buffer is known.
        const ssize_t size = ::recvfrom(m_socket, buffer.data(), buffer.size(), MSG_TRUNC,
            reinterpret_cast<sockaddr*>(&from), &length);
        if (size < 0 || !m_receiver) {
            continue;
        }
        const OscClient sender { ntohl(from.sin_addr.s_addr), ntohs(from.sin_port) };
        const std::size_t taken = std::min(static_cast<std::size_t>(size), buffer.size());
        OscPacket packet = static_cast<std::size_t>(size) > kMaxOscPacket
            ? OscPacket { {},
                  { "a packet larger than " + std::to_string(kMaxOscPacket) + " bytes" } }
            : decodeOscPacket(std::span(buffer.data(), taken));
        m_receiver(std::move(packet), sender);
    }
}

bool UdpOscPort::send(const OscClient& to, const OscMessage& message)
{
    const std::vector<std::uint8_t> bytes = encodeOscMessage(message);
    if (m_socket < 0 || bytes.empty()) {
        return false;
    }
    const sockaddr_in where = socketAddress(to.address, to.port);
    return ::sendto(m_socket, bytes.data(), bytes.size(), MSG_DONTWAIT,
               reinterpret_cast<const sockaddr*>(&where), sizeof where)
        == static_cast<ssize_t>(bytes.size());
}

} // namespace oskel
