#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "effects/freeframe.h"

namespace oskel {

// What a plug-in's getInfo reports, read with care: names are cut at 16 characters and at
// their end, characters that cannot be shown become '?'.
struct PluginInfo {
    std::uint32_t apiMajor = 0;
    std::uint32_t apiMinor = 0;
    std::string uniqueId; // 4 characters
    std::string name; // up to 16 characters
    std::uint32_t type = 0; // FF_EFFECT, FF_SOURCE
};

struct PluginVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
};

// A plug-in of another kind that answers the calls of the interface itself (frei0r filters).
class PluginBackend {
public:
    virtual ~PluginBackend() = default;
    virtual plugMainUnion call(std::uint32_t code, FFParameter input, FFInstanceID instance) = 0;
};

// The calls of one plug-in's entry point, typed. Whatever the plug-in returns is checked
// before it is used: pointers are read only where they can be read, texts are bounded.
// A call inside the plug-in itself cannot be guarded: a plug-in that crashes or loops takes
// the program with it.
class PluginCalls {
public:
    explicit PluginCalls(FF_Main_FuncPtr entryPoint = nullptr)
        : m_entry(entryPoint)
    {
    }
    explicit PluginCalls(std::shared_ptr<PluginBackend> backend)
        : m_backend(std::move(backend))
    {
    }
    bool valid() const { return m_entry != nullptr || m_backend != nullptr; }

    // The raw call. An exception that comes out of the plug-in is caught and the call
    // counts as failed (FF_FAIL).
    plugMainUnion call(std::uint32_t code, FFParameter input = 0, FFInstanceID instance = 0) const;

    // Nothing when the plug-in gave no readable information.
    std::optional<PluginInfo> info() const;
    // Nothing when the plug-in has no extended information (0 or FF_FAIL) or it is unreadable.
    std::optional<PluginVersion> extendedInfo() const;
    bool supports(std::uint32_t capability) const;
    std::uint32_t initialise() const;
    // FF_SUCCESS, FF_FAIL, any other code of the plug-in's, or kDeInitialiseThrew.
    std::uint32_t deInitialise() const;
    static constexpr std::uint32_t kDeInitialiseThrew = 23;
    // The raw count, for the host to judge.
    std::uint32_t parameterCount() const;
    std::string parameterName(std::uint32_t index) const;
    std::string parameterDisplay(std::uint32_t index, FFInstanceID instance) const;
    float parameter(std::uint32_t index, FFInstanceID instance) const;
    std::uint32_t setParameter(std::uint32_t index, float value, FFInstanceID instance) const;
    // The new instance; nothing when the plug-in refused.
    // `video` must outlive the instance: a plug-in may keep the address.
    std::optional<FFInstanceID> instantiate(VideoInfoStruct& video) const;
    std::uint32_t deInstantiate(FFInstanceID instance) const;
    std::uint32_t processFrame(void* frame, FFInstanceID instance) const;
    std::uint32_t processFrameCopy(ProcessFrameCopyStruct& frames, FFInstanceID instance) const;

private:
    FF_Main_FuncPtr m_entry = nullptr;
    std::shared_ptr<PluginBackend> m_backend;
};

// The 16 characters at `text` (or fewer, up to a terminating zero) as a string; empty when
// the memory cannot be read. Characters outside printable ASCII become '?'.
std::string readPluginText(const void* text, std::size_t length = 16);

} // namespace oskel
