// The effect step runs on every frame of a slot with an effect, on the slot's worker: it must
// not allocate, nor must our plug-ins while they process. This program counts every
// allocation made through operator new, the plug-ins' included.
#include <gtest/gtest.h>

#include "host_fixture.h"
#include "support/counting_new.h"

namespace oskel::test {
namespace {

class EffectStepAllocation : public HostFixture { };

TEST_F(EffectStepAllocation, TheStepAndOurPluginsDoNotAllocate)
{
    makeHost({ kOurPlugins, kTestPlugins });
    const char* const files[] = { "Blur.so", "Colour.so", "ColourCycle.so", "EdgeGlow.so",
        "Feedback.so", "Invert.so", "Kaleidoscope.so", "Mirror.so", "Pixelate.so", "Posterize.so",
        "RgbShift.so", "WideOnly.so" };
    int slot = 0;
    for (const char* file : files) {
        load(file, ++slot);
        host->ChangeWetDryMix(slot, slot % 2 == 0 ? 0.5f : 0.0f);
    }
    const std::vector<std::uint8_t> frame = pattern();
    std::shared_ptr<const void> keep;
    const long before = g_allocations.load();
    for (int round = 0; round < 10; ++round) {
        for (int s = 1; s <= slot; ++s) {
            const std::uint8_t* out
                = host->processFrame(s, frame.data(), kWidth, kHeight, 24, keep);
            EXPECT_NE(out, frame.data()) << s;
            keep.reset();
        }
    }
    EXPECT_EQ(g_allocations.load() - before, 0);
}

} // namespace
} // namespace oskel::test
