#pragma once

#include <QGroupBox>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>

#include "core/control_table.h"
#include "effects/effect_host.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSlider;

namespace oskel {

// The "Effect" group: the plug-in box, "Enable Effect", the eight parameter sliders with their
// name, display and value labels, and "Wet / Dry", acting on one slot (the selected one). It
// shows the effect host's state and sends every change as an event of the control table's
// effect entries; it keeps no state of its own. Self-contained, so that it can sit in the main
// window now and in the clip inspector later. Main thread.
class EffectPanel : public QGroupBox, private EffectHostListener {
public:
    using Setter = std::function<void(const ControlAddress&, std::int32_t)>;

    // `slotShown` says which slot the panel acts on (0: none); the panel follows it.
    EffectPanel(
        EffectHost& host, Setter set, std::function<int()> slotShown, QWidget* parent = nullptr);
    ~EffectPanel() override;
    EffectPanel(const EffectPanel&) = delete;
    EffectPanel& operator=(const EffectPanel&) = delete;

    // The plug-in list afresh (after a scan), and the slot's state.
    void showPlugins();
    void showSlot();
    int slot() const { return m_slot; }

    QComboBox* plugins;
    QPushButton* enable;
    std::array<QSlider*, kEffectParameters> sliders {};
    std::array<QLabel*, kEffectParameters> names {};
    std::array<QLabel*, kEffectParameters> displays {};
    std::array<QLabel*, kEffectParameters> values {};
    QLabel* wetDryLabel;
    QSlider* wetDry;
    QPushButton* debug;

private:
    // EffectHostListener
    void slotChanged(int slot) override;
    void parameterText(
        int slot, int index, std::string_view display, std::string_view value) override;
    void debugLine(std::string_view line) override;
    void debugStatus(std::string_view text) override;
    void pluginsChanged() override;

    void send(std::string_view item, std::int32_t value);
    void followSelection();
    void showDebugWindow();

    EffectHost& m_host;
    Setter m_set;
    std::function<int()> m_slotShown;
    int m_slot = 0;
    QTimer m_follow;
    QWidget* m_debugWindow = nullptr;
    QPlainTextEdit* m_debugText = nullptr;
    QLabel* m_debugStatus = nullptr;
};

} // namespace oskel
