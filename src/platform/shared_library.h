#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace oskel {

// A loaded library: its exported symbols. The library stays loaded while the object lives.
class SharedLibrary {
public:
    virtual ~SharedLibrary() = default;
    // The address of an exported symbol; null when there is none.
    virtual void* symbol(const char* name) const = 0;
};

// Loads libraries by path. Main thread.
class SharedLibraryLoader {
public:
    virtual ~SharedLibraryLoader() = default;
    // The library, or null with the reason in `error`.
    virtual std::unique_ptr<SharedLibrary> open(
        const std::filesystem::path& path, std::string& error)
        = 0;
};

// Shared objects of the file system, through the dynamic loader. Each open loads the object
// (the loader counts repeated loads of one file) and binds every symbol at once, so that a
// missing dependency shows at load time, not in the middle of a frame.
class SystemLibraryLoader : public SharedLibraryLoader {
public:
    std::unique_ptr<SharedLibrary> open(
        const std::filesystem::path& path, std::string& error) override;
};

// Libraries that live inside the program: a file name stands for a table of symbols. For
// running the effect host without loading anything (tests, the hardware-free instrument).
class BuiltInLibraryLoader : public SharedLibraryLoader {
public:
    using Symbols = std::map<std::string, void*, std::less<>>;
    // `fileName` is matched against the last part of the path opened.
    void add(const std::string& fileName, Symbols symbols);
    std::unique_ptr<SharedLibrary> open(
        const std::filesystem::path& path, std::string& error) override;
    // How many of the libraries opened are still open.
    int openCount() const { return *m_open; }

private:
    std::map<std::string, Symbols, std::less<>> m_libraries;
    std::shared_ptr<int> m_open = std::make_shared<int>(0);
};

// Copies `size` bytes from memory a library handed over into `to`, without trusting the
// address: false, with `to` untouched or partly written, when any of it cannot be read.
bool copyReadableMemory(void* to, const void* from, std::size_t size);

// The folder of the running program's executable; empty when it cannot be found.
std::filesystem::path programFolder();

} // namespace oskel
