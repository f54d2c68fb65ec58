// Patches saved from and loaded into whole instruments, without windows or drawing: the
// round trip over every setting, old and lost files, the checks on what a patch says, and
// hostile patch files.
#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <thread>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/instrument.h"
#include "core/control_table.h"
#include "core/slot_rules.h"
#include "persistence/ini_profile.h"
#include "platform/manual_clock_sound_device.h"
#include "support/bmp_writer.h"
#include "support/clip_maker.h"
#include "support/recording_user_interface.h"
#include "support/temp_dir.h"
#include "support/udp_test_sender.h"
#include "test_instrument.h"

namespace oskel {
namespace {

namespace fs = std::filesystem;
using test::TestInstrument;

std::string slotGroup(int slot)
{
    return "[Slot" + std::to_string(slot) + "]";
}

// The audio command thread turns a slot round a moment after it is asked to.
void waitUntil(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void writeText(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

class PatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::ffmpegAvailable()) {
            GTEST_SKIP() << "the ffmpeg tool is missing";
        }
        // Large enough for 3D; one second of stereo sound: 176400 bytes.
        large = test::makeClip("large.avi",
            test::joinArgs({ test::testPicture("320x256", "25", "1"), test::tone(44100, "1"),
                { "-ac", "2", "-c:v", "mjpeg", "-c:a", "pcm_s16le" } }));
        small = test::makeClip("small.avi",
            test::joinArgs({ test::testPicture("64x48", "25", "1"), test::tone(44100, "1"),
                { "-ac", "2", "-c:v", "mjpeg", "-c:a", "pcm_s16le" } }));
    }

    fs::path large;
    fs::path small;
    test::TempDir folder;
};

// A value per slot for every setting a patch keeps, each different from its default and from
// the other slots' where the range allows.
struct SlotSetting {
    std::string_view item;
    std::int32_t (*value)(int slot);
};

constexpr std::int64_t kClipBytes = 176400;

const SlotSetting kSlotSettings[] = {
    { "SyncMode", [](int s) { return s == 5 || s == 11 ? 1 : 0; } },
    { "OutPoint", [](int s) { return static_cast<std::int32_t>(kClipBytes - 1000 * s); } },
    { "InPoint", [](int s) { return 1000 * s; } },
    { "Chop", [](int s) { return s % 2; } },
    { "Frequency", [](int s) { return 22050 + 100 * s; } },
    { "LumaKeyLevel", [](int s) { return 40 * s; } },
    { "InverseLuma", [](int s) { return (s / 2) % 2; } },
    { "LumaBlendLevel", [](int s) { return 7 * s; } },
    { "Transparency", [](int s) { return 10 * s; } },
    { "Additive", [](int s) { return s % 3 == 0 ? 1 : 0; } },
    { "Volume", [](int s) { return -300 * s; } },
    { "Balance", [](int s) { return 3 * s; } },
    { "Mute", [](int s) { return s == 5 || s == 11 || s % 4 == 0 ? 1 : 0; } },
    { "DisableMidi", [](int s) { return s % 5 == 0 ? 1 : 0; } },
    { "Left", [](int s) { return -s; } },
    { "Top", [](int s) { return 2 * s; } },
    { "Right", [](int s) { return 100 + s; } },
    { "Bottom", [](int s) { return 80 + s; } },
    { "ColourSwap", [](int s) { return s % 4; } },
    { "ThreeD", [](int s) { return s % 4 == 0 ? 1 : 0; } }, // only the large clips take 3D
    { "XRotation", [](int s) { return 1500 * s; } },
    { "YRotation", [](int s) { return -2250 * s; } },
    { "ZRotation", [](int s) { return 125 * s; } },
    { "XRotationSpeed", [](int s) { return 250 * s; } },
    { "YRotationSpeed", [](int s) { return -500 * s; } },
    { "ZRotationSpeed", [](int s) { return 75 * s; } },
    { "HorizontalTiles", [](int s) { return 1 + s % 7; } },
    { "VerticalTiles", [](int s) { return 1 + (s + 3) % 7; } },
    { "TileSpacing", [](int s) { return 250 * s; } },
    { "Size3D", [](int s) { return 100 * s; } },
    { "Beats", [](int s) { return s + 1; } },
    { "FollowBpm", [](int s) { return (s + 1) % 2; } },
};

struct MasterSetting {
    std::string_view item;
    std::int32_t value;
};

const MasterSetting kMasterSettings[] = {
    { "Loop", 0 },
    { "Layering", 0 },
    { "Monophonic", 1 },
    { "PcNoteOff", 1 },
    { "ConstrainMovement", 0 },
    { "Trails", 1 },
    { "TrailsStrength", 23 },
    { "Tempo", 123500 },
    { "CrossfadeVideo", 0 },
    { "CrossfadeAudio", 0 },
    { "SixteenMidiChannels", 1 },
    { "PitchNotes", 1 },
    { "MidiNoteOff", 1 },
    { "VelocityVolume", 1 },
    { "VelocityOpacity", 1 },
    { "KaossPad", 1 },
    { "DisableBlackNotes", 1 },
    { "DisablePitchAndMod", 1 },
    { "MidiInputBuffer", 0 },
    { "GuitarMode", 1 },
};

TEST_F(PatchTest, EverySettingOfSixteenSlotsComesBackFromASavedPatch)
{
    const fs::path stencil = folder / "stencil.bmp";
    test::writeBytesToFile(stencil, test::makeBmp(8, 8, 8, std::vector<std::uint8_t>(64, 255)));
    const fs::path patch = folder / "show.okp";
    LayerStack::Order order {};
    std::map<std::pair<int, std::string_view>, std::optional<std::int32_t>> savedValues;
    {
        TestInstrument saved(folder / "first");
        saved->performance().options().midi.OKPloadMIDIconfig = true;
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            ASSERT_TRUE(saved->loadClip(slot, slot % 2 == 0 ? large : small)) << slot;
        }
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            for (const SlotSetting& setting : kSlotSettings) {
                saved.set(slotGroup(slot), setting.item, setting.value(slot));
            }
        }
        for (int slot = 1; slot <= kSlotCount; slot += 3) {
            saved.set(slotGroup(slot), "Direction", 2);
            waitUntil([&] { return saved->performance().slots()[slot].Direction == 2; });
        }
        ASSERT_TRUE(saved->performance().LoadStencil(3, stencil));
        saved.set("[Slot3]", "Stencil", 1);
        // Brightness, contrast and saturation: three parameters.
        saved.set("[Slot7]", "EffectPlugin", saved->effects().pluginIndexOf("Colour.so"));
        saved.set("[Slot7]", "EffectParameter1", 250);
        saved.set("[Slot7]", "EffectParameter2", 1000);
        saved.set("[Slot7]", "EffectParameter3", 0);
        saved.set("[Slot7]", "Effect", 1);
        for (const MasterSetting& setting : kMasterSettings) {
            saved.set("[Master]", setting.item, setting.value);
        }
        saved->performance().options().midi.controllers.at(4) = 74;
        saved->performance().options().midi.controllerInverts.at(4) = true;
        for (std::size_t k = 0; k < order.size(); ++k) {
            order.at(k) = static_cast<int>((k * 5) % kSlotCount) + 1;
        }
        ASSERT_TRUE(saved->performance().layerStack().setOrder(order));
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            for (const SlotSetting& setting : kSlotSettings) {
                savedValues[{ slot, setting.item }] = saved.read(slotGroup(slot), setting.item);
            }
        }
        ASSERT_EQ(saved->savePatch(patch), std::nullopt);
    }

    TestInstrument loaded(folder / "second");
    loaded->performance().options().midi.OKPloadMIDIconfig = true;
    ASSERT_EQ(loaded->loadPatch(patch), PatchLoader::Outcome::Loaded);
    EXPECT_EQ(loaded->effects().pluginIndex(9), 0);
    EXPECT_EQ(loaded.ui.messages, std::vector<std::string> {});
    const Performance& performance = loaded->performance();
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const TPlayAvistruct& record = performance.slots()[slot];
        EXPECT_EQ(record.FileName.str(), (slot % 2 == 0 ? large : small).string());
        waitUntil([&] { return record.Direction == (slot % 3 == 1 ? 2 : 1); });
        EXPECT_EQ(record.Direction, slot % 3 == 1 ? 2 : 1) << slot;
        for (const SlotSetting& setting : kSlotSettings) {
            const auto value = loaded.read(slotGroup(slot), setting.item);
            EXPECT_EQ(value, (savedValues[{ slot, setting.item }]))
                << slotGroup(slot) << " " << setting.item;
            // The even slots follow the tempo, which gives them their speed.
            if (setting.item != "Frequency" || slot % 2 == 1) {
                EXPECT_EQ(value, setting.value(slot)) << slotGroup(slot) << " " << setting.item;
            }
        }
    }
    EXPECT_EQ(loaded.read("[Slot3]", "Stencil"), 1);
    EXPECT_EQ(performance.slots()[3].StencilFileName.str(), stencil.string());
    EXPECT_EQ(performance.slots()[7].FFfilename.str(), "Colour.so");
    EXPECT_EQ(loaded->effects().pluginIndex(7), loaded->effects().pluginIndexOf("Colour.so"));
    EXPECT_TRUE(performance.slots()[7].FFenable);
    EXPECT_EQ(performance.slots()[7].FFparams,
        (std::array<float, 8> { 0.25f, 1.0f, 0.0f, -1.0f, -1.0f, -1.0f, -1.0f, -1.0f }));
    for (const MasterSetting& setting : kMasterSettings) {
        EXPECT_EQ(loaded.read("[Master]", setting.item), setting.value) << setting.item;
    }
    EXPECT_EQ(performance.options().midi.controllers.at(4), 74);
    EXPECT_TRUE(performance.options().midi.controllerInverts.at(4));
    EXPECT_EQ(performance.layerStack().order(), order);
    EXPECT_FALSE(performance.globals().loadingBusy);
    EXPECT_EQ(performance.globals().currentPatchPath, patch.string());
}

// Without "Version" the patch comes from an older program: its clips load with new settings,
// placed as a clip loaded on its own, while its global options still apply.
TEST_F(PatchTest, AnOldPatchLoadsItsClipsOnly)
{
    const fs::path patch = folder / "old.okp";
    writeText(patch,
        "[Globals]\nLoop=0\n[Filenames]\n1=" + small.string() + "\n2=" + small.string()
            + "\n[InPoints]\n1=4000\n[Lefts]\n1=10\n[Tops]\n1=10\n[Rights]\n1=20\n"
              "[Bottoms]\n1=20\n[LumaKeyLevels]\n1=300\n");
    TestInstrument instrument(folder.path());
    instrument.set("[Master]", "LoadFullScreen", 0);
    ASSERT_EQ(instrument->loadPatch(patch), PatchLoader::Outcome::Loaded);
    const TPlayAvistruct& record = instrument->performance().slots()[1];
    EXPECT_EQ(std::tuple(record.Left, record.Top, record.Right, record.Bottom),
        std::tuple(160, 120, 224, 168));
    EXPECT_EQ(record.InPoint, 0);
    EXPECT_EQ(record.LumaKeyLevel, 0);
    EXPECT_TRUE(instrument->performance().slots()[2].Loaded);
    EXPECT_EQ(instrument.read("[Master]", "Loop"), 0);
}

// Clips that moved are found by name: next to the patch (a patch written on Windows names
// them with a drive), in the clip folders used before, or by asking once.
TEST_F(PatchTest, LostClipsAreFoundOrSkippedAfterOneQuestion)
{
    const fs::path patchFolder = folder / "show";
    const fs::path history = folder / "old clips";
    fs::create_directories(patchFolder);
    fs::create_directories(history);
    fs::copy_file(small, patchFolder / "beach.avi");
    fs::copy_file(small, history / "forest.avi");
    const fs::path patch = patchFolder / "show.okp";
    writeText(patch,
        "[Version]\nOKP=Low1\n[Filenames]\n1=C:\\clips\\beach.avi\n2=/gone/forest.avi\n"
        "3=/gone/lake.avi\n4=/gone/river.avi\n");
    TestInstrument instrument(folder.path());
    instrument->performance().globals().clipFolderHistory = { (history / "").string() };
    int questions = 0;
    instrument->patchLoader().setLostFileDialog(
        [&](std::string_view message, const fs::path&, std::string_view name) {
            ++questions;
            EXPECT_EQ(message, "Please locate lost clip");
            EXPECT_EQ(name, "/gone/lake.avi");
            return std::optional<fs::path>();
        });
    ASSERT_EQ(instrument->loadPatch(patch), PatchLoader::Outcome::Loaded);
    const auto& slots = instrument->performance().slots();
    EXPECT_TRUE(slots[1].Loaded);
    EXPECT_TRUE(slots[1].FoundNearPatch);
    EXPECT_TRUE(slots[2].Loaded);
    EXPECT_EQ(slots[2].FileName.str(), (history / "forest.avi").string());
    EXPECT_FALSE(slots[3].Loaded);
    EXPECT_FALSE(slots[4].Loaded);
    EXPECT_EQ(questions, 1);
    EXPECT_NE(instrument.ui.statusTexts.back().find("/gone/river.avi"), std::string::npos);

    // Saved again in its folder, the clip next to the patch is named relative to it.
    ASSERT_EQ(instrument->savePatch(patch), std::nullopt);
    EXPECT_EQ(readIniFile(patch).profile.readString("Filenames", "1", ""), "beach.avi");
}

// A name holding a NUL byte would reach the system as the shorter name before it: the clip
// or stencil is skipped with a note instead, even where the shorter name is a good file.
TEST_F(PatchTest, NamesHoldingANulByteAreSkippedWithANote)
{
    const fs::path stencil = folder / "stencil.bmp";
    test::writeBytesToFile(stencil, test::makeBmp(8, 8, 8, std::vector<std::uint8_t>(64, 255)));
    const std::string nul(1, '\0');
    const fs::path patch = folder / "nul.okp";
    writeText(patch,
        "[Version]\nOKP=Low1\n[Filenames]\n1=" + small.string() + nul + ".mov\n2=" + small.string()
            + "\n[StencilFilenames]\n2=" + stencil.string() + nul + "x\n[StencilEnableds]\n2=1\n");
    TestInstrument instrument(folder.path());
    ASSERT_EQ(instrument->loadPatch(patch), PatchLoader::Outcome::Loaded);
    const auto& slots = instrument->performance().slots();
    EXPECT_FALSE(slots[1].Loaded);
    EXPECT_TRUE(slots[2].Loaded);
    EXPECT_EQ(slots[2].StencilFileName.str(), "");
    EXPECT_EQ(instrument.read("[Slot2]", "Stencil"), 0);
    const std::string& status = instrument.ui.statusTexts.back();
    EXPECT_NE(status.find("the clip " + small.string() + "\\0.mov, whose name holds a NUL byte"),
        std::string::npos)
        << status;
    EXPECT_NE(
        status.find("slot 2's stencil " + stencil.string() + "\\0x, whose name holds a NUL byte"),
        std::string::npos)
        << status;
}

TEST_F(PatchTest, InAndOutPointsOutsideTheClipAreReset)
{
    const fs::path patch = folder / "points.okp";
    std::string text = "[Version]\nOKP=Low1\n[Filenames]\n";
    for (int slot = 1; slot <= 4; ++slot) {
        text += std::to_string(slot) + "=" + small.string() + "\n";
    }
    text += "[InPoints]\n1=-5\n2=" + std::to_string(kClipBytes + 10)
        + "\n4=2000\n[OutPoints]\n3=" + std::to_string(kClipBytes + 10) + "\n4=1000\n";
    writeText(patch, text);
    TestInstrument instrument(folder.path());
    ASSERT_EQ(instrument->loadPatch(patch), PatchLoader::Outcome::Loaded);
    EXPECT_EQ(instrument.ui.messages,
        (std::vector<std::string> { "Negative InPoint, reset to 0.",
            "InPoint found off end of clip, reset to beginning.",
            "Inpoint after outpoint reset to 0" }));
    const auto& statuses = instrument.ui.statusTexts;
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Outpoint off end of clip - reset"),
        statuses.end());
    const auto& slots = instrument->performance().slots();
    for (int slot = 1; slot <= 4; ++slot) {
        EXPECT_EQ(slots[slot].InPoint, 0) << slot;
    }
    EXPECT_EQ(slots[3].OutPoint, kClipBytes);
    EXPECT_EQ(slots[4].OutPoint, 1000);
}

// Whatever a patch file holds, the load ends, nothing crashes, and the instrument is free to
// load again.
TEST_F(PatchTest, HostilePatchFilesLoadWhatTheyCan)
{
    const fs::path patchFolder = folder / "hostile";
    fs::create_directories(patchFolder / "a folder.okp");
    ASSERT_EQ(::mkfifo((patchFolder / "fifo.okp").c_str(), 0600), 0);
    const std::string clip = small.string();
    std::string sixteen = "[Version]\nOKP=Low1\n[Filenames]\n";
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        sixteen += std::to_string(slot) + "=" + clip + "\n";
    }
    std::string binary;
    for (int k = 0; k < 4096; ++k) {
        binary += static_cast<char>((k * 7919) % 256);
    }
    const std::string absurd = "[Version]\nOKP=Low1\n[Filenames]\n1=" + clip + "\n2=" + clip
        + "\n3=" + (patchFolder / "absurd.okp").string() + "\n4=" + patchFolder.string()
        + "\n5=" + (patchFolder / "fifo.okp").string()
        + "\n[Lefts]\n1=1000000000\n[Tops]\n1=-1000000000\n[Rights]\n1=-5\n[Bottoms]\n"
          "1=nan\n[HorzTiles]\n1=10000\n2=-3\n[Speeds]\n1=0\n2=-44100\n[InPoints]\n"
          "2=99999999999\n[Size3Ds]\n1=nan\n2=1e308\n[XRots]\n1=inf\n[Volumes]\n1=-99999\n"
          "[OKLowDisplayArea]\nWidth=0\nHeight=-7\n[LayerStack]\n1=1\n2=1\n3=99\n[Directions]\n"
          "1=7\n[ColourSwapModes]\n1=-1\n[NumbersOfBeats]\n1=-4\n";
    const std::pair<std::string, std::string> files[] = {
        { "empty.okp", "" },
        { "garbage.okp", "this is not a patch\n[[[\n=\n==x\n" },
        { "binary.okp", binary },
        { "sixteen.okp", sixteen },
        { "absurd.okp", absurd },
    };
    for (const auto& [name, text] : files) {
        writeText(patchFolder / name, text);
    }
    const fs::path huge = patchFolder / "huge.okp";
    writeText(huge, "[Version]\nOKP=Low1\n");
    fs::resize_file(huge, 100 * 1024 * 1024);

    TestInstrument instrument(folder.path());
    for (const char* name : { "empty.okp", "garbage.okp", "binary.okp", "sixteen.okp", "absurd.okp",
             "huge.okp", "fifo.okp", "a folder.okp", "missing.okp" }) {
        SCOPED_TRACE(name);
        instrument->loadPatch(patchFolder / name);
        EXPECT_FALSE(instrument->performance().globals().loadingBusy);
        EXPECT_FALSE(instrument->patchLoader().loading());
    }
    // The last clip-bearing patch loaded its two clips, each brought into range.
    writeText(patchFolder / "again.okp", absurd);
    ASSERT_EQ(instrument->loadPatch(patchFolder / "again.okp"), PatchLoader::Outcome::Loaded);
    const auto& slots = instrument->performance().slots();
    EXPECT_TRUE(slots[1].Loaded);
    EXPECT_TRUE(slots[2].Loaded);
    EXPECT_FALSE(slots[3].Loaded);
    EXPECT_FALSE(slots[4].Loaded);
    EXPECT_FALSE(slots[5].Loaded);
    EXPECT_EQ(slots[1].HorzTiles, 7);
    EXPECT_EQ(slots[2].HorzTiles, 1);
    EXPECT_EQ(slots[2].InPoint, 0);
    EXPECT_GT(slots[1].Right, slots[1].Left);
    EXPECT_TRUE(LayerStack::isPermutation(instrument->performance().layerStack().order()));
}

// With live loading a playing clip stays as it is, whatever the patch says of its slot.
TEST_F(PatchTest, LiveLoadingLeavesPlayingSlotsAlone)
{
    const fs::path patch = folder / "live.okp";
    writeText(patch,
        "[Version]\nOKP=Low1\n[Filenames]\n1=" + small.string() + "\n3=" + small.string()
            + "\n[LumaKeyLevels]\n3=500\n1=100\n");
    TestInstrument instrument(folder.path());
    instrument->performance().globals().LivePatchLoading = true;
    ASSERT_TRUE(instrument->loadClip(3, large));
    instrument.set("[Slot3]", "LumaKeyLevel", 40);
    instrument.set("[Slot3]", "Trigger", 0);
    const TPlayAvistruct& three = instrument->performance().slots()[3];
    waitUntil([&] { return three.Playing.load(); });
    ASSERT_TRUE(three.Playing);
    ASSERT_EQ(instrument->loadPatch(patch), PatchLoader::Outcome::Loaded);
    EXPECT_TRUE(three.Playing);
    EXPECT_EQ(three.FileName.str(), large.string());
    EXPECT_EQ(three.LumaKeyLevel, 40);
    EXPECT_EQ(instrument->performance().slots()[1].LumaKeyLevel, 100);
}

// The new patch is written beside the old one first; here a folder stands where it would go,
// which no one, root included, can write as a file.
TEST_F(PatchTest, AFailedSaveLeavesTheOldPatchWhole)
{
    const fs::path patch = folder / "show.okp";
    const std::string old = "[Version]\nOKP=Low1\n[Mine]\nkept=1\n";
    writeText(patch, old);
    fs::create_directories(folder / "show.okp.new" / "blocker");
    TestInstrument instrument(folder.path());
    ASSERT_TRUE(instrument->loadClip(1, small));
    const auto problem = instrument->savePatch(patch);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->rfind("The patch was not saved. ", 0), 0u) << *problem;
    const std::vector<std::uint8_t> kept = test::readFileBytes(patch);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), old);
    EXPECT_FALSE(instrument->performance().globals().standby);
}

} // namespace
} // namespace oskel

namespace oskel {
namespace {

// A camera or a stream is kept by its name or address, never searched for as a lost file,
// and opened again when the patch loads.
TEST_F(PatchTest, ALiveSourceIsKeptByItsAddressAndOpenedAgain)
{
    test::UdpTestSender sender;
    ASSERT_TRUE(sender.start());
    const fs::path patch = folder / "live.okp";
    {
        TestInstrument saved(folder / "first");
        ASSERT_TRUE(saved->loadClip(2, sender.url()));
        ASSERT_EQ(saved->savePatch(patch), std::nullopt);
    }
    EXPECT_EQ(readIniFile(patch).profile.readString("Filenames", "2", ""), sender.url());

    TestInstrument loaded(folder / "second");
    ASSERT_EQ(loaded->loadPatch(patch), PatchLoader::Outcome::Loaded);
    const TPlayAvistruct& record = loaded->performance().slots()[2];
    EXPECT_TRUE(record.Loaded);
    EXPECT_EQ(record.SourceSystem, kLiveSourceSystem);
    EXPECT_EQ(record.FileName.str(), sender.url());
    EXPECT_EQ(loaded.ui.questions, std::vector<std::string> {});
    EXPECT_EQ(loaded.ui.messages, std::vector<std::string> {});
}

} // namespace
} // namespace oskel
