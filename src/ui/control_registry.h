#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "core/user_interface_port.h"

class QAbstractButton;
class QAbstractSlider;
class QLabel;
class QLineEdit;

namespace oskel {

// The controls the logic shows values in, by name. Every value is shown with the control's
// signals blocked, so that showing a value never sends an event back.
class ControlRegistry {
public:
    using Setter = std::function<void(const ControlValue&)>;

    void add(std::string_view name, Setter setter);
    // A checkable button shows on or off.
    void addButton(std::string_view name, QAbstractButton& button);
    // A button's caption shows the text.
    void addCaption(std::string_view name, QAbstractButton& button);
    void addSlider(std::string_view name, QAbstractSlider& slider);
    void addField(std::string_view name, QLineEdit& field);
    void addLabel(std::string_view name, QLabel& label);

    // False when no control has the name (it belongs to a window not built yet).
    bool show(std::string_view name, const ControlValue& value) const;

private:
    std::map<std::string, Setter, std::less<>> m_setters;
};

} // namespace oskel
