#include "platform/midi_devices.h"

#include <algorithm>

namespace oskel {

namespace {

using NameList = std::vector<std::string> (MidiBackend::*)();

std::vector<std::string> allNames(
    const std::vector<std::unique_ptr<MidiBackend>>& backends, NameList list)
{
    std::vector<std::string> names;
    for (const auto& backend : backends) {
        for (std::string& name : (*backend.*list)()) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

// The first back-end that lists the name, or null.
MidiBackend* findBackend(
    const std::vector<std::unique_ptr<MidiBackend>>& backends, NameList list, std::string_view name)
{
    for (const auto& backend : backends) {
        const std::vector<std::string> names = (*backend.*list)();
        if (std::find(names.begin(), names.end(), name) != names.end()) {
            return backend.get();
        }
    }
    return nullptr;
}

} // namespace

MidiDevices::MidiDevices(std::vector<std::unique_ptr<MidiBackend>> backends)
    : m_backends(std::move(backends))
{
}

std::vector<std::string> MidiDevices::inputNames() const
{
    return allNames(m_backends, &MidiBackend::inputNames);
}

std::vector<std::string> MidiDevices::outputNames() const
{
    return allNames(m_backends, &MidiBackend::outputNames);
}

std::unique_ptr<MidiInStream> MidiDevices::openInput(
    std::string_view name, MidiByteSink& sink, std::string& whyNot) const
{
    MidiBackend* backend = findBackend(m_backends, &MidiBackend::inputNames, name);
    auto stream = backend ? backend->openInput(name, sink, whyNot) : nullptr;
    if (!stream && (!backend || whyNot.empty())) {
        whyNot = midiInputNotInstalled(name);
    }
    return stream;
}

std::unique_ptr<MidiOutStream> MidiDevices::openOutput(
    std::string_view name, std::string& whyNot) const
{
    MidiBackend* backend = findBackend(m_backends, &MidiBackend::outputNames, name);
    auto stream = backend ? backend->openOutput(name, whyNot) : nullptr;
    if (!stream && (!backend || whyNot.empty())) {
        whyNot = midiOutputNotInstalled(name);
    }
    return stream;
}

MidiResult midiDeviceAt(
    bool portOpen, const std::vector<std::string>& names, std::size_t index, std::string& name)
{
    if (portOpen) {
        return { "Change to DeviceID while device was open" };
    }
    if (index >= names.size()) {
        return { "Invalid device ID" };
    }
    name = names[index];
    return {};
}

std::optional<std::size_t> findMidiDevice(
    const std::vector<std::string>& names, std::string_view name, std::int64_t index)
{
    if (!name.empty()) {
        const auto found = std::find(names.begin(), names.end(), name);
        if (found != names.end()) {
            return static_cast<std::size_t>(found - names.begin());
        }
    }
    if (index >= 0 && static_cast<std::uint64_t>(index) < names.size()) {
        return static_cast<std::size_t>(index);
    }
    return std::nullopt;
}

} // namespace oskel
