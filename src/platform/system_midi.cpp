#include "platform/system_midi.h"

#include <algorithm>
#include <exception>
#include <vector>

#include <RtMidi.h>
#include <unistd.h>

#ifdef OSKEL_HAVE_JACK
#include <jack/jack.h>
#endif

#include "platform/loopback_midi.h"
#include "platform/midi_port_names.h"
#include "platform/quiet_alsa_errors.h"

namespace oskel {

namespace {

const std::string kClientName(kVirtualMidiPortName);
// The program's end of a connection to another device's port, as the sequencer lists it.
const std::string kInputConnection = kClientName + " input";
const std::string kOutputConnection = kClientName + " output";

// Takes what RtMidi reports about one of its objects, which it would otherwise print or throw.
// RtMidi reports on the thread of the call that failed: the main thread here.
class RtMidiErrors {
public:
    void attach(RtMidi& midi) { midi.setErrorCallback(&record, this); }

    // Runs an RtMidi call; returns its error text, empty when it worked.
    template <typename Call> std::string attempt(Call&& call)
    {
        m_text.clear();
        try {
            call();
        } catch (const std::exception& error) {
            return error.what();
        }
        return m_text;
    }

private:
    static void record(RtMidiError::Type type, const std::string& text, void* self)
    {
        if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING) {
            static_cast<RtMidiErrors*>(self)->m_text = text;
        }
    }

    std::string m_text;
};

// Makes an RtMidi object and takes over its error reports; null, with the reason, when the
// system cannot be reached.
template <typename Midi>
std::unique_ptr<Midi> makeRtMidi(RtMidi::Api api, RtMidiErrors& errors, std::string& whyNot)
{
    try {
        QuietAlsaErrors quiet;
        auto midi = std::make_unique<Midi>(api, kClientName);
        errors.attach(*midi);
        return midi;
    } catch (const std::exception& error) {
        whyNot = error.what();
        return nullptr;
    }
}

// The RtMidi input thread: hands over the bytes of one message. They are valid only during
// the call.
void forwardBytes(double, std::vector<unsigned char>* message, void* sink)
{
    if (message != nullptr && !message->empty()) {
        static_cast<MidiByteSink*>(sink)->receive(
            std::span<const std::uint8_t>(message->data(), message->size()));
    }
}

class RtMidiInStream final : public MidiInStream {
public:
    // Destroying the RtMidi object closes the port and ends its thread.
    ~RtMidiInStream() override = default;

    RtMidiErrors errors; // outlives midi, which reports to it
    std::unique_ptr<RtMidiIn> midi;
};

class RtMidiOutStream final : public MidiOutStream {
public:
    std::string send(std::span<const std::uint8_t> bytes) override
    {
        return errors.attempt([&] { midi->sendMessage(bytes.data(), bytes.size()); });
    }

    RtMidiErrors errors;
    std::unique_ptr<RtMidiOut> midi;
};

class RtMidiBackend final : public MidiBackend {
public:
    RtMidiBackend(RtMidi::Api api, bool virtualPorts)
        : m_api(api)
        , m_virtualPorts(virtualPorts)
    {
    }

    // Makes the objects that list the devices; false, with the reason, when the system cannot
    // be reached.
    bool connect(std::string& whyNot)
    {
        m_lister = makeRtMidi<RtMidiIn>(m_api, m_errors, whyNot);
        if (m_lister) {
            m_outLister = makeRtMidi<RtMidiOut>(m_api, m_errors, whyNot);
        }
        return m_lister && m_outLister;
    }

    std::vector<std::string> inputNames() override { return withVirtual(ports(*m_lister)); }
    std::vector<std::string> outputNames() override { return withVirtual(ports(*m_outLister)); }

    std::unique_ptr<MidiInStream> openInput(
        std::string_view name, MidiByteSink& sink, std::string& whyNot) override
    {
        auto stream = std::make_unique<RtMidiInStream>();
        stream->midi = makeRtMidi<RtMidiIn>(m_api, stream->errors, whyNot);
        if (!stream->midi) {
            return nullptr;
        }
        RtMidiIn& midi = *stream->midi;
        // Timing clock, start and stop, and system-exclusive data are wanted; active sensing
        // is dropped here already.
        midi.ignoreTypes(false, false, true);
        midi.setCallback(&forwardBytes, &sink);
        if (!openPort(midi, stream->errors, name, midiInputNotInstalled(name), kInputConnection,
                whyNot)) {
            return nullptr;
        }
        return stream;
    }

    std::unique_ptr<MidiOutStream> openOutput(std::string_view name, std::string& whyNot) override
    {
        auto stream = std::make_unique<RtMidiOutStream>();
        stream->midi = makeRtMidi<RtMidiOut>(m_api, stream->errors, whyNot);
        if (!stream->midi
            || !openPort(*stream->midi, stream->errors, name, midiOutputNotInstalled(name),
                kOutputConnection, whyNot)) {
            return nullptr;
        }
        return stream;
    }

private:
    // The devices of the system, under names that stay the same from one session to the next.
    std::vector<std::string> ports(RtMidi& midi)
    {
        std::vector<std::string> names;
        m_errors.attempt([&] {
            const unsigned int count = midi.getPortCount();
            for (unsigned int port = 0; port < count; ++port) {
                const std::string listed = midi.getPortName(port);
                names.push_back(m_api == RtMidi::LINUX_ALSA ? stableAlsaPortName(listed) : listed);
            }
        });
        makeNamesUnique(names);
        return names;
    }

    std::vector<std::string> withVirtual(std::vector<std::string> names) const
    {
        if (m_virtualPorts) {
            names.insert(names.begin(), kClientName);
        }
        return names;
    }

    // Opens the named port on a new RtMidi object, finding it in that object's own list,
    // which may differ from the one the name was chosen from.
    bool openPort(RtMidi& midi, RtMidiErrors& errors, std::string_view name,
        const std::string& notInstalled, const std::string& connectionName, std::string& whyNot)
    {
        std::string error;
        if (m_virtualPorts && name == kClientName) {
            error = errors.attempt([&] { midi.openVirtualPort(kClientName); });
        } else {
            const std::vector<std::string> names = ports(midi);
            const auto found = std::find(names.begin(), names.end(), name);
            if (found == names.end()) {
                whyNot = notInstalled;
                return false;
            }
            const auto port = static_cast<unsigned int>(found - names.begin());
            error = errors.attempt([&] { midi.openPort(port, connectionName); });
        }
        if (!error.empty()) {
            whyNot = error;
            return false;
        }
        return true;
    }

    const RtMidi::Api m_api;
    const bool m_virtualPorts;
    RtMidiErrors m_errors; // outlives the listers, which report to it
    std::unique_ptr<RtMidiIn> m_lister;
    std::unique_ptr<RtMidiOut> m_outLister;
};

bool compiledIn(RtMidi::Api api)
{
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    return std::find(apis.begin(), apis.end(), api) != apis.end();
}

// Whether a JACK server answers, asked without letting the JACK library print its failure
// (RtMidi would print one of its own when none runs).
bool jackServerRuns()
{
#ifdef OSKEL_HAVE_JACK
    const auto previousError = jack_error_callback;
    const auto previousInfo = jack_info_callback;
    jack_set_error_function([](const char*) {});
    jack_set_info_function([](const char*) {});
    jack_status_t status {};
    jack_client_t* client = jack_client_open("oskel3-probe", JackNoStartServer, &status);
    if (client != nullptr) {
        jack_client_close(client);
    }
    jack_set_error_function(previousError);
    jack_set_info_function(previousInfo);
    return client != nullptr;
#else
    return false;
#endif
}

void addProblem(std::string& problems, const std::string& problem)
{
    if (!problems.empty()) {
        problems += "; ";
    }
    problems += problem;
}

} // namespace

std::unique_ptr<MidiBackend> openAlsaSequencer(std::string& whyNot)
{
    if (!compiledIn(RtMidi::LINUX_ALSA)) {
        whyNot = "this RtMidi has no ALSA sequencer support";
        return nullptr;
    }
    // Without the device RtMidi would print its failure before reporting it.
    if (access("/dev/snd/seq", R_OK | W_OK) != 0) {
        whyNot = "no ALSA sequencer (/dev/snd/seq cannot be opened)";
        return nullptr;
    }
    auto backend = std::make_unique<RtMidiBackend>(RtMidi::LINUX_ALSA, true);
    std::string error;
    if (!backend->connect(error)) {
        whyNot = "no ALSA sequencer (" + error + ")";
        return nullptr;
    }
    return backend;
}

std::unique_ptr<MidiDevices> openSystemMidiDevices(std::string& problems)
{
    std::vector<std::unique_ptr<MidiBackend>> backends;
    std::string whyNot;
    if (auto alsa = openAlsaSequencer(whyNot)) {
        backends.push_back(std::move(alsa));
    } else {
        addProblem(problems, whyNot);
    }
    if (compiledIn(RtMidi::UNIX_JACK) && jackServerRuns()) {
        auto jack = std::make_unique<RtMidiBackend>(RtMidi::UNIX_JACK, false);
        std::string error;
        if (jack->connect(error)) {
            backends.push_back(std::move(jack));
        } else {
            addProblem(problems, "no JACK MIDI (" + error + ")");
        }
    }
    backends.push_back(std::make_unique<LoopbackMidi>());
    return std::make_unique<MidiDevices>(std::move(backends));
}

} // namespace oskel
