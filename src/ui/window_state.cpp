// What the windows show of the instrument's state: the options after start-up, and the
// progress bars and live pictures of the playing slots.
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

#include "core/control_names.h"
#include "playback/slot_previews.h"
#include "ui/crossfade_controls.h"
#include "ui/instrument_windows.h"
#include "ui/layer_stack_widget.h"
#include "ui/main_window.h"
#include "ui/master_controls.h"
#include "ui/midi_window.h"
#include "ui/picture_view.h"
#include "ui/qt_user_interface.h"
#include "ui/slot_grid_widget.h"
#include "ui/tempo_controls.h"
#include "ui/tv_output_monitor.h"

namespace oskel {

namespace {

void showChecked(QAbstractButton& button, bool on)
{
    const QSignalBlocker blocker(button);
    button.setChecked(on);
}

} // namespace

void InstrumentWindows::showState()
{
    const GlobalState& globals = m_links->performance.globals();
    UserInterfacePort& ui = *m_ui;
    ui.showControlValue(control::kLoop, bool { globals.Loop });
    ui.showControlValue(control::kTriggerToFront, bool { globals.Layering });
    ui.showControlValue(control::kMonophonic, globals.NewTriggerStopsClips);
    ui.showControlValue(control::kPcNoteOff, globals.PCKeyNoteOff);
    ui.showControlValue(control::kStandby, bool { globals.standby });
    ui.showControlValue(control::kLoadInSyncMode, globals.LoadClipsInSyncMode);
    ui.showControlValue(control::kFullScreen, globals.LoadClipsFullscreen);
    ui.showControlValue(control::kTrailsEnable, bool { globals.Trails });
    ui.showControlValue(control::kTrailsStrength, std::int64_t { globals.trailsStrength });
    MasterControls& master = m_main->master();
    showChecked(*master.keepSettings, globals.LoadClipsKeepSettings);
    showChecked(*master.autoAdvance, globals.AutoAdvance);
    showChecked(*master.randomAdvance, globals.RandomAdvance);
    showChecked(*m_main->tempo().autoBpm, globals.BPMfollow);
    showChecked(*m_main->crossfade().audio, globals.CrossfadeAudio);
    showChecked(*m_main->crossfade().video, globals.CrossfadeVideo);
    m_links->previews.setEnabled(m_links->performance.options().ui.AnimatedThumbs);
    guarded([this] {
        m_links->tempo.ShowTempo();
        m_links->controls.grid().showCaptions();
        m_links->controls.grid().RefreshStatusButtons();
    });
}

void InstrumentWindows::refresh()
{
    guarded([this] { m_links->controls.grid().RefreshProgress(); });
    refreshInspector();
    refreshLayers();
    if (m_midi->isVisible()) {
        showMidiSettings();
    }
    if (m_tvOut->isVisible()) {
        m_tvOut->refresh(m_links->tvOutPicture);
    }
    if (m_links->patches.advanceTimers) {
        guarded(m_links->patches.advanceTimers);
    }
    CrossfadeControls& crossfade = m_main->crossfade();
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        SlotPanel& panel = m_main->grid().panel(slot);
        const auto index = static_cast<std::size_t>(slot);
        if (!m_links->performance.slot(slot).Playing) {
            if (m_livePicture.test(index)) {
                m_livePicture.reset(index);
                m_links->previews.clear(slot);
                panel.showStill();
            }
            continue;
        }
        const std::optional<ThumbnailPicture> picture = m_links->previews.takeNew(slot);
        if (!picture) {
            continue;
        }
        const QImage image = toImage(*picture);
        m_livePicture.set(index);
        panel.showLivePicture(image);
        m_main->layers().showPicture(slot, image);
        if (isInspected(slot)) {
            showClipPreview(image);
        }
        if (slot == m_links->controls.mixer().slotA()) {
            crossfade.previewA->setPicture(image);
        }
        if (slot == m_links->controls.mixer().slotB()) {
            crossfade.previewB->setPicture(image);
        }
    }
}

} // namespace oskel
