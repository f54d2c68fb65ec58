#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include "core/control_table.h"
#include "core/slot_geometry.h"
#include "media_probe.h"
#include "platform/loopback_camera.h"
#include "playback/null_frame_renderer.h"
#include "recording/camera_switch.h"
#include "recording/virtual_camera.h"
#include "support/performance_with_controls.h"
#include "support/started_tool.h"
#include "support/temp_dir.h"
#include "support/wait_until.h"

namespace oskel {
namespace {

using namespace std::chrono_literals;
using test::waitUntil;

constexpr std::size_t kPictureBytes = std::size_t(kAreaWidth) * kAreaHeight * 3;

TEST(VideoOutputFormatTest, PlanesOfEvenSizesAndNothingBelowTwoPixels)
{
    struct Case {
        int width, height;
        VideoOutputFormat expected;
    };
    const std::vector<Case> cases {
        { 384, 288, { 384, 288, 384, 384 * 288 * 3 / 2 } },
        { 1281, 721, { 1280, 720, 1280, 1280 * 720 * 3 / 2 } },
        { 2, 2, { 2, 2, 2, 6 } },
        { 1, 288, {} },
        { 384, 0, {} },
        { -4, -4, {} },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(videoOutputFormat(c.width, c.height), c.expected) << c.width << "x" << c.height;
    }
}

// A picture of one colour everywhere.
std::vector<std::uint8_t> filled(
    int width, int height, std::uint8_t b, std::uint8_t g, std::uint8_t r)
{
    std::vector<std::uint8_t> bgr(std::size_t(width) * height * 3);
    for (std::size_t i = 0; i < bgr.size(); i += 3) {
        bgr[i] = b;
        bgr[i + 1] = g;
        bgr[i + 2] = r;
    }
    return bgr;
}

// The colours a camera reader expects: BT.601 in studio range, Y plane then U then V.
TEST(CameraPictureConverterTest, ColoursBecomeStudioRangeYuvPlanesAtTheDevicesSize)
{
    struct Case {
        const char* name;
        std::uint8_t b, g, r;
        int y, u, v;
    };
    const std::vector<Case> cases {
        { "white", 255, 255, 255, 235, 128, 128 },
        { "black", 0, 0, 0, 16, 128, 128 },
        { "red", 0, 0, 255, 81, 90, 240 },
        { "blue", 255, 0, 0, 41, 240, 110 },
    };
    for (const VideoOutputFormat& format :
        { videoOutputFormat(384, 288), videoOutputFormat(640, 480) }) {
        CameraPictureConverter converter(kAreaWidth, kAreaHeight, format);
        ASSERT_EQ(converter.pictureBytes(), kPictureBytes);
        std::vector<std::uint8_t> out(format.frameBytes);
        const std::size_t luma = std::size_t(format.width) * format.height;
        for (const Case& c : cases) {
            converter.convert(filled(kAreaWidth, kAreaHeight, c.b, c.g, c.r).data(), out);
            for (const std::size_t at : { std::size_t(0), luma / 2 + 7, luma - 1 }) {
                EXPECT_NEAR(out[at], c.y, 1) << c.name << " Y at " << at;
            }
            EXPECT_NEAR(out[luma], c.u, 1) << c.name << " U";
            EXPECT_NEAR(out[luma + luma / 4 - 1], c.u, 1) << c.name << " last U";
            EXPECT_NEAR(out[luma + luma / 4], c.v, 1) << c.name << " V";
            EXPECT_NEAR(out.back(), c.v, 1) << c.name << " last V";
        }
    }
}

TEST(CameraPictureConverterTest, TopRowComesFirst)
{
    const VideoOutputFormat format = videoOutputFormat(kAreaWidth, kAreaHeight);
    CameraPictureConverter converter(kAreaWidth, kAreaHeight, format);
    std::vector<std::uint8_t> bgr = filled(kAreaWidth, kAreaHeight, 0, 0, 0);
    std::fill(bgr.begin(), bgr.begin() + bgr.size() / 2, std::uint8_t { 255 }); // top half white
    std::vector<std::uint8_t> out(format.frameBytes);
    converter.convert(bgr.data(), out);
    EXPECT_NEAR(out[0], 235, 1);
    EXPECT_NEAR(out[std::size_t(format.width) * (format.height - 1)], 16, 1);
}

// A folder laid out as the system lists its video devices.
class VideoDeviceFoldersTest : public ::testing::Test {
protected:
    void addDevice(const std::string& node, const std::string& name)
    {
        std::filesystem::create_directories(folders.sysClass / node);
        std::ofstream(folders.sysClass / node / "name") << name << "\n";
        std::ofstream(folders.dev / node) << ""; // a plain file stands for the node
    }

    test::TempDir root;
    VideoDeviceFolders folders { root / "class", root / "dev", root / "module" };
    void SetUp() override { std::filesystem::create_directories(folders.dev); }
};

TEST_F(VideoDeviceFoldersTest, ListsDevicesByNameInTheOrderOfTheirNodes)
{
    EXPECT_TRUE(listVideoDevices(folders).empty()) << "no folder at all";
    addDevice("video10", "Oskel 3");
    addDevice("video2", "Integrated Camera: Integrated C");
    const auto devices = listVideoDevices(folders);
    ASSERT_EQ(devices.size(), 2U);
    EXPECT_EQ(devices[0].node, folders.dev / "video2");
    EXPECT_EQ(devices[0].name, "Integrated Camera: Integrated C");
    EXPECT_EQ(devices[1].node, folders.dev / "video10");
    EXPECT_EQ(devices[1].name, "Oskel 3");
}

TEST_F(VideoDeviceFoldersTest, AMissingDeviceIsToldWithTheCommandThatMakesIt)
{
    const VideoOutputFormat format = videoOutputFormat(kAreaWidth, kAreaHeight);
    LoopbackCameraChoice choice = openLoopbackCamera("Oskel 3", format, folders);
    EXPECT_FALSE(choice.device);
    EXPECT_EQ(choice.problem,
        "There is no virtual camera \"Oskel 3\": the v4l2loopback module is not loaded. This "
        "command makes one (Debian's package v4l2loopback-dkms): sudo modprobe v4l2loopback "
        "exclusive_caps=1 card_label=\"Oskel 3\"");
    std::filesystem::create_directories(folders.loopbackModule);
    addDevice("video10", "Another loopback");
    choice = openLoopbackCamera("Oskel 3", format, folders);
    EXPECT_EQ(choice.problem.find("There is no virtual camera \"Oskel 3\". This command"), 0U)
        << choice.problem;
}

TEST_F(VideoDeviceFoldersTest, ADeviceThatIsNotAVirtualCameraIsRefusedUnwritten)
{
    addDevice("video0", "Integrated Camera");
    const LoopbackCameraChoice choice = openLoopbackCamera(
        "Integrated Camera", videoOutputFormat(kAreaWidth, kAreaHeight), folders);
    EXPECT_FALSE(choice.device);
    EXPECT_EQ(choice.problem.find("The video device \"Integrated Camera\" ("), 0U)
        << choice.problem;
    EXPECT_NE(choice.problem.find("is not a virtual camera"), std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(folders.dev / "video0"), 0U);
}

// A camera device in memory: keeps what is written, can be held so that writes wait, and can
// fail.
struct MemoryCameraState {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::vector<std::uint8_t>> pictures;
    bool held = false;
    std::string failure;
};

class MemoryCamera final : public VideoOutputDevice {
public:
    MemoryCamera(MemoryCameraState& state, VideoOutputFormat format)
        : m_state(state)
        , m_format(format)
    {
    }
    const VideoOutputFormat& format() const override { return m_format; }
    std::string write(std::span<const std::uint8_t> picture) override
    {
        std::unique_lock guard(m_state.lock);
        m_state.changed.wait(guard, [this] { return !m_state.held; });
        if (!m_state.failure.empty()) {
            return m_state.failure;
        }
        m_state.pictures.emplace_back(picture.begin(), picture.end());
        m_state.changed.notify_all();
        return {};
    }

private:
    MemoryCameraState& m_state;
    VideoOutputFormat m_format;
};

class VirtualCameraTest : public ::testing::Test {
protected:
    std::unique_ptr<VirtualCamera> cameraOf(VideoOutputFormat format)
    {
        return std::make_unique<VirtualCamera>(
            std::make_unique<MemoryCamera>(device, format), [this](const std::string& message) {
                std::lock_guard guard(device.lock);
                problems.push_back(message);
            });
    }
    static bool offer(VirtualCamera& camera, std::int64_t frame, std::uint8_t grey)
    {
        return camera.offerFrameAt(frame, [grey](std::uint8_t* bgr, std::size_t size) {
            std::fill(bgr, bgr + size, grey);
            return true;
        });
    }
    std::size_t written()
    {
        std::lock_guard guard(device.lock);
        return device.pictures.size();
    }
    void hold(bool held)
    {
        std::lock_guard guard(device.lock);
        device.held = held;
        device.changed.notify_all();
    }

    MemoryCameraState device;
    std::vector<std::string> problems; // under device.lock
};

TEST_F(VirtualCameraTest, WritesEachPictureInTheDevicesFormat)
{
    const VideoOutputFormat format = videoOutputFormat(640, 480);
    auto camera = cameraOf(format);
    for (int frame = 0; frame < 5; ++frame) {
        ASSERT_TRUE(offer(*camera, frame, 255));
        ASSERT_TRUE(waitUntil([&] { return written() == std::size_t(frame) + 1; }, 10s));
    }
    EXPECT_EQ(camera->framesWritten(), 5);
    EXPECT_EQ(camera->framesDropped(), 0);
    std::lock_guard guard(device.lock);
    for (const auto& picture : device.pictures) {
        ASSERT_EQ(picture.size(), format.frameBytes);
        EXPECT_NEAR(picture.front(), 235, 1);
    }
}

TEST_F(VirtualCameraTest, AWriterThatIsBehindCostsHandOversNoWaitOnlyDrops)
{
    auto camera = cameraOf(videoOutputFormat(kAreaWidth, kAreaHeight));
    hold(true);
    int taken = 0;
    for (int frame = 0; frame < 200; ++frame) {
        taken += offer(*camera, frame, 100) ? 1 : 0;
    }
    // One picture is in the writer's hands, converted and waiting on the device; the slots
    // hold the rest.
    EXPECT_LE(taken, static_cast<int>(PictureHandover::kSlots) + 1);
    EXPECT_EQ(camera->framesDropped(), 200 - taken);
    hold(false);
    ASSERT_TRUE(waitUntil([&] { return camera->framesWritten() == taken; }, 10s));
    EXPECT_TRUE(offer(*camera, 200, 100));
}

TEST_F(VirtualCameraTest, AFailedWriteIsToldOnceAndTheCameraStops)
{
    device.failure
        = "The virtual camera \"Oskel 3\" (/dev/video10) took no picture: No such device";
    auto camera = cameraOf(videoOutputFormat(kAreaWidth, kAreaHeight));
    EXPECT_TRUE(offer(*camera, 0, 1));
    ASSERT_TRUE(waitUntil([&] { return !camera->running(); }, 10s));
    EXPECT_FALSE(offer(*camera, 1, 1));
    camera.reset();
    ASSERT_EQ(problems.size(), 1U);
    EXPECT_EQ(problems.front(), device.failure);
}

// A drawing surface whose picture is grey.
class GreySurface final : public NullFrameRenderer {
public:
    bool readOutput(std::uint8_t* bgr, std::size_t size) override
    {
        std::fill(bgr, bgr + size, std::uint8_t { 128 });
        return true;
    }
};

// The camera switched on and off by the performer's control, through the event processor,
// with devices the test opens.
class CameraSwitchTest : public ::testing::Test {
protected:
    void setCamera(bool on)
    {
        setControl(state.controls, state.performance, *findControl("Master", "VirtualCameraOutput"),
            on ? 1 : 0);
    }
    void turns(int count)
    {
        for (int turn = 0; turn < count; ++turn) {
            cameras.mainLoopTurn();
            state.mainThread.processPending();
        }
    }
    LoopbackCameraChoice open(const std::string& name, const VideoOutputFormat& format)
    {
        opened.push_back(name);
        if (!openProblem.empty()) {
            return { nullptr, openProblem };
        }
        return { std::make_unique<MemoryCamera>(device, format), {} };
    }

    test::PerformanceWithControls state;
    test::RecordingUserInterface& ui = state.ui;
    MemoryCameraState device;
    std::vector<std::string> opened;
    std::string openProblem;
    StreamingRenderer renderer { std::make_unique<GreySurface>() };
    CameraSwitch cameras { state.performance, renderer, state.mainThread, state.ui,
        [this](const std::string& name, const VideoOutputFormat& format) {
            return open(name, format);
        } };
};

TEST_F(CameraSwitchTest, OpensTheNamedDeviceWhileTheControlIsOn)
{
    turns(2);
    EXPECT_TRUE(opened.empty());
    state.performance.options().camera.device = "Stage camera";
    setCamera(true);
    turns(3);
    EXPECT_EQ(opened, std::vector<std::string> { "Stage camera" });
    renderer.Present();
    ASSERT_TRUE(
        waitUntil([this] { return cameras.countsText() == "Camera: 1 written, 0 dropped"; }, 10s))
        << cameras.countsText();
    setCamera(false);
    turns(1);
    EXPECT_EQ(cameras.countsText(), "");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CameraSwitchTest, ADeviceThatCannotBeOpenedOrFailsIsToldOnceUntilSwitchedOffAndOn)
{
    openProblem = "There is no virtual camera \"Oskel 3\"";
    setCamera(true);
    turns(5);
    EXPECT_EQ(opened.size(), 1U);
    ASSERT_EQ(ui.messages, std::vector<std::string> { openProblem });
    setCamera(false);
    turns(1);
    openProblem.clear();
    device.failure = "The virtual camera took no picture";
    setCamera(true);
    turns(1);
    renderer.Present();
    ASSERT_TRUE(waitUntil(
        [this] {
            turns(1);
            return ui.messages.size() == 2;
        },
        10s));
    turns(5);
    EXPECT_EQ(ui.messages.back(), device.failure);
    EXPECT_EQ(ui.messages.size(), 2U);
    EXPECT_EQ(cameras.countsText(), "");
    EXPECT_EQ(opened.size(), 2U);
    setCamera(false);
    turns(1);
    setCamera(true);
    turns(1);
    EXPECT_EQ(opened.size(), 3U) << "tried again once switched off and on";
}

// Writes to a real virtual camera where this machine has one, and reads it back as a camera
// reader would.
TEST(LoopbackCameraDeviceTest, AReaderSeesThePicturesWritten)
{
    std::string name;
    for (const VideoDeviceName& device : listVideoDevices()) {
        if (openLoopbackCamera(device.name, videoOutputFormat(kAreaWidth, kAreaHeight)).device) {
            name = device.name;
            break;
        }
    }
    if (name.empty()) {
        GTEST_SKIP() << "this machine has no v4l2loopback device that can be written ("
                     << loopbackLoadCommand("Oskel 3") << " makes one)";
    }
    const auto devices = listVideoDevices();
    const auto node = std::ranges::find(devices, name, &VideoDeviceName::name)->node;
    auto choice = openLoopbackCamera(name, videoOutputFormat(kAreaWidth, kAreaHeight));
    ASSERT_TRUE(choice.device) << choice.problem;
    VirtualCamera camera(std::move(choice.device), [](const std::string&) {});
    test::TempDir folder;
    const auto received = folder / "received.nut";
    const pid_t reader
        = test::startTool({ "ffmpeg", "-nostdin", "-v", "error", "-f", "v4l2", "-i", node.string(),
                              "-frames:v", "10", "-c:v", "rawvideo", received.string() },
            folder / "reader.log");
    ASSERT_GT(reader, 0);
    int status = -1;
    for (std::int64_t frame = 0; frame < 500; ++frame) {
        camera.offerFrameAt(frame, [](std::uint8_t* bgr, std::size_t size) {
            std::fill(bgr, bgr + size, std::uint8_t { 255 });
            return true;
        });
        std::this_thread::sleep_for(40ms);
        if (::waitpid(reader, &status, WNOHANG) == reader) {
            break;
        }
    }
    if (status == -1) {
        ::kill(reader, SIGKILL);
        ::waitpid(reader, &status, 0);
    }
    auto video = test::probeStream(received, "v:0");
    EXPECT_EQ(video["width"], "384");
    EXPECT_EQ(video["height"], "288");
    EXPECT_EQ(video["nb_read_frames"], "10");
    EXPECT_GE(camera.framesWritten(), 10);
}

} // namespace
} // namespace oskel
