// Copying the live slot records into the snapshot happens on every frame: it must not
// allocate. This program counts every allocation made through operator new.
#include <atomic>
#include <cstdlib>
#include <new>

#include <gtest/gtest.h>

#include "core/performance.h"

namespace {
std::atomic<long> g_allocations { 0 };
} // namespace

void* operator new(std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept
{
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

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

    const long before = g_allocations.load();
    for (int tick = 0; tick < 100; ++tick) {
        performance.slot(1 + tick % kSlotCount).CurrentFrame = tick;
        performance.copyLiveToSnapshot();
    }
    EXPECT_EQ(g_allocations.load() - before, 0);
    EXPECT_EQ(performance.snapshot()[4].FileName, performance.slot(4).FileName);
    EXPECT_EQ(performance.snapshot()[4].CurrentFrame, 99);
}

} // namespace
} // namespace oskel
