#pragma once

#include <filesystem>
#include <string_view>

#include "control/clip_inspector_contents.h"
#include "control/clip_inspector_port.h"
#include "core/control_table.h"
#include "core/performance.h"
#include "playback/tempo.h"

namespace oskel {

// The inspector's window as the logic reaches it. Main thread only.
class ClipInspectorView {
public:
    virtual ~ClipInspectorView() = default;
    // Shows every value, each control's change handler detached meanwhile. `withEffect` is
    // false for a refresh caused by MIDI, which leaves the effect's controls alone.
    virtual void showContents(const clip_inspector::Contents& contents, bool withEffect) = 0;
    // The slot now inspected: its grid panel alone is framed and its layer selected.
    virtual void showInspectedSlot(int /*slot*/) { }
    // The inspector goes out of sight ("Done" or Enter).
    virtual void hideInspector() { }
};

// The clip inspector: every setting of one slot, the inspected slot, under the performer's
// hand. Each control's change becomes a setting of the control table, sent to the event
// processor so that it is recorded; the conversions between what a control shows and the
// record's units are here. Main thread only.
class ClipInspector : public ClipInspectorPort {
public:
    enum class Fader {
        Width,
        Height,
        Size,
        LumaKey,
        LumaBlend,
        Opacity,
        Size3D,
        XRotation,
        YRotation,
        ZRotation,
        HorizontalTiles,
        VerticalTiles,
        Spacing,
        Volume,
        Pan,
        Speed,
    };
    enum class Box {
        Left,
        Top,
        Right,
        Bottom,
        Width,
        Height,
        Luma,
        Volume,
        Frequency,
        InPoint,
        OutPoint,
        Beats
    };
    // Buttons that are lit or out.
    enum class Switch {
        InverseLuma,
        Additive,
        Stencil,
        ThreeD,
        Mute,
        DisableMidi,
        Chop,
        SyncMode,
        ReSync,
        FollowBpm,
    };
    // Buttons that act once.
    enum class Action {
        Normal,
        AdditiveOn,
        SwapOff,
        SwapRedGreen,
        SwapRedBlue,
        SwapBlueGreen,
        ResetX,
        ResetY,
        ResetZ,
        ActualSize,
        Quarter1,
        Quarter2,
        Quarter3,
        Quarter4,
        ClearClipslot,
        Done,
    };

    struct Links {
        Performance& performance;
        // Where the performer's changes go: the event processor.
        EventSink& events;
        Tempo& tempo;
        ClipInspectorView& view;
    };

    explicit ClipInspector(Links links);

    // ClipInspectorPort
    void showAVIinfo(int slot) override;
    int inspectedSlot() const override { return m_inspected; }

    // Refreshes every control from the inspected slot's record; `reason` "MIDI" leaves the
    // effect's controls alone.
    void UpdateValues(std::string_view reason);
    // Width and height as events, then a refresh.
    void SetSize(int width, int height);
    void SetPosition(int x, int y);

    // The performer's changes.
    void faderMoved(Fader fader, int position);
    void boxEntered(Box box, std::string_view text);
    void switchClicked(Switch button, bool lit);
    void actionClicked(Action action);
    // A marker of the in/out bar moved to a place, in sample frames (Box::InPoint or
    // Box::OutPoint); a place outside the clip or past the other marker is not taken.
    void markerMoved(Box marker, std::int64_t frames);
    // Items 1..13 of the "Clip Size Presets" list; item 0 is its title.
    void presetChosen(int item);
    // A stencil bitmap chosen with the browse button.
    void stencilChosen(const std::filesystem::path& file);

    // The size presets' captions, the title first.
    static std::span<const std::string_view> presetCaptions();

private:
    void set(std::size_t entry, std::int32_t value);
    void setLumaKey(std::int32_t level, bool inverse);
    bool inspectedLoaded() const;
    void boxWithDefault(Box box, std::string_view text);
    void boxChecked(Box box, std::string_view text);
    void setPoint(std::size_t entry, std::string_view text);
    void setBeats(std::string_view text);
    void clearClipslot();
    void done();
    const TPlayAvistruct& record() const { return m_performance.slots()[m_inspected]; }

    Performance& m_performance;
    EventSink& m_events;
    Tempo& m_tempo;
    ClipInspectorView& m_view;
    int m_inspected = 0;
};

} // namespace oskel
