// An effect that takes 100 ms over every frame and leaves it as it was.
#include <chrono>
#include <thread>

#include "plugin_base.h"

namespace {

struct Slow {
    static constexpr const char* kId = "TSsl";
    static constexpr const char* kName = "Slow";
    static constexpr std::array kParameters { oskel_plugins::Parameter { "Nothing", 0.0f } };
    static constexpr auto kFrameTime = std::chrono::milliseconds(100);

    Slow(int, int) { }

    void process(std::uint8_t*, const float*) const { std::this_thread::sleep_for(kFrameTime); }
};

} // namespace

OSKEL_PLUGIN(Slow)
