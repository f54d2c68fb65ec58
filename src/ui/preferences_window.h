#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "control/preferences_form.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QSpinBox;
class QLineEdit;

namespace oskel {

class OutputsGroup;

// The preferences window: the options that take effect at once, the key map, the numbers and
// the display choices that "Done" (or Enter) stores. It shows what it is given and reports
// what the performer does.
class PreferencesWindow : public QWidget {
    Q_OBJECT
public:
    PreferencesWindow();

    void showContents(const preferences_form::Contents& contents);
    // What the performer left in the window.
    preferences_form::Entered entered() const;

    std::array<QAbstractButton*, preferences_form::kToggleCount> toggles {};
    std::array<QAbstractButton*, 3> keyMaps {};
    QLineEdit* beatsPerClip = nullptr;
    QLineEdit* jogAmount = nullptr;
    QAbstractButton* thumbnailsFromMiddle = nullptr;
    QAbstractButton* thumbnailsFromBeginning = nullptr;
    std::array<QAbstractButton*, 3> displayOptions {};
    QAbstractButton* customPreview = nullptr;
    QAbstractButton* sameAsComposition = nullptr;
    QLineEdit* aspectX = nullptr;
    QLineEdit* aspectY = nullptr;
    QAbstractButton* doneButton = nullptr;
    QCheckBox* oscEnabled = nullptr;
    QSpinBox* oscPort = nullptr;
    QCheckBox* oscAllInterfaces = nullptr;
    OutputsGroup* outputs = nullptr;

Q_SIGNALS:
    void toggleClicked(preferences_form::Toggle toggle, bool on);
    void keyMapChosen(preferences_form::KeyMap keyMap);
    // "Done" or Enter.
    void done();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* buildToggles();
    QWidget* buildChoices();
    QWidget* buildOsc(QWidget* column);
};

} // namespace oskel
