#pragma once

#include <string>

#include "core/effect_port.h"
#include "core/performance.h"

namespace oskel::test {

// An effect host that takes every value for a loaded slot and keeps it in the slot record,
// as the real host does once a plug-in with eight parameters and the mixer is loaded.
// "Fake.so" is entry 1 of its plug-in list.
class FakeEffects : public EffectControlPort {
public:
    explicit FakeEffects(Performance& performance)
        : m_performance(performance)
    {
        performance.setEffects(this);
    }
    ~FakeEffects() override { m_performance.setEffects(nullptr); }
    FakeEffects(const FakeEffects&) = delete;
    FakeEffects& operator=(const FakeEffects&) = delete;

    int pluginIndexOf(std::string_view fileName) const override
    {
        return fileName == "Fake.so" ? 1 : 0;
    }
    int pluginIndex(int slot) const override { return m_index[static_cast<std::size_t>(slot)]; }
    bool choosePlugin(int slot, int index) override
    {
        if (!m_performance.slot(slot).Loaded) {
            return false;
        }
        m_index[static_cast<std::size_t>(slot)] = index;
        m_performance.slot(slot).FFfilename = index == 0 ? "" : "Fake.so";
        m_performance.slot(slot).FFparams.fill(index == 0 ? -1.0f : 0.0f);
        return true;
    }
    bool setEffectEnabled(int slot, bool on) override
    {
        if (!m_performance.slot(slot).Loaded) {
            return false;
        }
        m_performance.slot(slot).FFenable = on;
        return true;
    }
    bool setParameter(int slot, int index, float value) override
    {
        if (!m_performance.slot(slot).Loaded) {
            return false;
        }
        m_performance.slot(slot).FFparams.at(static_cast<std::size_t>(index)) = value;
        return true;
    }
    bool setWetDry(int slot, float dry) override
    {
        if (!m_performance.slot(slot).Loaded) {
            return false;
        }
        m_performance.slot(slot).FFwetDry = dry;
        return true;
    }

private:
    Performance& m_performance;
    std::array<int, kSlotCount + 1> m_index {};
};

} // namespace oskel::test
