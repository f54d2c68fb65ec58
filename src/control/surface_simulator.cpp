#include "control/surface_simulator.h"

#include <algorithm>
#include <iterator>

#include "control/surface_layout.h"
#include "control/surface_messages.h"

namespace oskel {

namespace {

constexpr std::size_t kHeaderSize = std::size(surface::kHeader);

} // namespace

SurfaceSimulator::SurfaceSimulator()
{
    m_lines.fill(std::string(surface::kLineWidth, ' '));
}

void SurfaceSimulator::receive(const MidiMessage& message)
{
    if (message.isSysex()) {
        receiveSysex(message.sysex);
        return;
    }
    const int section = message.data1 - surface::kFirstSectionButton;
    if ((message.status & 0xF0) == 0xB0 && section >= 0 && section < surface::kSectionCount) {
        m_leds.at(static_cast<std::size_t>(section)) = message.data2 != 0;
    }
}

void SurfaceSimulator::receiveSysex(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kHeaderSize + 3 || bytes.back() != 0xF7
        || !std::equal(std::begin(surface::kHeader), std::end(surface::kHeader), bytes.begin())) {
        return;
    }
    const auto body = bytes.subspan(kHeaderSize, bytes.size() - kHeaderSize - 1);
    if (body[0] == 0x01) {
        m_online = body[1] == 0x01;
    } else if (body[0] == 0x02 && body[1] == 0x02 && body.size() >= 3) {
        const std::size_t first = body[2] == 0x04 ? 0 : 1; // lines 1 and 3, or 2 and 4
        m_lines.at(first) = std::string(surface::kLineWidth, ' ');
        m_lines.at(first + 2) = std::string(surface::kLineWidth, ' ');
    } else if (body[0] == 0x02 && body[1] == 0x01 && body.size() >= 5) {
        const std::size_t column = body[2];
        const int number = body[3];
        if (number < 1 || number > 4 || column >= surface::kLineWidth) {
            return;
        }
        std::string& shown = m_lines.at(static_cast<std::size_t>(number - 1));
        for (std::size_t k = 5; k < body.size() && column + k - 5 < shown.size(); ++k) {
            shown[column + k - 5] = static_cast<char>(body[k]);
        }
    }
}

const std::string& SurfaceSimulator::line(int number) const
{
    return m_lines.at(static_cast<std::size_t>(number - 1));
}

std::string SurfaceSimulator::picture() const
{
    std::string text = m_online ? "[surface on line]\n" : "[surface off line]\n";
    for (int number : { 1, 3, 2, 4 }) {
        text += "|" + line(number) + "|\n";
    }
    text += "LEDs:";
    for (int section = 0; section < surface::kSectionCount; ++section) {
        text += led(section) ? " *" : " .";
    }
    return text + "\n";
}

std::array<std::uint8_t, 3> SurfaceSimulator::control(int control, int value)
{
    return { 0xB0, static_cast<std::uint8_t>(control & 0x7F),
        static_cast<std::uint8_t>(value & 0x7F) };
}

std::array<std::uint8_t, 3> SurfaceSimulator::pad(int pad)
{
    return { 0x90, static_cast<std::uint8_t>(surface::kFirstPadNote + (pad & 7)), 127 };
}

} // namespace oskel
