// OSC through the whole instrument: UDP on 127.0.0.1 to the running engine, each message one
// recorded action, the refused ones counted, the address list and the feedback sent back.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/udp_osc_port.h"
#include "support/clip_maker.h"
#include "support/temp_dir.h"
#include "test_instrument.h"

namespace oskel {
namespace {

using test::TestInstrument;

// A tablet: a port of its own that keeps what the instrument sends back.
class OscClientPort {
public:
    OscClientPort()
    {
        m_port.setReceiver([this](OscPacket packet, const OscClient&) {
            const std::scoped_lock held(m_lock);
            for (OscMessage& message : packet.messages) {
                m_received.push_back(std::move(message));
            }
        });
        EXPECT_EQ(m_port.open(0, false), "");
    }
    bool send(std::uint16_t to, const OscMessage& message)
    {
        return m_port.send({ 0x7F000001, to }, message);
    }
    std::vector<OscMessage> received()
    {
        const std::scoped_lock held(m_lock);
        return m_received;
    }
    std::size_t count(std::string_view address)
    {
        const auto all = received();
        return static_cast<std::size_t>(std::count_if(all.begin(), all.end(),
            [&](const OscMessage& message) { return message.address == address; }));
    }

private:
    std::mutex m_lock;
    std::vector<OscMessage> m_received;
    UdpOscPort m_port;
};

void sendRaw(std::uint16_t to, const std::vector<std::uint8_t>& bytes)
{
    const int socketNumber = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in where {};
    where.sin_family = AF_INET;
    where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    where.sin_port = htons(to);
    ::sendto(socketNumber, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&where),
        sizeof where);
    ::close(socketNumber);
}

bool serveUntil(TestInstrument& instrument, const std::function<bool()>& done,
    std::chrono::milliseconds patience = std::chrono::seconds(10))
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        instrument.serve(std::chrono::milliseconds(5));
        instrument->mainLoopTurn(std::chrono::steady_clock::now());
    }
    return done();
}

class OscTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::ffmpegAvailable()) {
            GTEST_SKIP() << "the ffmpeg tool is missing";
        }
        clip = test::makeClip("osc.avi",
            test::joinArgs({ test::testPicture("64x48", "25", "1"), test::tone(44100, "1"),
                { "-ac", "2", "-c:v", "mjpeg", "-c:a", "pcm_s16le" } }));
    }
    // OSC switched on at a port the system chooses.
    static std::uint16_t listen(TestInstrument& instrument)
    {
        instrument->performance().options().osc = OscOptions { true, 0, false };
        instrument->osc().optionsChanged();
        return instrument->osc().port().boundPort();
    }

    std::filesystem::path clip;
    test::TempDir folder;
};

TEST_F(OscTest, MessagesSetControlsAsRecordedActionsAndSubscribersHearTheChanges)
{
    TestInstrument instrument(folder.path());
    ASSERT_TRUE(instrument->loadClip(1, clip));
    const std::uint16_t port = listen(instrument);
    ASSERT_NE(port, 0);
    instrument->recorder().start();
    OscClientPort tablet;
    ASSERT_TRUE(tablet.send(port, { "/oskel/subscribe", {} }));
    ASSERT_TRUE(serveUntil(instrument, [&] { return tablet.count("/oskel/master/loop") == 1; }))
        << "a new subscriber hears the whole state";

    ASSERT_TRUE(tablet.send(port, { "/oskel/slot/1/lumakeylevel", { std::int64_t { 300 } } }));
    ASSERT_TRUE(tablet.send(port, { "/oskel/slot/1/transparency", { 99999.0 } }));
    const TPlayAvistruct& one = instrument->performance().slots()[1];
    const auto heard = [&](const char* address, std::int64_t value) {
        const auto all = tablet.received();
        return std::any_of(all.begin(), all.end(), [&](const OscMessage& m) {
            return m.address == address
                && m.arguments == std::vector<OscArgument> { OscArgument { value } };
        });
    };
    EXPECT_TRUE(serveUntil(instrument, [&] {
        return heard("/oskel/slot/1/lumakeylevel", 300) && heard("/oskel/slot/1/transparency", 256);
    })) << "the table kept the transparency in its range, and the feedback says so";
    EXPECT_EQ(one.LumaKeyLevel, 300);

    // Each message is one line of the recording, as a performance file would play it.
    std::vector<std::string> recorded;
    for (ScriptAction action : instrument->recorder().actions()) {
        action.timeMs = 0;
        recorded.push_back(formatScriptAction(action, folder.path()).value_or("?"));
    }
    EXPECT_EQ(recorded, (std::vector<std::string> { "0 event 20 300 0 1", "0 event 34 256 0 1" }));
}

TEST_F(OscTest, TheAddressListIsSentBackAndBadInputIsCountedNotCarriedOut)
{
    TestInstrument instrument(folder.path());
    const std::uint16_t port = listen(instrument);
    OscClientPort program;
    ASSERT_TRUE(program.send(port, { "/oskel/list", {} }));
    EXPECT_TRUE(serveUntil(
        instrument, [&] { return program.count("/oskel/address") == controlTable().size() + 2; }));

    const bool loopBefore = instrument->performance().globals().Loop;
    ASSERT_TRUE(program.send(port, { "/oskel/master/lop", { std::int64_t { 0 } } }));
    ASSERT_TRUE(program.send(port, { "/oskel/master/loop", { std::string("off") } }));
    sendRaw(port, { 'n', 'o', 't', ' ', 'o', 's', 'c' });
    sendRaw(port, std::vector<std::uint8_t>(kMaxOscPacket + 100, '#'));
    EXPECT_TRUE(serveUntil(instrument, [&] { return instrument->osc().counts().refused == 4; }));
    EXPECT_EQ(instrument->performance().globals().Loop, loopBefore);
    EXPECT_EQ(instrument->osc().counts().taken, 1u);

    // Switched off, the port closes.
    instrument->performance().options().osc.enabled = false;
    instrument->osc().optionsChanged();
    EXPECT_FALSE(instrument->osc().port().isOpen());
}

// Ten thousand messages in a second: the main thread keeps up or drops the excess, counted,
// and the instrument still answers afterwards.
TEST_F(OscTest, AFloodIsTakenOrCountedAndTheInstrumentStillAnswers)
{
    TestInstrument instrument(folder.path());
    const std::uint16_t port = listen(instrument);
    OscClientPort tablet;
    std::atomic<bool> sent { false };
    std::thread flood([&] {
        const auto begin = std::chrono::steady_clock::now();
        for (int k = 0; k < 10000; ++k) {
            std::this_thread::sleep_until(begin + std::chrono::microseconds(k * 100));
            tablet.send(port, { "/oskel/master/crossfadeposition", { std::int64_t { k % 200 } } });
        }
        sent = true;
    });
    while (!sent) {
        instrument.serve(std::chrono::milliseconds(20));
    }
    flood.join();
    // UDP may lose a packet when the system's buffer is full: the last value is sent until it
    // arrives.
    const auto applied = [&] { return instrument.read("[Master]", "CrossfadePosition") == 255; };
    bool answered = false;
    for (int attempt = 0; attempt < 20 && !answered; ++attempt) {
        tablet.send(port, { "/oskel/master/crossfadeposition", { std::int64_t { 255 } } });
        answered = serveUntil(instrument, applied, std::chrono::milliseconds(500));
    }
    EXPECT_TRUE(answered);
    const InstrumentOsc::Counts counts = instrument->osc().counts();
    EXPECT_GT(counts.taken, 0u);
    EXPECT_LE(counts.taken + counts.dropped, 10001u);
    EXPECT_EQ(counts.refused, 0u);
}

} // namespace
} // namespace oskel
