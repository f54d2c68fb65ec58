#include "app/instrument_osc.h"

#include <algorithm>

#include "platform/udp_osc_port.h"

namespace oskel {

InstrumentOsc::InstrumentOsc(Links links, std::unique_ptr<OscPort> port)
    : m_links(std::move(links))
    , m_port(port ? std::move(port) : std::make_unique<UdpOscPort>())
{
    m_port->setReceiver(
        [this](OscPacket packet, const OscClient& from) { received(std::move(packet), from); });
}

InstrumentOsc::~InstrumentOsc()
{
    *m_alive = false;
    m_port->close();
}

void InstrumentOsc::optionsChanged()
{
    const OscOptions& wanted = m_links.performance.options().osc;
    const bool same = m_isOpen && wanted.port == m_opened.port
        && wanted.allInterfaces == m_opened.allInterfaces;
    if (!wanted.enabled || !same) {
        stop();
    }
    if (!wanted.enabled || same) {
        return;
    }
    const std::string problem
        = m_port->open(static_cast<std::uint16_t>(wanted.port), wanted.allInterfaces);
    if (!problem.empty()) {
        m_links.performance.ui().setStatusText(problem);
        return;
    }
    m_opened = wanted;
    m_isOpen = true;
}

void InstrumentOsc::stop()
{
    m_port->close();
    m_isOpen = false;
    m_subscribers.clear();
}

// The port's thread.
void InstrumentOsc::received(OscPacket packet, const OscClient& from)
{
    if (m_waiting.fetch_add(1) >= kMaxWaitingPackets) {
        m_waiting.fetch_sub(1);
        m_dropped.fetch_add(1);
        return;
    }
    const bool posted
        = m_links.mainThread.post([this, alive = m_alive, packet = std::move(packet), from] {
              if (*alive) {
                  m_waiting.fetch_sub(1);
                  serve(packet, from);
              }
          });
    if (!posted) {
        m_waiting.fetch_sub(1);
    }
}

void InstrumentOsc::serve(const OscPacket& packet, const OscClient& from)
{
    for (const std::string& problem : packet.problems) {
        refuse(problem + " from " + from.text());
    }
    for (const OscMessage& message : packet.messages) {
        handle(message, from);
    }
}

void InstrumentOsc::handle(const OscMessage& message, const OscClient& from)
{
    const OscRequest request = translateOscMessage(message);
    if (const auto* command = std::get_if<ScriptCommand>(&request)) {
        ++m_taken;
        m_links.carryOut(*command);
    } else if (const auto* refusal = std::get_if<OscRefusal>(&request)) {
        refuse(refusal->reason);
    } else if (std::holds_alternative<OscListRequest>(request)) {
        ++m_taken;
        for (const OscMessage& entry : oscAddressList()) {
            m_port->send(from, entry);
        }
    } else if (const auto* subscription = std::get_if<OscSubscription>(&request)) {
        ++m_taken;
        subscribe(from, subscription->on);
    }
}

void InstrumentOsc::refuse(std::string reason)
{
    ++m_refused;
    m_lastRefusal = std::move(reason);
}

void InstrumentOsc::subscribe(const OscClient& client, bool on)
{
    const auto known = std::find(m_subscribers.begin(), m_subscribers.end(), client);
    if (!on) {
        if (known != m_subscribers.end()) {
            m_subscribers.erase(known);
        }
        return;
    }
    if (known == m_subscribers.end()) {
        if (m_subscribers.size() >= kMaxSubscribers) {
            refuse("more than " + std::to_string(kMaxSubscribers) + " subscribers: " + client.text()
                + " was not added");
            return;
        }
        m_subscribers.push_back(client);
    }
    // Everything is sent again, so that the new subscriber's layout shows the whole state.
    m_feedback.forget();
}

void InstrumentOsc::mainLoopTurn()
{
    if (m_subscribers.empty()) {
        return;
    }
    for (const OscMessage& change : m_feedback.changes(m_links.performance)) {
        for (const OscClient& client : m_subscribers) {
            m_port->send(client, change);
        }
    }
}

InstrumentOsc::Counts InstrumentOsc::counts() const
{
    return { m_taken.load(), m_refused.load(), m_dropped.load() };
}

std::string InstrumentOsc::countsText() const
{
    if (!m_isOpen) {
        return {};
    }
    const Counts now = counts();
    return "OSC: " + std::to_string(now.taken) + " taken, " + std::to_string(now.refused)
        + " refused, " + std::to_string(now.dropped) + " dropped";
}

} // namespace oskel
