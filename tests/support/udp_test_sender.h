#pragma once

#include <string>

#include <sys/types.h>

namespace oskel::test {

// A live MPEG-TS stream over UDP to 127.0.0.1, sent by the ffmpeg tool in real time: a moving
// test picture and a 440 Hz tone, a key frame every five pictures. The receiver's address is
// url(); stop() ends the sender (the stream drops), start() sends again.
class UdpTestSender {
public:
    UdpTestSender();
    ~UdpTestSender();
    UdpTestSender(const UdpTestSender&) = delete;
    UdpTestSender& operator=(const UdpTestSender&) = delete;

    bool start();
    void stop();
    const std::string& url() const { return m_url; }
    int port() const { return m_port; }

private:
    int m_port = 0;
    std::string m_url;
    pid_t m_child = -1;
};

} // namespace oskel::test
