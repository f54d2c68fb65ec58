#pragma once

#include <QPushButton>
#include <QSlider>

namespace oskel {

// The buttons and faders of the main window's control groups. None takes the keyboard's
// focus: the performance keys must reach the keyboard control, never move between controls.

inline QPushButton* makeButton(
    QWidget* parent, const char* name, const char* caption, bool checkable)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setCheckable(checkable);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

inline QSlider* makeFader(QWidget* parent, const char* name, int maximum)
{
    auto* fader = new QSlider(Qt::Horizontal, parent);
    fader->setObjectName(name);
    fader->setRange(0, maximum);
    fader->setFocusPolicy(Qt::NoFocus);
    return fader;
}

} // namespace oskel
