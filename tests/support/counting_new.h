// Counts every allocation made through operator new in the program that includes this, for
// the tests that show a real-time path allocates nothing. Include it in one file of a test
// program of its own: it replaces the program's global operator new and delete.
#pragma once

#include <atomic>
#include <cstdlib>
#include <new>

namespace oskel::test {
inline std::atomic<long> g_allocations { 0 };
} // namespace oskel::test

void* operator new(std::size_t size)
{
    oskel::test::g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    oskel::test::g_allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* memory) noexcept
{
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}
