#include "effects/plugin_calls.h"

#include <array>
#include <cstring>

#include "platform/shared_library.h"

namespace oskel {

namespace {

constexpr std::size_t kNameLength = 16;
constexpr std::size_t kIdLength = 4;

bool failed(const plugMainUnion& result)
{
    return result.pointer == nullptr || result.ivalue == FF_FAIL;
}

// Reads a record of the plug-in's into our own copy; false when it cannot be read.
template <typename Record> bool readRecord(const plugMainUnion& result, Record& record)
{
    return !failed(result) && copyReadableMemory(&record, result.pointer, sizeof(Record));
}

std::string printable(const char* text, std::size_t length)
{
    std::string shown;
    for (std::size_t i = 0; i < length && text[i] != '\0'; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        shown.push_back(c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?');
    }
    return shown;
}

} // namespace

std::string readPluginText(const void* text, std::size_t length)
{
    std::array<char, kNameLength> copy {};
    length = std::min(length, copy.size());
    // The text may end before a page that cannot be read: take what can be read, byte by byte
    // only when the whole block cannot.
    if (!copyReadableMemory(copy.data(), text, length)) {
        std::size_t read = 0;
        while (read < length
            && copyReadableMemory(copy.data() + read, static_cast<const char*>(text) + read, 1)
            && copy.at(read) != '\0') {
            ++read;
        }
        return printable(copy.data(), read);
    }
    return printable(copy.data(), length);
}

plugMainUnion PluginCalls::call(std::uint32_t code, FFParameter input, FFInstanceID instance) const
{
    try {
        return m_backend ? m_backend->call(code, input, instance) : m_entry(code, input, instance);
    } catch (...) {
        plugMainUnion failure {};
        failure.ivalue = FF_FAIL;
        return failure;
    }
}

std::optional<PluginInfo> PluginCalls::info() const
{
    PlugInfoStruct record {};
    if (!readRecord(call(FF_GETINFO), record)) {
        return std::nullopt;
    }
    PluginInfo info;
    info.apiMajor = record.APIMajorVersion;
    info.apiMinor = record.APIMinorVersion;
    info.uniqueId = printable(record.uniqueID, kIdLength);
    info.name = printable(record.pluginName, kNameLength);
    info.type = record.pluginType;
    return info;
}

std::optional<PluginVersion> PluginCalls::extendedInfo() const
{
    PlugExtendedInfoStruct record {};
    if (!readRecord(call(FF_GETEXTENDEDINFO), record)) {
        return std::nullopt;
    }
    return PluginVersion { record.PluginMajorVersion, record.PluginMinorVersion };
}

bool PluginCalls::supports(std::uint32_t capability) const
{
    return call(FF_GETPLUGINCAPS, capability).ivalue == FF_TRUE;
}

std::uint32_t PluginCalls::initialise() const
{
    return call(FF_INITIALISE).ivalue;
}

std::uint32_t PluginCalls::deInitialise() const
{
    try {
        return (m_backend ? m_backend->call(FF_DEINITIALISE, 0, 0) : m_entry(FF_DEINITIALISE, 0, 0))
            .ivalue;
    } catch (...) {
        return kDeInitialiseThrew;
    }
}

std::uint32_t PluginCalls::parameterCount() const
{
    return call(FF_GETNUMPARAMETERS).ivalue;
}

std::string PluginCalls::parameterName(std::uint32_t index) const
{
    const plugMainUnion result = call(FF_GETPARAMETERNAME, index);
    return failed(result) ? std::string() : readPluginText(result.pointer);
}

std::string PluginCalls::parameterDisplay(std::uint32_t index, FFInstanceID instance) const
{
    const plugMainUnion result = call(FF_GETPARAMETERDISPLAY, index, instance);
    return failed(result) ? std::string() : readPluginText(result.pointer);
}

float PluginCalls::parameter(std::uint32_t index, FFInstanceID instance) const
{
    return call(FF_GETPARAMETER, index, instance).fvalue;
}

std::uint32_t PluginCalls::setParameter(
    std::uint32_t index, float value, FFInstanceID instance) const
{
    SetParameterStruct parameter { index, value };
    return call(FF_SETPARAMETER, reinterpret_cast<FFParameter>(&parameter), instance).ivalue;
}

std::optional<FFInstanceID> PluginCalls::instantiate(VideoInfoStruct& video) const
{
    const plugMainUnion result = call(FF_INSTANTIATE, reinterpret_cast<FFParameter>(&video));
    if (result.instance == 0 || result.ivalue == FF_FAIL) {
        return std::nullopt;
    }
    return result.instance;
}

std::uint32_t PluginCalls::deInstantiate(FFInstanceID instance) const
{
    return call(FF_DEINSTANTIATE, 0, instance).ivalue;
}

std::uint32_t PluginCalls::processFrame(void* frame, FFInstanceID instance) const
{
    return call(FF_PROCESSFRAME, reinterpret_cast<FFParameter>(frame), instance).ivalue;
}

std::uint32_t PluginCalls::processFrameCopy(
    ProcessFrameCopyStruct& frames, FFInstanceID instance) const
{
    return call(FF_PROCESSFRAMECOPY, reinterpret_cast<FFParameter>(&frames), instance).ivalue;
}

} // namespace oskel
