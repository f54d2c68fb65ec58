#include "ui/custom_coordinates_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

namespace oskel {

CustomCoordinatesDialog::CustomCoordinatesDialog(
    const ScreenRect& shown, const ScreenRect& desktop, QWidget* parent)
    : QDialog(parent)
    , m_desktop(new QLabel(
          QString::number(desktop.width) + " x " + QString::number(desktop.height), this))
{
    setObjectName("fmSecondaryDisplayCoordinates");
    setWindowTitle("Custom Output Coordinates");
    m_desktop->setObjectName("lbDesktopResolution");
    auto* form = new QFormLayout(this);
    form->addRow("Desktop", m_desktop);
    const char* const names[] = { "ebLeft", "ebTop", "ebWidth", "ebHeight" };
    const char* const labels[] = { "Left", "Top", "Width", "Height" };
    const int values[] = { shown.left, shown.top, shown.width, shown.height };
    for (int index = 0; index < 4; ++index) {
        auto* field = new QSpinBox(this);
        field->setObjectName(names[index]);
        // Any number may be typed; what is not a usable rectangle is refused after "OK".
        field->setRange(-2 * kFarthestWindowPosition, 2 * kFarthestWindowPosition);
        field->setValue(values[index]);
        form->addRow(labels[index], field);
        m_fields[index] = field;
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

ScreenRect CustomCoordinatesDialog::entered() const
{
    return { m_fields[0]->value(), m_fields[1]->value(), m_fields[2]->value(),
        m_fields[3]->value() };
}

} // namespace oskel
