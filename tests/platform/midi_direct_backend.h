#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/midi_backend.h"

namespace oskel::test {

// A back-end with one input and one output named "Direct", for driving a port's input on the
// test's own thread (deliver) and seeing what a port sends (sent).
class DirectMidiBackend final : public MidiBackend {
public:
    static constexpr std::string_view kName = "Direct";

    // The bytes as a driver hands them over; nothing when no input is open.
    void deliver(std::span<const std::uint8_t> bytes)
    {
        if (m_state->sink != nullptr) {
            m_state->sink->receive(bytes);
        }
    }
    void deliver(std::initializer_list<std::uint8_t> bytes)
    {
        deliver(std::span<const std::uint8_t>(bytes.begin(), bytes.size()));
    }
    const std::vector<std::vector<std::uint8_t>>& sent() const { return m_state->sent; }
    bool inputOpen() const { return m_state->sink != nullptr; }

    std::vector<std::string> inputNames() override { return { std::string(kName) }; }
    std::vector<std::string> outputNames() override { return { std::string(kName) }; }

    std::unique_ptr<MidiInStream> openInput(
        std::string_view, MidiByteSink& sink, std::string&) override
    {
        m_state->sink = &sink;
        return std::make_unique<In>(m_state);
    }
    std::unique_ptr<MidiOutStream> openOutput(std::string_view, std::string&) override
    {
        return std::make_unique<Out>(m_state);
    }

private:
    struct State {
        MidiByteSink* sink = nullptr;
        std::vector<std::vector<std::uint8_t>> sent;
    };
    struct In final : MidiInStream {
        explicit In(std::shared_ptr<State> shared)
            : state(std::move(shared))
        {
        }
        ~In() override { state->sink = nullptr; }
        std::shared_ptr<State> state;
    };
    struct Out final : MidiOutStream {
        explicit Out(std::shared_ptr<State> shared)
            : state(std::move(shared))
        {
        }
        std::string send(std::span<const std::uint8_t> bytes) override
        {
            state->sent.emplace_back(bytes.begin(), bytes.end());
            return {};
        }
        std::shared_ptr<State> state;
    };

    std::shared_ptr<State> m_state = std::make_shared<State>();
};

} // namespace oskel::test
