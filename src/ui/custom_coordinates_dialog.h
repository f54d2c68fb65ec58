#pragma once

#include <QDialog>

#include "core/window_position.h"

class QLabel;
class QSpinBox;

namespace oskel {

// "Custom Output Coordinates": the rectangle of the desktop the secondary output fills, as
// left, top, width and height in desktop coordinates, beside the desktop's size. It only
// collects the numbers; whether they make a usable rectangle is the caller's to decide.
class CustomCoordinatesDialog : public QDialog {
public:
    CustomCoordinatesDialog(const ScreenRect& shown, const ScreenRect& desktop, QWidget* parent);

    ScreenRect entered() const;
    QSpinBox& field(int index) { return *m_fields[index]; } // left, top, width, height

private:
    QLabel* m_desktop;
    QSpinBox* m_fields[4];
};

} // namespace oskel
