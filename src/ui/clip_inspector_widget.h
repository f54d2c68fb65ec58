#pragma once

#include <QWidget>
#include <map>

#include "control/clip_inspector.h"

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;
class QSpinBox;
class QTabWidget;

namespace oskel {

class ClipPreview;
class InOutBar;

// The clip inspector's controls: the heading, the pages "Main", "2D", "3D" and "FreeFrame"
// (the effect's page, filled by the effect's own widget) and "Done". It shows what the
// inspector logic gives it, every control with its signals blocked, and hands every change
// to the logic; the boxes are changed through the numeric input box, so that no box keeps
// the performance keys.
class ClipInspectorWidget : public QWidget {
    Q_OBJECT
public:
    using Fader = ClipInspector::Fader;
    using Box = ClipInspector::Box;
    using Switch = ClipInspector::Switch;
    using Action = ClipInspector::Action;

    explicit ClipInspectorWidget(QWidget* parent = nullptr);

    // Shows every value; a fader the performer is dragging keeps its place.
    void showContents(const clip_inspector::Contents& contents, bool withEffect);
    const clip_inspector::Contents& shown() const { return m_shown; }

    QLabel* heading = nullptr;
    QTabWidget* tabs = nullptr;
    QWidget* effectPage = nullptr; // the effect's controls go here
    std::map<Fader, QSlider*> faders;
    std::map<Box, QLineEdit*> boxes;
    std::map<Switch, QAbstractButton*> switches;
    std::map<Action, QAbstractButton*> actions;
    QComboBox* presets = nullptr;
    QAbstractButton* browse = nullptr;
    QLineEdit* stencilName = nullptr;
    QSpinBox* beats = nullptr;
    ClipPreview* preview = nullptr; // the main clip preview with the in/out bar
    InOutBar* inOutBar = nullptr; // the preview's bar
    QLabel* actualSize = nullptr;
    QLabel* sampleRate = nullptr;
    QLabel* frameCount = nullptr;
    QLabel* frameRate = nullptr;
    QLabel* audioDuration = nullptr;

Q_SIGNALS:
    // A box was pressed: its value is asked for in the numeric input box.
    void boxPressed(ClipInspector::Box box);
    // Enter in the inspector's window: as "Done".
    void enterPressed();
    // A value of the inspected slot was shown: every control is to show its value again.
    void refreshWanted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* buildMainPage();
    QWidget* build2DPage();
    QWidget* build3DPage();
    QSlider* fader(Fader which, const char* name, int minimum, int maximum);
    QLineEdit* box(Box which, const char* name);
    QAbstractButton* switchButton(Switch which, const char* caption, const char* name);
    QAbstractButton* actionButton(Action which, const char* caption, const char* name);
    void showFaders(const clip_inspector::Contents& contents);
    void showBoxes(const clip_inspector::Contents& contents);
    void showButtons(const clip_inspector::Contents& contents);

    clip_inspector::Contents m_shown;
    QLineEdit* m_beatsText = nullptr; // the beats spinner's text
};

} // namespace oskel
