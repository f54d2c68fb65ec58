#include "recording/osc_feedback.h"

#include "recording/osc_commands.h"

namespace oskel {

namespace {

// Each readable control in table order, master first, then every slot's.
template <typename Visit> void forEachControl(Visit visit)
{
    const auto table = controlTable();
    for (std::size_t index = 0; index < table.size(); ++index) {
        if (table[index].scope == ControlScope::Master) {
            visit(ControlAddress { index, 0 });
        }
    }
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        for (std::size_t index = 0; index < table.size(); ++index) {
            if (table[index].scope == ControlScope::Slot) {
                visit(ControlAddress { index, slot });
            }
        }
    }
}

} // namespace

OscArgument oscValue(const ControlEntry& entry, std::int32_t value)
{
    if (entry.kind == ControlKind::Decimal) {
        return static_cast<double>(value) / kDecimalScale;
    }
    return std::int64_t { value };
}

std::vector<OscMessage> OscFeedback::changes(const Performance& performance)
{
    std::vector<OscMessage> messages;
    const bool first = m_told.empty();
    std::size_t at = 0;
    forEachControl([&](const ControlAddress& control) {
        if (first) {
            m_told.emplace_back();
        }
        const std::optional<std::int32_t> now = readControl(performance, control);
        if (now && now != m_told[at]) {
            messages.push_back({ oscAddress(control), { oscValue(control.entry(), *now) } });
        }
        m_told[at++] = now;
    });
    return messages;
}

std::vector<OscMessage> oscAddressList()
{
    std::vector<OscMessage> list;
    const auto table = controlTable();
    for (std::size_t index = 0; index < table.size(); ++index) {
        const ControlEntry& entry = table[index];
        list.push_back({ "/oskel/address",
            { oscAddress(entry, "{1-16}"), std::string(controlKindName(entry.kind)),
                oscValue(entry, static_cast<std::int32_t>(entry.range.low)),
                oscValue(entry, static_cast<std::int32_t>(entry.range.high)),
                oscValue(entry, entry.defaultValue) } });
    }
    list.push_back({ "/oskel/address",
        { std::string("/oskel/key/{name}"), std::string("key"), std::int64_t { 0 },
            std::int64_t { 1 }, std::int64_t { 0 } } });
    list.push_back({ "/oskel/address",
        { std::string("/oskel/patch/load"), std::string("text"), std::string(""), std::string(""),
            std::string("") } });
    return list;
}

} // namespace oskel
