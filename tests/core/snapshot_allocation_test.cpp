// Copying the live slot records into the snapshot happens on every frame: it must not
// allocate. This program counts every allocation made through operator new.
#include <gtest/gtest.h>

#include "core/performance.h"
#include "support/counting_new.h"

namespace oskel {
namespace {

class NullSource : public ClipSource {
public:
    void close() override { }
};

TEST(SnapshotCopy, CopyingSixteenFullRecordsDoesNotAllocate)
{
    SilentUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance(ui, mainThread);
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        TPlayAvistruct& record = performance.slot(slot);
        record.Loaded = true;
        record.FileName = "/home/performer/video clips/a rather long clip file name "
            + std::to_string(slot) + ".avi";
        record.StencilFileName = "/home/performer/masks/stencil " + std::to_string(slot) + ".bmp";
        record.FFfilename = "/usr/lib/oskel3/plugins/effect.so";
        record.StencilMask = std::make_shared<const std::vector<std::uint8_t>>(384 * 288, 7);
        record.Source = std::make_shared<NullSource>();
    }
    performance.copyLiveToSnapshot(); // the snapshot now shares the same texts

    const long before = test::g_allocations.load();
    for (int tick = 0; tick < 100; ++tick) {
        performance.slot(1 + tick % kSlotCount).CurrentFrame = tick;
        performance.copyLiveToSnapshot();
    }
    EXPECT_EQ(test::g_allocations.load() - before, 0);
    EXPECT_EQ(performance.snapshot()[4].FileName, performance.slot(4).FileName);
    EXPECT_EQ(performance.snapshot()[4].CurrentFrame, 99);
}

} // namespace
} // namespace oskel
