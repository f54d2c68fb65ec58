// A plug-in whose every answer comes from the input: codes, counts, floats, pointers to texts
// and records of any bytes, pointers that cannot be read, and instance ids of any value. The
// host loads it, sets its parameters and mix, processes frames and runs it down, and must
// keep its own rules whatever it is told: at most eight parameters, values within 0..1,
// bounded printable names, and a whole frame out of every step.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "core/main_thread_dispatcher.h"
#include "core/performance.h"
#include "effects/effect_host.h"
#include "fuzz_support.h"
#include "platform/shared_library.h"

namespace {

using namespace oskel;

// The run's answers. plugMain is a plain function, so what it reads lives here.
struct Answers {
    fuzz::ByteReader* input = nullptr;
    std::array<std::uint8_t, 64> record {}; // what a pointer answer points to
};
Answers g_answers;

plugMainUnion answer(std::uint32_t code, FFParameter, FFInstanceID)
{
    fuzz::ByteReader& input = *g_answers.input;
    plugMainUnion result {};
    switch (input.byte() % 5) {
    case 0:
        result.ivalue = static_cast<std::uint32_t>(input.number());
        break;
    case 1: // a record or text of the input's bytes
        for (auto& byte : g_answers.record) {
            byte = input.byte();
        }
        result.pointer = g_answers.record.data();
        break;
    case 2: // an address nothing is mapped at
        result.instance = static_cast<std::uintptr_t>(input.byte()) * 8;
        break;
    case 3:
        result.fvalue = static_cast<float>(input.number()) / 1000.0f;
        break;
    default:
        result.ivalue = code == FF_GETPLUGINCAPS ? FF_TRUE : FF_SUCCESS;
        break;
    }
    return result;
}

std::filesystem::path pluginFolder()
{
    static const std::filesystem::path folder = [] {
        const auto made = std::filesystem::temp_directory_path() / "oskel3-fuzz-plugins";
        std::filesystem::create_directories(made);
        std::ofstream(made / "Answers.so") << "stands for the built-in plug-in";
        return made;
    }();
    return folder;
}

void checkShown(const EffectShown& shown)
{
    fuzz::check(shown.parameterCount >= 0 && shown.parameterCount <= kEffectParameters);
    for (int i = 0; i < shown.parameterCount; ++i) {
        const auto k = static_cast<std::size_t>(i);
        fuzz::check(shown.names.at(k).size() <= 20 && shown.displays.at(k).size() <= 16);
        for (const char c : shown.names.at(k) + shown.displays.at(k)) {
            fuzz::check(c >= 0x20 && c < 0x7F);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ByteReader input(data, size);
    g_answers.input = &input;
    SilentUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance(ui, mainThread);
    BuiltInLibraryLoader loader;
    loader.add("Answers.so", { { "plugMain", reinterpret_cast<void*>(&answer) } });
    constexpr int kWidth = 6;
    constexpr int kHeight = 3;
    for (int slot = 1; slot <= 2; ++slot) {
        performance.slot(slot).Loaded = true;
        performance.slot(slot).ClipWidth = kWidth;
        performance.slot(slot).ClipHeight = kHeight;
    }
    {
        EffectHost host(performance, loader, EffectFolders { { pluginFolder() }, {} });
        host.ScanPlugins();
        const std::vector<std::uint8_t> frame(kWidth * kHeight * 3, 77);
        while (input.more()) {
            const int slot = 1 + input.byte() % 2;
            switch (input.byte() % 6) {
            case 0:
                host.LoadNewPlugin("Answers.so", 1, slot);
                break;
            case 1:
                host.setParameter(slot, input.byte() % 10, static_cast<float>(input.byte()) / 255);
                break;
            case 2:
                host.ChangeWetDryMix(slot, static_cast<float>(input.byte()) / 255);
                break;
            case 3: {
                std::shared_ptr<const void> keep;
                const std::uint8_t* out
                    = host.processFrame(slot, frame.data(), kWidth, kHeight, 24, keep);
                std::uint32_t sum = 0;
                for (std::size_t i = 0; i < frame.size(); ++i) {
                    sum += out[i]; // the whole frame can be read
                }
                fuzz::check(sum <= 255 * frame.size());
                break;
            }
            case 4: {
                const float value = host.OKPgetParam(slot, input.byte() % 10);
                fuzz::check(value == -2.0f || value == -1.0f || (value >= 0.0f && value <= 1.0f));
                checkShown(host.shown(slot));
                break;
            }
            default:
                host.RunDownPluginSlot(slot);
                break;
            }
        }
    }
    for (int slot = 1; slot <= 2; ++slot) {
        for (const float value : performance.slots()[slot].FFparams) {
            fuzz::check(value == -1.0f || (value >= 0.0f && value <= 1.0f));
        }
    }
    return 0;
}
