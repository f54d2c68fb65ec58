#include "udp_test_sender.h"

#include <csignal>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "clip_maker.h"
#include "started_tool.h"

namespace oskel::test {

namespace {

// A port the system has just handed out on the loopback address, free again for the test.
int freeUdpPort()
{
    const int socket = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (socket >= 0 && bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    if (socket >= 0) {
        close(socket);
    }
    return port;
}

} // namespace

UdpTestSender::UdpTestSender()
    : m_port(freeUdpPort())
    , m_url("udp://127.0.0.1:" + std::to_string(m_port))
{
}

UdpTestSender::~UdpTestSender()
{
    stop();
}

bool UdpTestSender::start()
{
    stop();
    m_child = startTool(joinArgs({ { "ffmpeg", "-v", "error", "-re" },
        { "-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25" },
        { "-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100" },
        { "-c:v", "mpeg2video", "-g", "5", "-b:v", "800k", "-c:a", "mp2", "-ac", "2" },
        { "-f", "mpegts", m_url + "?pkt_size=1316" } }));
    return m_child > 0;
}

void UdpTestSender::stop()
{
    if (m_child > 0) {
        kill(m_child, SIGKILL);
        waitpid(m_child, nullptr, 0);
        m_child = -1;
    }
}

} // namespace oskel::test
