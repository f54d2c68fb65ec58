// The "Effect" group on its own, over the real effect host with our plug-ins: what each
// control sends through the control table, and what the group shows.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "core/event_processor.h"
#include "platform/shared_library.h"
#include "support/fake_playback.h"
#include "support/recording_user_interface.h"
#include "ui/effect_panel.h"
#include "ui/plugin_monitor_window.h"

namespace oskel::test {
namespace {

class EffectPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TPlayAvistruct& record = performance.slot(1);
        record.Loaded = true;
        record.ClipWidth = 8;
        record.ClipHeight = 4;
        host.ScanPlugins();
        performance.setEffects(&host);
    }
    void choose(const std::string& name)
    {
        const int index = host.plugins().indexOf(name);
        panel.plugins->setCurrentIndex(index);
        Q_EMIT panel.plugins->activated(index);
    }

    RecordingUserInterface ui;
    MainThreadDispatcher mainThread;
    Performance performance { ui, mainThread };
    AudioMailbox mailbox;
    FakePlayback playback;
    EventProcessor processor { performance, mailbox, playback };
    SystemLibraryLoader loader;
    const std::filesystem::path plugins = OSKEL_OUR_PLUGINS;
    EffectHost host { performance, loader,
        EffectFolders { { plugins }, { plugins.parent_path() / EffectHost::kMixerFileName }, {} } };
    EffectPanel panel { host,
        [this](const ControlAddress& control, std::int32_t value) {
            setControl(processor, performance, control, value);
        },
        [] { return 1; } };
};

TEST_F(EffectPanelTest, ChoosingAPluginShowsItsParametersAndTheMix)
{
    EXPECT_EQ(panel.plugins->itemText(0), "No Plugin Loaded");
    EXPECT_EQ(panel.plugins->count(), host.plugins().size());
    choose("Colour.so");
    EXPECT_EQ(host.pluginIndex(1), host.plugins().indexOf("Colour.so"));
    EXPECT_EQ(panel.names[0]->text(), "1 - Brightness");
    EXPECT_FALSE(panel.sliders[2]->isHidden());
    EXPECT_TRUE(panel.sliders[3]->isHidden());
    EXPECT_EQ(panel.sliders[0]->value(), 128) << "0.5";
    EXPECT_FALSE(panel.wetDry->isHidden());
    EXPECT_EQ(panel.wetDry->value(), 255) << "all wet";
}

TEST_F(EffectPanelTest, SlidersSetTheParametersAndTheMixThroughTheTable)
{
    choose("Colour.so");
    panel.sliders[1]->setValue(255);
    EXPECT_EQ(performance.slots()[1].FFparams[1], 1.0f);
    EXPECT_EQ(panel.values[1]->text(), "1.00000");
    panel.wetDry->setValue(0);
    EXPECT_EQ(performance.slots()[1].FFwetDry, 1.0f);
    panel.wetDry->setValue(255);
    EXPECT_EQ(performance.slots()[1].FFwetDry, 0.0f);

    // A change from elsewhere (MIDI) moves the slider without sending anything back.
    setControl(processor, performance, *findControl("[Slot1]", "EffectParameter1"), 0);
    EXPECT_EQ(panel.sliders[0]->value(), 0);
    EXPECT_EQ(performance.slots()[1].FFparams[0], 0.0f);
}

TEST_F(EffectPanelTest, EnableNeedsAPluginAndNoPluginSwitchesItOff)
{
    panel.enable->click();
    EXPECT_FALSE(panel.enable->isChecked()) << "no plug-in: refused";
    EXPECT_FALSE(performance.slots()[1].FFenable);
    choose("Invert.so");
    panel.enable->click();
    EXPECT_TRUE(performance.slots()[1].FFenable);
    EXPECT_TRUE(panel.enable->isChecked());
    choose(PluginList::kNoPlugin);
    EXPECT_FALSE(performance.slots()[1].FFenable);
    EXPECT_FALSE(panel.enable->isChecked());
    EXPECT_TRUE(panel.sliders[0]->isHidden());
}

// The "FreeFrame Plugin Monitor" lists the slots that hold a plug-in, with what the host
// knows of each, and follows a change within its refresh.
TEST_F(EffectPanelTest, ThePluginMonitorListsTheSlotsWithAPlugin)
{
    PluginMonitorWindow monitor;
    monitor.setSource([this] { return pluginMonitorRows(host); });
    monitor.show();
    EXPECT_EQ(monitor.list().topLevelItemCount(), 0);

    choose("Colour.so");
    panel.enable->click();
    panel.wetDry->setValue(64);
    monitor.refresh();
    ASSERT_EQ(monitor.list().topLevelItemCount(), 1);
    const QTreeWidgetItem& row = *monitor.list().topLevelItem(0);
    EXPECT_EQ(row.text(0), "1");
    EXPECT_EQ(row.text(1), "Colour.so");
    EXPECT_EQ(row.text(2), "On");
    EXPECT_EQ(row.text(3), "25% wet");
    EXPECT_TRUE(row.text(4).startsWith("1 - Brightness: ")) << row.text(4).toStdString();

    choose(PluginList::kNoPlugin);
    monitor.refresh();
    EXPECT_EQ(monitor.list().topLevelItemCount(), 0);
}

} // namespace
} // namespace oskel::test
