// Loading a patch of sixteen one-minute 384 x 288 MJPEG clips with sound, from the load to
// "Ready", beside the sum of sixteen loads of the same clips one by one. The instrument is the
// program's own without windows, its sound on a clock that stands still, nothing drawn; the
// clips load silent as the settings' defaults have it for long clips ("silent"), or with
// their whole sound ("with_sound").
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "app/instrument.h"
#include "core/user_interface_port.h"
#include "platform/manual_clock_sound_device.h"

namespace {

using namespace oskel;
namespace fs = std::filesystem;

constexpr int kClips = kSlotCount;

class Workspace {
public:
    Workspace()
    {
        std::string pattern = (fs::temp_directory_path() / "oskel3-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            m_folder = pattern;
        }
    }
    ~Workspace()
    {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    const fs::path& folder() const { return m_folder; }
    fs::path clip(int slot) const { return m_folder / ("clip" + std::to_string(slot) + ".avi"); }
    fs::path patch() const { return m_folder / "sixteen.okp"; }

    // Sixteen one-minute clips with a tone each, and the patch naming them.
    bool prepare()
    {
        std::string patch = "[Version]\nOKP=Low1\n[Filenames]\n";
        for (int slot = 1; slot <= kClips; ++slot) {
            const std::string command = "ffmpeg -v error -y -f lavfi -i "
                                        "testsrc2=size=384x288:rate=25:duration=60 -f lavfi -i "
                                        "sine=frequency="
                + std::to_string(110 * slot)
                + ":sample_rate=44100:duration=60 -ac 2 -c:v mjpeg -q:v 3 -c:a pcm_s16le '"
                + clip(slot).string() + "'";
            if (m_folder.empty() || std::system(command.c_str()) != 0) {
                return false;
            }
            patch += std::to_string(slot) + "=" + clip(slot).string() + "\n";
        }
        std::ofstream(this->patch()) << patch;
        return true;
    }

private:
    fs::path m_folder;
};

class BenchInstrument {
public:
    BenchInstrument(const fs::path& home, bool longClipsSilent)
        : m_instrument(m_mainThread, m_ui,
            InstrumentParts { std::make_unique<ManualClockSoundDevice>(), {},
                [] { return std::uint32_t { 0 }; }, true, {} },
            locationsFrom([home](const char* name) {
                return std::string(name) == "HOME" ? std::optional<std::string>(home.string())
                                                   : std::nullopt;
            }))
    {
        m_instrument.start();
        m_instrument.performance().globals().LoadLongClipsSilent = longClipsSilent;
    }
    Instrument* operator->() { return &m_instrument; }

private:
    SilentUserInterface m_ui;
    MainThreadDispatcher m_mainThread;
    Instrument m_instrument;
};

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_PatchOfSixteenClips(benchmark::State& state, bool longClipsSilent)
{
    static Workspace made;
    static const bool prepared = made.prepare();
    if (!prepared) {
        state.SkipWithError("the ffmpeg tool could not make the clips");
        return;
    }
    double patchSeconds = 0.0;
    double oneByOneSeconds = 0.0;
    for (auto _ : state) {
        {
            BenchInstrument instrument(made.folder(), longClipsSilent);
            const auto start = std::chrono::steady_clock::now();
            const PatchLoader::Outcome outcome = instrument->loadPatch(made.patch());
            patchSeconds += secondsSince(start);
            if (outcome != PatchLoader::Outcome::Loaded) {
                state.SkipWithError("the patch did not load");
                return;
            }
        }
        BenchInstrument instrument(made.folder(), longClipsSilent);
        const auto start = std::chrono::steady_clock::now();
        for (int slot = 1; slot <= kClips; ++slot) {
            instrument->loadClip(slot, made.clip(slot));
        }
        oneByOneSeconds += secondsSince(start);
    }
    const double runs = double(state.iterations());
    state.counters["patch_ms"] = 1000.0 * patchSeconds / runs;
    state.counters["sixteen_single_loads_ms"] = 1000.0 * oneByOneSeconds / runs;
    state.counters["goal_ms"] = 1500.0;
}

BENCHMARK_CAPTURE(BM_PatchOfSixteenClips, silent, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_PatchOfSixteenClips, with_sound, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace

BENCHMARK_MAIN();
