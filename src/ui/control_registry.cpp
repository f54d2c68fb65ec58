#include "ui/control_registry.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "core/control_value.h"

namespace oskel {

void ControlRegistry::add(std::string_view name, Setter setter)
{
    m_setters.insert_or_assign(std::string(name), std::move(setter));
}

void ControlRegistry::addButton(std::string_view name, QAbstractButton& button)
{
    add(name, [&button](const ControlValue& value) {
        const QSignalBlocker blocker(button);
        button.setChecked(controlValueAsBool(value));
    });
}

void ControlRegistry::addCaption(std::string_view name, QAbstractButton& button)
{
    add(name, [&button](const ControlValue& value) {
        button.setText(QString::fromStdString(controlValueAsText(value)));
    });
}

void ControlRegistry::addSlider(std::string_view name, QAbstractSlider& slider)
{
    add(name, [&slider](const ControlValue& value) {
        const QSignalBlocker blocker(slider);
        slider.setValue(controlValueAsInteger(value));
    });
}

void ControlRegistry::addField(std::string_view name, QLineEdit& field)
{
    add(name, [&field](const ControlValue& value) {
        const QSignalBlocker blocker(field);
        field.setText(QString::fromStdString(controlValueAsText(value)));
    });
}

void ControlRegistry::addLabel(std::string_view name, QLabel& label)
{
    add(name, [&label](const ControlValue& value) {
        label.setText(QString::fromStdString(controlValueAsText(value)));
    });
}

bool ControlRegistry::show(std::string_view name, const ControlValue& value) const
{
    const auto found = m_setters.find(name);
    if (found == m_setters.end()) {
        return false;
    }
    found->second(value);
    return true;
}

} // namespace oskel
