#include "platform/memory_status.h"

#include <fstream>
#include <string>

#include <unistd.h>

namespace oskel {

std::optional<std::int64_t> availableMemoryBytes()
{
    // MemAvailable counts reclaimable caches too, which is what "free" means to a performer.
    std::ifstream meminfo("/proc/meminfo");
    std::string name;
    std::int64_t kilobytes = 0;
    std::string unit;
    while (meminfo >> name >> kilobytes >> unit) {
        if (name == "MemAvailable:") {
            return kilobytes * 1024;
        }
    }
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0) {
        return static_cast<std::int64_t>(pages) * pageSize;
    }
    return std::nullopt;
}

} // namespace oskel
