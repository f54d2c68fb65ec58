#include "platform/shared_library.h"

#include <dlfcn.h>
#include <sys/uio.h>
#include <unistd.h>

namespace oskel {

namespace {

class DynamicLibrary : public SharedLibrary {
public:
    explicit DynamicLibrary(void* handle)
        : m_handle(handle)
    {
    }
    ~DynamicLibrary() override { dlclose(m_handle); }
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    void* symbol(const char* name) const override { return dlsym(m_handle, name); }

private:
    void* m_handle;
};

class BuiltInLibrary : public SharedLibrary {
public:
    BuiltInLibrary(const BuiltInLibraryLoader::Symbols& symbols, std::shared_ptr<int> open)
        : m_symbols(symbols)
        , m_open(std::move(open))
    {
        ++*m_open;
    }
    ~BuiltInLibrary() override { --*m_open; }
    BuiltInLibrary(const BuiltInLibrary&) = delete;
    BuiltInLibrary& operator=(const BuiltInLibrary&) = delete;

    void* symbol(const char* name) const override
    {
        const auto found = m_symbols.find(name);
        return found == m_symbols.end() ? nullptr : found->second;
    }

private:
    const BuiltInLibraryLoader::Symbols& m_symbols;
    std::shared_ptr<int> m_open;
};

} // namespace

std::unique_ptr<SharedLibrary> SystemLibraryLoader::open(
    const std::filesystem::path& path, std::string& error)
{
    dlerror(); // the reason is kept per thread
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        error = reason != nullptr ? reason : "the library did not load";
        return nullptr;
    }
    return std::make_unique<DynamicLibrary>(handle);
}

void BuiltInLibraryLoader::add(const std::string& fileName, Symbols symbols)
{
    m_libraries[fileName] = std::move(symbols);
}

std::unique_ptr<SharedLibrary> BuiltInLibraryLoader::open(
    const std::filesystem::path& path, std::string& error)
{
    const auto found = m_libraries.find(path.filename().string());
    if (found == m_libraries.end()) {
        error = "no library " + path.filename().string();
        return nullptr;
    }
    return std::make_unique<BuiltInLibrary>(found->second, m_open);
}

bool copyReadableMemory(void* to, const void* from, std::size_t size)
{
    if (size == 0) {
        return true;
    }
    if (from == nullptr) {
        return false;
    }
    // The kernel reads the memory on our behalf and says so when an address is not mapped,
    // where reading it ourselves would end the program.
    iovec local { to, size };
    iovec remote { const_cast<void*>(from), size };
    const ssize_t copied = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
    return copied == static_cast<ssize_t>(size);
}

std::filesystem::path programFolder()
{
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : executable.parent_path();
}

} // namespace oskel
