#pragma once

#include <cstddef>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define OSKEL_TEST_COUNTS_ALLOCATIONS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define OSKEL_TEST_COUNTS_ALLOCATIONS 1
#endif
#endif

#ifdef OSKEL_TEST_COUNTS_ALLOCATIONS
// The sanitizer runtimes offer this hook; GCC does not install their header.
extern "C" int __sanitizer_install_malloc_and_free_hooks(
    void (*onMalloc)(const volatile void*, std::size_t), void (*onFree)(const volatile void*));
#endif

namespace oskel::test {

// Counts the heap allocations made on the constructing thread while it lives, through the
// sanitizer's allocator hooks; without a sanitizer there is nothing to count with.
class ThreadAllocationCounter {
public:
    static constexpr bool kAvailable =
#ifdef OSKEL_TEST_COUNTS_ALLOCATIONS
        true;
#else
        false;
#endif

    ThreadAllocationCounter()
    {
#ifdef OSKEL_TEST_COUNTS_ALLOCATIONS
        [[maybe_unused]] static const int installed
            = __sanitizer_install_malloc_and_free_hooks(&onAllocation, &onFree);
#endif
        t_count = 0;
        t_counting = true;
    }
    ~ThreadAllocationCounter()
    {
        t_counting = false;
    }
    ThreadAllocationCounter(const ThreadAllocationCounter&) = delete;
    ThreadAllocationCounter& operator=(const ThreadAllocationCounter&) = delete;

    std::size_t count() const
    {
        return t_count;
    }

    // Whether an allocation made now is seen, so that a count of 0 means something.
    bool works() const
    {
        void* (*volatile allocate)(std::size_t) = &std::malloc;
        const std::size_t before = t_count;
        std::free(allocate(16));
        const bool seen = t_count == before + 1;
        t_count = before;
        return seen;
    }

private:
    static void onAllocation(const volatile void*, std::size_t)
    {
        if (t_counting) {
            ++t_count;
        }
    }

    static void onFree(const volatile void*)
    {
    }

    static inline thread_local bool t_counting = false;
    static inline thread_local std::size_t t_count = 0;
};

} // namespace oskel::test
